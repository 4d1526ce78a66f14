// Null-safe access to the channels of a ProcessData block: hosts may pass missing buses,
// short channel lists or null channel pointers, and none of them may be dereferenced.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

inline float* channelOf (const AudioBusBuffers* buses, int32 busCount, int32 bus, int32 channel)
{
	if (!buses || bus < 0 || bus >= busCount)
		return nullptr;
	const AudioBusBuffers& b = buses[bus];
	if (!b.channelBuffers32 || channel < 0 || channel >= b.numChannels)
		return nullptr;
	return b.channelBuffers32[channel];
}

inline const float* inputChannel (const ProcessData& data, int32 bus, int32 channel)
{
	return channelOf (data.inputs, data.numInputs, bus, channel);
}

inline float* outputChannel (const ProcessData& data, int32 bus, int32 channel)
{
	return channelOf (data.outputs, data.numOutputs, bus, channel);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
