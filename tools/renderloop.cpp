#include "renderloop.h"

#include <algorithm>
#include <cstring>

RenderLoop::RenderLoop (Steinberg::Vst::IAudioProcessor* processor, int blockSize)
    : processor (processor), blockSize (blockSize), block (blockSize), silence (size_t (blockSize), 0.0f)
{
}

bool RenderLoop::emit (AudioWriter& wet, const float* left, const float* right, int frames, std::string& error)
{
	outLevels.add (left, right, frames);
	return wet.write (left, right, frames, error);
}

bool RenderLoop::flushSilence (AudioWriter& wet, std::string& error)
{
	for (; pendingSilence > 0; pendingSilence -= std::min<int64_t> (pendingSilence, blockSize))
	{
		const int n = int (std::min<int64_t> (pendingSilence, blockSize));
		if (!emit (wet, silence.data (), silence.data (), n, error))
			return false;
	}
	return true;
}

void RenderLoop::reportProgress (int64_t total)
{
	if (!progress || total <= 0)
		return;
	const int percent = int (100.0 * double (processed) / double (total));
	if (percent == lastPercent)
		return;
	std::fprintf (progress, "\r  [%-40.*s] %3d%%", std::min (percent, 100) * 40 / 100,
	              "########################################", percent);
	lastPercent = percent;
}

bool RenderLoop::run (BlockSource& input, const TailPlan& tail, AudioWriter& wet, AudioWriter* dry, std::string& error)
{
	const int64_t total = input.length () >= 0 ? input.length () + tail.frames : -1;
	bool inputEnded = false;
	int64_t tailDone = 0;
	bool first = true;
	while (!inputEnded || tailDone < tail.frames)
	{
		int n = 0;
		if (!inputEnded)
		{
			n = input.read (block.in (0), block.in (1), blockSize, error);
			if (n < 0)
				return false;
			inputEnded = n == 0;
			if (inputEnded)
				continue;
			inLevels.add (block.in (0), block.in (1), n);
			if (dry && !dry->write (block.in (0), block.in (1), n, error))
				return false;
		}
		else
		{
			n = int (std::min<int64_t> (blockSize, tail.frames - tailDone));
			std::memset (block.in (0), 0, sizeof (float) * size_t (n));
			std::memset (block.in (1), 0, sizeof (float) * size_t (n));
			tailDone += n;
		}
		block.begin (n);
		if (first)
			for (const auto& change : startChanges)
				block.changes ().add (change.id, change.normalized);
		first = false;
		block.process (processor);
		processed += n;
		const float* left = block.out (0);
		const float* right = block.out (1);
		if (inputEnded && tail.dropSilentEnd)
		{
			int sounding = n;
			while (sounding > 0 && left[sounding - 1] == 0.0f && right[sounding - 1] == 0.0f)
				--sounding;
			if (sounding > 0 && !(flushSilence (wet, error) && emit (wet, left, right, sounding, error)))
				return false;
			pendingSilence += n - sounding;
		}
		else if (!emit (wet, left, right, n, error))
			return false;
		reportProgress (total);
	}
	if (progress && total > 0)
		std::fputs ("\n", progress);
	return true;
}
