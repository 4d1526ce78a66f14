// AudioEffect: the component base of an audio processor, on the packaged SDK's Component.
#pragma once

#include "public.sdk/source/vst/vstcomponent.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

namespace Steinberg {
namespace Vst {

class AudioEffect : public Component, public IAudioProcessor, public IProcessContextRequirements
{
public:
	AudioEffect ();

	// Adds a bus to the component's audio inputs or outputs; the bus list owns it.
	AudioBus* addAudioInput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                         int32 flags = BusInfo::kDefaultActive);
	AudioBus* addAudioOutput (const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
	                          int32 flags = BusInfo::kDefaultActive);

	AudioBus* getAudioInput (int32 index);
	AudioBus* getAudioOutput (int32 index);

	//---IAudioProcessor
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
	tresult PLUGIN_API getBusArrangement (BusDirection dir, int32 index,
	                                      SpeakerArrangement& arr) SMTG_OVERRIDE;
	tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) SMTG_OVERRIDE;
	uint32 PLUGIN_API getLatencySamples () SMTG_OVERRIDE { return 0; }
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) SMTG_OVERRIDE;
	tresult PLUGIN_API setProcessing (TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API process (ProcessData& data) SMTG_OVERRIDE;
	uint32 PLUGIN_API getTailSamples () SMTG_OVERRIDE { return kNoTail; }

	//---IProcessContextRequirements: the effect needs no process context
	uint32 PLUGIN_API getProcessContextRequirements () SMTG_OVERRIDE { return 0; }

	OBJ_METHODS (AudioEffect, Component)
	DEFINE_INTERFACES
		DEF_INTERFACE (IAudioProcessor)
		DEF_INTERFACE (IProcessContextRequirements)
	END_DEFINE_INTERFACES (Component)
	REFCOUNT_METHODS (Component)

protected:
	ProcessSetup processSetup;
};

} // namespace Vst
} // namespace Steinberg
