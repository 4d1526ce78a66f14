// Peak and RMS level of a stereo signal, measured block by block.
#pragma once

#include <cstdint>

class LevelMeter
{
public:
	void add (const float* left, const float* right, int frames);
	// In dBFS; minus infinity for silence or no frames.
	double peakDb (int channel) const;
	double rmsDb (int channel) const;
	int64_t frames () const { return measured; }

private:
	double peak[2] = {0.0, 0.0};
	double sumOfSquares[2] = {0.0, 0.0};
	int64_t measured = 0;
};
