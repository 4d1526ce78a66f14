// The output file's format: the container from the file's extension, among those the
// installed libsndfile can write, and the sample format from --format or the container's
// default (32-bit float where the container takes it, else 24-bit, else 16-bit, else its codec).
#pragma once

#include <string>

enum class SampleFormat
{
	automatic,
	float32,
	pcm16,
	pcm24,
};

// "float", "pcm16" or "pcm24"; false for anything else.
bool parseSampleFormat (const std::string& name, SampleFormat& format);

struct OutputFormat
{
	int sndfileFormat = 0; // libsndfile's SF_FORMAT_* container | subtype
	bool clips = false;    // integer samples: values beyond full scale are clipped
	std::string name;      // such as "FLAC, 24-bit PCM"
};

// The format for writing `path` in two channels; false with a one-line `error` for an unknown
// or missing extension (listing the known ones) or a sample format the container cannot hold.
bool outputFormatFor (const std::string& path, SampleFormat sample, OutputFormat& format, std::string& error);

// What --formats prints: one line per extension, with the container and its default.
std::string formatsListing ();
