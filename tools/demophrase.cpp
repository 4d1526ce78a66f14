#include "demophrase.h"

#include <algorithm>
#include <cmath>

namespace {

// One frame of the phrase. The clicks (240 frames from each quarter second) and the tone
// (from 1.1 s) do not overlap.
void phraseFrame (int64_t frame, float& left, float& right)
{
	left = right = 0.0f;
	const int64_t clickLength = 240, clickSpacing = int64_t (0.25 * DemoPhrase::kRate);
	const int64_t click = frame / clickSpacing, offset = frame % clickSpacing;
	if (click < 4 && offset < clickLength)
	{
		const float v = 0.8f * std::exp (-float (offset) / 30.0f) * (offset % 2 ? -1.0f : 1.0f);
		left = v;
		right = v * (click % 2 ? 0.6f : 1.0f);
	}
	const int64_t toneStart = int64_t (1.1 * DemoPhrase::kRate);
	if (frame >= toneStart)
	{
		const double t = double (frame - toneStart) / DemoPhrase::kRate;
		const double v = 0.35 * std::exp (-3.0 * t) * (std::sin (2 * M_PI * 440.0 * t) + 0.5 * std::sin (2 * M_PI * 659.25 * t));
		left = right = float (v);
	}
}

} // namespace

int DemoPhrase::read (float* left, float* right, int frames, std::string&)
{
	const int n = int (std::min<int64_t> (frames, kFrames - position));
	for (int i = 0; i < n; ++i)
		phraseFrame (position + i, left[i], right[i]);
	position += n;
	return n;
}
