// kt3-render's built-in input: a short, clearly audible phrase of 2.5 s at 48 kHz, four
// percussive clicks, then a decaying two-note tone, computed frame by frame.
#pragma once

#include "blocksource.h"

class DemoPhrase final : public BlockSource
{
public:
	static constexpr double kRate = 48000.0;
	static constexpr int64_t kFrames = 120000;

	double sampleRate () const override { return kRate; }
	int64_t length () const override { return kFrames; }
	int read (float* left, float* right, int frames, std::string& error) override;

private:
	int64_t position = 0;
};
