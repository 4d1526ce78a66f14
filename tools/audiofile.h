// Stereo audio files through libsndfile: WAV, FLAC and AIFF in, the format chosen by the
// output file's extension out (32-bit float WAV unless it names another).
#pragma once

#include <string>
#include <vector>

struct StereoAudio
{
	double sampleRate = 48000.0;
	std::vector<float> left;
	std::vector<float> right;
	size_t frames () const { return left.size (); }
};

// Reads a file; mono is fed to both channels, further channels are dropped.
// Returns false with `error` set when the file cannot be read.
bool readAudio (const std::string& path, StereoAudio& audio, std::string& error);
bool writeAudio (const std::string& path, const StereoAudio& audio, std::string& error);
