#include "public.sdk/source/vst/vstaudioeffect.h"

namespace Steinberg {
namespace Vst {

AudioEffect::AudioEffect ()
{
	processSetup.processMode = kRealtime;
	processSetup.symbolicSampleSize = kSample32;
	processSetup.maxSamplesPerBlock = 1024;
	processSetup.sampleRate = 44100.0;
}

AudioBus* AudioEffect::addAudioInput (const TChar* name, SpeakerArrangement arr, BusType busType,
                                      int32 flags)
{
	auto* bus = new AudioBus (name, busType, flags, arr);
	audioInputs.push_back (IPtr<Vst::Bus> (bus, false));
	return bus;
}

AudioBus* AudioEffect::addAudioOutput (const TChar* name, SpeakerArrangement arr, BusType busType,
                                       int32 flags)
{
	auto* bus = new AudioBus (name, busType, flags, arr);
	audioOutputs.push_back (IPtr<Vst::Bus> (bus, false));
	return bus;
}

static AudioBus* busAt (BusList& list, int32 index)
{
	if (index < 0 || index >= static_cast<int32> (list.size ()))
		return nullptr;
	return FCast<AudioBus> (list.at (index).get ());
}

AudioBus* AudioEffect::getAudioInput (int32 index)
{
	return busAt (audioInputs, index);
}

AudioBus* AudioEffect::getAudioOutput (int32 index)
{
	return busAt (audioOutputs, index);
}

tresult PLUGIN_API AudioEffect::setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                                    SpeakerArrangement* outputs, int32 numOuts)
{
	if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
		return kInvalidArgument;
	if (numIns > static_cast<int32> (audioInputs.size ()) ||
	    numOuts > static_cast<int32> (audioOutputs.size ()))
		return kResultFalse;
	for (int32 i = 0; i < numIns; ++i)
		if (auto* bus = busAt (audioInputs, i))
			bus->setArrangement (inputs[i]);
	for (int32 i = 0; i < numOuts; ++i)
		if (auto* bus = busAt (audioOutputs, i))
			bus->setArrangement (outputs[i]);
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::getBusArrangement (BusDirection dir, int32 index,
                                                   SpeakerArrangement& arr)
{
	AudioBus* bus = busAt (dir == kInput ? audioInputs : audioOutputs, index);
	if (!bus)
		return kInvalidArgument;
	arr = bus->getArrangement ();
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::canProcessSampleSize (int32 symbolicSampleSize)
{
	return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API AudioEffect::setupProcessing (ProcessSetup& setup)
{
	if (canProcessSampleSize (setup.symbolicSampleSize) != kResultTrue)
		return kResultFalse;
	processSetup = setup;
	return kResultOk;
}

tresult PLUGIN_API AudioEffect::setProcessing (TBool)
{
	return kResultOk;
}

tresult PLUGIN_API AudioEffect::process (ProcessData&)
{
	return kNotImplemented;
}

} // namespace Vst
} // namespace Steinberg
