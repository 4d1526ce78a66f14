#include "processblock.h"

namespace kt3host {

ProcessBlock::ProcessBlock (int32 capacity, bool inPlace) : inPlace (inPlace)
{
	for (int ch = 0; ch < 2; ++ch)
	{
		inputs[ch].assign (static_cast<size_t> (capacity), 0.0f);
		if (!inPlace)
			outputs[ch].assign (static_cast<size_t> (capacity), 0.0f);
		inPointers[ch] = in (ch);
		outPointers[ch] = out (ch);
	}
	inBus.numChannels = 2;
	inBus.silenceFlags = 0;
	inBus.channelBuffers32 = inPointers;
	outBus.numChannels = 2;
	outBus.silenceFlags = 0;
	outBus.channelBuffers32 = outPointers;

	processData.processMode = kRealtime;
	processData.symbolicSampleSize = kSample32;
	processData.numInputs = 1;
	processData.numOutputs = 1;
	processData.inputs = &inBus;
	processData.outputs = &outBus;
	processData.inputParameterChanges = &paramChanges;
}

void ProcessBlock::begin (int32 frames)
{
	processData.numSamples = frames;
	paramChanges.clear ();
}

} // namespace kt3host
