// An audio file that appears whole or not at all (a ReplacementFile): finish () closes and syncs
// it and reads back its frame count, and commit () renames it over the target. Destroyed before
// commit (), it leaves the target as it was. Integer formats clip samples beyond full scale, counted per
// channel.
#pragma once

#include "outputformat.h"
#include "replacementfile.h"

#include <sndfile.h>
#include <cstdint>
#include <string>
#include <vector>

class AudioWriter
{
public:
	AudioWriter () = default;
	~AudioWriter ();
	AudioWriter (const AudioWriter&) = delete;
	AudioWriter& operator= (const AudioWriter&) = delete;

	// Creates the temporary file for `path`, for blocks of up to `maxBlock` frames.
	bool open (const std::string& path, const OutputFormat& format, int sampleRate, int maxBlock, std::string& error);
	// Appends `frames` frames (at most maxBlock). Allocates nothing.
	bool write (const float* left, const float* right, int frames, std::string& error);
	bool finish (std::string& error);
	bool commit (std::string& error);

	int64_t frames () const { return written; }
	int64_t clipped (int channel) const { return clippedSamples[channel]; }
	bool clips () const { return format.clips; }
	const std::string& target () const { return output.target (); }
	// The finished file, for committing it with other outputs (a ReplacementSet).
	ReplacementFile& replacement () { return output; }

private:
	OutputFormat format;
	ReplacementFile output;
	SNDFILE* file = nullptr;
	int sampleRate = 0;
	int64_t written = 0;
	int64_t clippedSamples[2] = {0, 0};
	std::vector<float> interleaved;
};
