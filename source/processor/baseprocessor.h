// BaseProcessor: the effect-independent audio side. Parameter store, per-block parameter
// changes, bypass with a one-block crossfade, output silence flags, the state stream and
// the activation message to the controller.
//
// Threads: process runs on the host's audio thread; every other call comes on the main
// thread, and may overlap a running block only for setState and getState. A restored state
// therefore reaches the audio thread through a lock-free hand-off, and the parameter store
// and the bypass flag, which the audio thread writes, are read on the main thread through
// relaxed atomics.
#pragma once

#include "statehandoff.h"
#include "public.sdk/source/vst/vstaudioeffect.h"
#include <atomic>
#include <memory>
#include <vector>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class BaseProcessor : public AudioEffect
{
public:
	BaseProcessor ();
	~BaseProcessor () override;

	//---IComponent (main thread)
	tresult PLUGIN_API setActive (TBool state) SMTG_OVERRIDE;
	// Decodes the stream and hands the values to the next block; refused streams change nothing.
	tresult PLUGIN_API setState (IBStream* state) SMTG_OVERRIDE;
	// Writes the newest values: a restored state that no block has taken yet, or the store.
	tresult PLUGIN_API getState (IBStream* state) SMTG_OVERRIDE;
	// Main thread: the values getState writes (normalised; 0 beyond the store) and the bypass.
	void newestState (double* values, uint32 count, bool& bypass) const;

	//---IConnectionPoint (main thread): kValuesMessage from the controller
	tresult PLUGIN_API notify (IMessage* message) SMTG_OVERRIDE;

	//---IAudioProcessor
	// Main thread.
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
	// Main thread, never during a block: sizes the crossfade buffers (at most kMaxCrossfade).
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) SMTG_OVERRIDE;
	// Audio thread.
	tresult PLUGIN_API process (ProcessData& data) SMTG_OVERRIDE;

	// Level at or below which every tenth sample must stay for a channel to count as silent.
	static constexpr double kSilenceThreshold = 0.000132184039;
	// Longest block that crossfades into or out of bypass; a longer one switches at once.
	static constexpr int32 kMaxCrossfade = 65536;

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

	// The stored normalised value at `index` (0 beyond the store).
	double parameterValue (uint32 index) const;
	uint32 parameterCount () const { return paramCount; }

	std::unique_ptr<std::atomic<double>[]> paramValues;
	uint32 paramCount = 0;
	int32 bypassRamp = 0; // +1 into bypass, -1 out of bypass, 0 none pending; audio thread only
	// Audio thread: the block's values go to the host as output changes, as values set by the
	// controller itself or by a program change have not come from the host's automation.
	bool reportValues = false;
	std::vector<float> scratchLeft;
	std::vector<float> scratchRight;
	std::atomic<bool> bypassed {false};

private:
	// Applies a state that setState handed over; true if there was one.
	bool takeRestoredState ();
	// What getState writes, given the state no block has taken yet (or null).
	double newestValue (const StateHandoff::Record* pending, uint32 index) const;
	bool newestBypass (const StateHandoff::Record* pending) const;
	void crossfade (ProcessData& data);
	void passThrough (ProcessData& data);
	void sendActivationMessage ();
	void writeValuesTo (IParameterChanges* changes);

	StateHandoff restoredState;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
