// BaseProcessor: the effect-independent audio side. Parameter store, per-block parameter
// changes, bypass with a one-block crossfade, output silence flags, the state stream and
// the activation message to the controller.
#pragma once

#include "public.sdk/source/vst/vstaudioeffect.h"
#include <vector>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class BaseProcessor : public AudioEffect
{
public:
	BaseProcessor ();
	~BaseProcessor () override;

	//---IComponent
	tresult PLUGIN_API setActive (TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API setState (IBStream* state) SMTG_OVERRIDE;
	tresult PLUGIN_API getState (IBStream* state) SMTG_OVERRIDE;

	//---IAudioProcessor
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) SMTG_OVERRIDE;
	tresult PLUGIN_API process (ProcessData& data) SMTG_OVERRIDE;

	// Level at or below which every tenth sample must stay for a channel to count as silent.
	static constexpr double kSilenceThreshold = 0.000132184039;

protected:
	// The effect's signal processing for one block of at least one sample.
	virtual void processAudio (ProcessData& data) = 0;
	// Bypass and crossfade handling; true when the block is finished.
	virtual bool processBypass (ProcessData& data);
	virtual void processEvents (IEventList* events);
	virtual void updateSilenceFlags (ProcessData& data);
	virtual void setBypass (bool state, int32 sampleOffset);
	// Applies the last point of each queue; true if the block carried parameter changes.
	virtual bool readParameterChanges (IParameterChanges* changes);
	virtual void setParameterValue (uint32 index, double value, int32 sampleOffset);
	virtual void allocateParameters (uint32 count);
	// The effect recomputes its coefficients from the store here.
	virtual void parametersChanged ();

	std::vector<double> paramValues;
	int32 bypassRamp = 0; // +1 into bypass, -1 out of bypass, 0 none pending
	std::vector<float> scratchLeft;
	std::vector<float> scratchRight;
	bool bypassed = false;

private:
	void crossfade (ProcessData& data);
	void passThrough (ProcessData& data);
	void sendActivationMessage ();
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
