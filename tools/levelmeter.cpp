#include "levelmeter.h"

#include <algorithm>
#include <cmath>

namespace {

double decibels (double x)
{
	return x > 0 ? 20 * std::log10 (x) : -INFINITY;
}

} // namespace

void LevelMeter::add (const float* left, const float* right, int frames)
{
	const float* channels[2] = {left, right};
	for (int c = 0; c < 2; ++c)
		for (int i = 0; i < frames; ++i)
		{
			const double s = channels[c][i];
			peak[c] = std::max (peak[c], std::fabs (s));
			sumOfSquares[c] += s * s;
		}
	measured += frames;
}

double LevelMeter::peakDb (int channel) const
{
	return decibels (peak[channel]);
}

double LevelMeter::rmsDb (int channel) const
{
	return decibels (measured ? std::sqrt (sumOfSquares[channel] / double (measured)) : 0.0);
}
