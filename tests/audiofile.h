// Whole stereo audio files in memory, for the tests: read through AudioReader, written
// through AudioWriter in the format the extension names.
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
