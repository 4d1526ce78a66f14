#include "baseprocessor.h"
#include "busaccess.h"
#include "kt3ids.h"
#include "statestream.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "public.sdk/source/vst/vstbus.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

bool isStereo (SpeakerArrangement arr)
{
	return SpeakerArr::getChannelCount (arr) == 2;
}

double clampUnit (double value)
{
	return std::min (1.0, std::max (0.0, value));
}

bool channelIsSilent (const float* samples, int32 count)
{
	for (int32 i = 0; i < count; i += 10)
		if (std::fabs (static_cast<double> (samples[i])) > BaseProcessor::kSilenceThreshold)
			return false;
	return true;
}

} // namespace

BaseProcessor::BaseProcessor () = default;
BaseProcessor::~BaseProcessor () = default;

void BaseProcessor::allocateParameters (uint32 count)
{
	if (paramValues)
		return;
	paramValues.reset (new std::atomic<double>[count]);
	for (uint32 i = 0; i < count; ++i)
		paramValues[i].store (0.0, std::memory_order_relaxed);
	paramCount = count;
	restoredState.allocate (count);
}

void BaseProcessor::setParameterValue (uint32 index, double value, int32 /*sampleOffset*/)
{
	if (index < paramCount)
		paramValues[index].store (value, std::memory_order_relaxed);
}

double BaseProcessor::parameterValue (uint32 index) const
{
	return index < paramCount ? paramValues[index].load (std::memory_order_relaxed) : 0.0;
}

void BaseProcessor::setBypass (bool state, int32 /*sampleOffset*/)
{
	if (state == bypassed.load (std::memory_order_relaxed))
		return;
	bypassed.store (state, std::memory_order_relaxed);
	// A fade still pending from a call without samples was never heard: switching back
	// cancels it instead of reversing it, so the audio continues without a jump.
	bypassRamp = bypassRamp != 0 ? 0 : (state ? 1 : -1);
}

void BaseProcessor::parametersChanged () {}

void BaseProcessor::processEvents (IEventList* /*events*/) {}

bool BaseProcessor::readParameterChanges (IParameterChanges* changes)
{
	if (!changes || changes->getParameterCount () <= 0)
		return false;
	const int32 queueCount = changes->getParameterCount ();
	for (int32 q = 0; q < queueCount; ++q)
	{
		IParamValueQueue* queue = changes->getParameterData (q);
		if (!queue)
			continue;
		const int32 points = queue->getPointCount ();
		int32 offset = 0;
		ParamValue value = 0;
		if (points <= 0 || queue->getPoint (points - 1, offset, value) != kResultOk)
			continue;
		if (std::isnan (value))
			continue;
		value = clampUnit (value);
		const ParamID id = queue->getParameterId ();
		if (id == kBypassId)
			setBypass (value >= 0.5, offset);
		else
			setParameterValue (id, value, offset);
	}
	return true;
}

tresult PLUGIN_API BaseProcessor::process (ProcessData& data)
{
	// 64-bit buffers, which canProcessSampleSize refused, would be written as floats.
	if (data.symbolicSampleSize != kSample32)
		return kInvalidArgument;
	// A restored state comes first, so that the block's own changes apply on top of it.
	const bool restored = takeRestoredState ();
	if (readParameterChanges (data.inputParameterChanges) || restored)
		parametersChanged ();
	if (reportValues)
		writeValuesTo (data.outputParameterChanges);
	processEvents (data.inputEvents);
	if (data.numSamples > 0 && !processBypass (data))
	{
		processAudio (data);
		updateSilenceFlags (data);
	}
	return kResultOk;
}

// Hosts that keep their own copy of the values (and would otherwise show the old ones until a
// restart reaches them) take these, as they take a block's output changes, on the audio side.
void BaseProcessor::writeValuesTo (IParameterChanges* changes)
{
	reportValues = false;
	if (!changes)
		return;
	for (uint32 id = 0; id < paramCount; ++id)
	{
		int32 index = 0;
		if (IParamValueQueue* queue = changes->addParameterData (id, index))
			queue->addPoint (0, parameterValue (id), index);
	}
}

bool BaseProcessor::processBypass (ProcessData& data)
{
	if (data.numSamples <= 0)
		return true;
	if (bypassRamp != 0 && data.numSamples > static_cast<int32> (scratchLeft.size ()))
		bypassRamp = 0; // no room to crossfade this block: switch at once
	if (!bypassed.load (std::memory_order_relaxed) && bypassRamp == 0)
		return false;
	if (bypassRamp != 0)
		crossfade (data);
	else
		passThrough (data);
	return true;
}

void BaseProcessor::crossfade (ProcessData& data)
{
	const int32 n = data.numSamples;
	float* scratch[2] = {scratchLeft.data (), scratchRight.data ()};
	AudioBusBuffers scratchBus;
	if (data.outputs && data.numOutputs > 0)
		scratchBus = data.outputs[0];
	scratchBus.numChannels = 2;
	scratchBus.channelBuffers32 = scratch;
	ProcessData wet = data;
	wet.outputs = &scratchBus;
	wet.numOutputs = 1;
	processAudio (wet);

	const float inv = 1.0f / static_cast<float> (n);
	for (int32 ch = 0; ch < 2; ++ch)
	{
		float* out = outputChannel (data, 0, ch);
		if (!out)
			continue;
		const float* dry = inputChannel (data, 0, ch);
		const float* processed = scratch[ch];
		for (int32 i = 0; i < n; ++i)
		{
			const float fall = static_cast<float> (n - i) * inv;
			const float rise = static_cast<float> (i) * inv;
			const float p = processed[i];
			const float d = dry ? dry[i] : 0.0f;
			out[i] = bypassRamp > 0 ? fall * p + rise * d : rise * p + fall * d;
		}
	}
	if (data.outputs && data.numOutputs > 0)
		data.outputs[0].silenceFlags = 0;
	bypassRamp = 0;
}

void BaseProcessor::passThrough (ProcessData& data)
{
	if (!data.outputs)
		return;
	const size_t bytes = sizeof (float) * static_cast<size_t> (data.numSamples);
	for (int32 bus = 0; bus < data.numOutputs; ++bus)
	{
		AudioBus* busInfo = getAudioOutput (bus);
		if (!busInfo || !busInfo->isActive ())
			continue;
		AudioBusBuffers& output = data.outputs[bus];
		// Assigned, not merged into what the host left there: a loud channel is never
		// flagged silent because an earlier block was.
		uint64 flags = 0;
		for (int32 ch = 0; ch < output.numChannels; ++ch)
		{
			float* out = outputChannel (data, bus, ch);
			if (!out)
				continue;
			const uint64 bit = ch < 64 ? uint64 (1) << ch : 0;
			if (const float* in = inputChannel (data, bus, ch))
			{
				if (in != out)
					std::memcpy (out, in, bytes);
				flags |= data.inputs[bus].silenceFlags & bit;
			}
			else
			{
				std::memset (out, 0, bytes);
				flags |= bit;
			}
		}
		output.silenceFlags = flags;
	}
}

void BaseProcessor::updateSilenceFlags (ProcessData& data)
{
	if (!data.outputs)
		return;
	for (int32 bus = 0; bus < data.numOutputs; ++bus)
	{
		AudioBusBuffers& output = data.outputs[bus];
		output.silenceFlags = 0;
		AudioBus* busInfo = getAudioOutput (bus);
		if (!busInfo || !busInfo->isActive ())
			continue;
		for (int32 ch = 0; ch < output.numChannels && ch < 64; ++ch)
		{
			const float* out = outputChannel (data, bus, ch);
			if (data.numSamples <= 0 || (out && channelIsSilent (out, data.numSamples)))
				output.silenceFlags |= uint64 (1) << ch;
		}
	}
}

tresult PLUGIN_API BaseProcessor::setupProcessing (ProcessSetup& setup)
{
	const size_t frames = size_t (std::clamp (setup.maxSamplesPerBlock, 0, kMaxCrossfade));
	try
	{
		scratchLeft.assign (frames, 0.0f);
		scratchRight.assign (frames, 0.0f);
		scratchLeft.shrink_to_fit ();
		scratchRight.shrink_to_fit ();
	}
	catch (const std::bad_alloc&)
	{
		// No room to crossfade: bypass switches at once, and the host hears of the failure.
		scratchLeft = {};
		scratchRight = {};
		return kOutOfMemory;
	}
	return AudioEffect::setupProcessing (setup);
}

tresult PLUGIN_API BaseProcessor::setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                                      SpeakerArrangement* outputs, int32 numOuts)
{
	if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
		return kInvalidArgument;
	if (numIns > 0 && !isStereo (inputs[0]))
		return kResultFalse;
	if (numOuts > 0 && !isStereo (outputs[0]))
		return kResultFalse;
	return kResultTrue;
}

tresult PLUGIN_API BaseProcessor::setActive (TBool state)
{
	if (state)
		sendActivationMessage ();
	return AudioEffect::setActive (state);
}

void BaseProcessor::sendActivationMessage ()
{
	IMessage* message = allocateMessage ();
	if (!message)
		return;
	message->setMessageID ("activated");
	if (IAttributeList* attributes = message->getAttributes ())
		attributes->setFloat ("SampleRate", processSetup.sampleRate);
	sendMessage (message);
	message->release ();
}

// A stream that takes fewer bytes than it is given (a full disk, a failing host stream)
// is reported, so that the host does not keep a truncated state believing it complete.
tresult PLUGIN_API BaseProcessor::getState (IBStream* state)
{
	if (!state)
		return kInvalidArgument;
	const StateHandoff::Record* pending = restoredState.pending ();
	bool written = writeUInt32LE (state, paramCount);
	for (uint32 i = 0; i < paramCount && written; ++i)
		written = writeDoubleLE (state, newestValue (pending, i));
	written = written && writeUInt32LE (state, newestBypass (pending) ? 1 : 0);
	return written ? kResultOk : kResultFalse;
}

void BaseProcessor::newestState (double* values, uint32 count, bool& bypass) const
{
	const StateHandoff::Record* pending = restoredState.pending ();
	for (uint32 i = 0; i < count; ++i)
		values[i] = newestValue (pending, i);
	bypass = newestBypass (pending);
}

double BaseProcessor::newestValue (const StateHandoff::Record* pending, uint32 index) const
{
	return pending && index < paramCount ? pending->values[index] : parameterValue (index);
}

bool BaseProcessor::newestBypass (const StateHandoff::Record* pending) const
{
	return pending && pending->setsBypass ? pending->bypassed : bypassed.load (std::memory_order_relaxed);
}

// The stream is decoded into the hand-off's own record, so a stream that ends early or
// carries a value that is not a number changes nothing, and nothing is allocated.
tresult PLUGIN_API BaseProcessor::setState (IBStream* state)
{
	if (!state)
		return kInvalidArgument;
	StateHandoff::Record& record = restoredState.next ();
	if (!readProcessorState (state, record.values.data (), paramCount, record.bypassed))
		return kResultFalse;
	record.setsBypass = true;
	record.fromController = false;
	restoredState.publish ();
	return kResultOk;
}

// Values the controller set itself (a program change) reach the audio thread as a restored
// state that leaves the bypass alone, so that getState holds them at once, before any block.
// A state restored before them and not yet taken keeps its bypass.
tresult PLUGIN_API BaseProcessor::notify (IMessage* message)
{
	if (!message)
		return kInvalidArgument;
	if (!FIDStringsEqual (message->getMessageID (), kValuesMessage))
		return AudioEffect::notify (message);
	IAttributeList* attributes = message->getAttributes ();
	const void* data = nullptr;
	uint32 size = 0;
	if (!attributes || attributes->getBinary (kValuesAttribute, data, size) != kResultOk || !data ||
	    size != paramCount * sizeof (double))
		return kResultFalse;
	StateHandoff::Record& record = restoredState.next ();
	for (uint32 i = 0; i < paramCount; ++i)
	{
		double value = 0.0;
		std::memcpy (&value, static_cast<const char*> (data) + i * sizeof (double), sizeof value);
		if (!std::isfinite (value))
			return kResultFalse;
		record.values[i] = clampUnit (value);
	}
	const StateHandoff::Record* pending = restoredState.pending ();
	record.setsBypass = pending && pending->setsBypass;
	record.bypassed = pending && pending->bypassed;
	record.fromController = true;
	restoredState.publish ();
	return kResultOk;
}

// A restored bypass that differs switches at once: a fade still pending towards the other
// state was never heard, and is dropped.
bool BaseProcessor::takeRestoredState ()
{
	return restoredState.take ([this] (const StateHandoff::Record& record) {
		for (uint32 i = 0; i < paramCount; ++i)
			paramValues[i].store (record.values[i], std::memory_order_relaxed);
		reportValues = reportValues || record.fromController;
		if (record.setsBypass && record.bypassed != bypassed.load (std::memory_order_relaxed))
		{
			bypassed.store (record.bypassed, std::memory_order_relaxed);
			bypassRamp = 0;
		}
	});
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
