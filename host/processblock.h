// One block of stereo audio as a host hands it to process(): owned input and output
// channels, their bus descriptions and the ProcessData that points at them.
#pragma once

#include "parameterchanges.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include <vector>

namespace kt3host {

class ProcessBlock
{
public:
	// capacity: the most frames a block may hold; inPlace: outputs share the input buffers.
	explicit ProcessBlock (int32 capacity, bool inPlace = false);

	// Sets the frame count of the next block (at most the capacity) and clears its changes.
	void begin (int32 frames);
	float* in (int channel) { return inputs[channel].data (); }
	float* out (int channel) { return inPlace ? in (channel) : outputs[channel].data (); }
	ParamChanges& changes () { return paramChanges; }
	ProcessData& data () { return processData; }
	AudioBusBuffers& inputBus () { return inBus; }
	AudioBusBuffers& outputBus () { return outBus; }

	// Runs the block through the processor.
	tresult process (IAudioProcessor* processor) { return processor->process (processData); }

private:
	bool inPlace;
	std::vector<float> inputs[2];
	std::vector<float> outputs[2];
	float* inPointers[2];
	float* outPointers[2];
	AudioBusBuffers inBus;
	AudioBusBuffers outBus;
	ParamChanges paramChanges;
	ProcessData processData;
};

} // namespace kt3host
