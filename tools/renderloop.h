// The render: the input streamed block by block through the plug-in into the output, then the
// tail as blocks of silence, in constant memory. Everything the blocks need is allocated
// before the first one; the loop itself allocates nothing.
#pragma once

#include "audiowriter.h"
#include "blocksource.h"
#include "levelmeter.h"
#include "parametersettings.h"
#include "processblock.h"

#include <cstdio>
#include <string>
#include <vector>

struct TailPlan
{
	int64_t frames = 0;          // the most frames after the input
	bool dropSilentEnd = false;  // leave out the exact silence at the end of them
};

class RenderLoop
{
public:
	RenderLoop (Steinberg::Vst::IAudioProcessor* processor, int blockSize);

	// Parameter changes given to the first block.
	void setStartChanges (const std::vector<ParameterSetting>& changes) { startChanges = changes; }
	// A progress bar on `stream` (null: none) while the render runs.
	void showProgress (FILE* stream) { progress = stream; }

	// Renders `input` and the tail into `wet`, and the input itself into `dry` if given.
	// False with `error` set when reading or writing fails.
	bool run (BlockSource& input, const TailPlan& tail, AudioWriter& wet, AudioWriter* dry, std::string& error);

	const LevelMeter& inputLevels () const { return inLevels; }
	const LevelMeter& outputLevels () const { return outLevels; }
	int64_t inputFrames () const { return inLevels.frames (); }
	// Frames processed, the input and all of the tail, dropped silence included.
	int64_t processedFrames () const { return processed; }

private:
	bool emit (AudioWriter& wet, const float* left, const float* right, int frames, std::string& error);
	bool flushSilence (AudioWriter& wet, std::string& error);
	void reportProgress (int64_t total);

	Steinberg::Vst::IAudioProcessor* processor;
	int blockSize;
	kt3host::ProcessBlock block;
	std::vector<float> silence;
	std::vector<ParameterSetting> startChanges;
	FILE* progress = nullptr;
	int lastPercent = -1;
	LevelMeter inLevels, outLevels;
	int64_t processed = 0;
	int64_t pendingSilence = 0; // silent tail frames held back until a sound follows them
};
