// Where the render loop takes its input from: stereo blocks, until the source ends.
#pragma once

#include <cstdint>
#include <string>

class BlockSource
{
public:
	virtual ~BlockSource () = default;
	virtual double sampleRate () const = 0;
	// The number of frames the source will give, or -1 when that is not known.
	virtual int64_t length () const = 0;
	// Fills up to `frames` frames of each channel; returns how many (0 at the end), or -1 with
	// `error` set. Allocates nothing.
	virtual int read (float* left, float* right, int frames, std::string& error) = 0;
};
