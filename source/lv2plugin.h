// Lv2Plugin: the LV2 plug-in around the registered processor. Each run becomes one process
// call (cut into blocks no longer than the prepared maximum) carrying, at offset 0, the control
// ports that changed since the last run, as normalised values through the parameter table's
// mapping; the enabled port becomes the bypass parameter with its one-block crossfade.
//
// Threads: create, activate, deactivate, restore and the destructor come on the host's main
// thread, never during run; connectPort and run on the audio thread; save may overlap run.
#pragma once

#include "kt3processorwithuicontroller.h"
#include "public.sdk/source/vst/blockstartchanges.h"
#include "lv2ports.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <memory>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class Lv2Plugin
{
public:
	// Null for a sample rate outside 8 kHz..384 kHz or when the processor cannot be set up.
	static Lv2Plugin* create (double sampleRate, const LV2_Feature* const* features);
	~Lv2Plugin ();
	Lv2Plugin (const Lv2Plugin&) = delete;
	Lv2Plugin& operator= (const Lv2Plugin&) = delete;

	// Unknown port indices are ignored; a null buffer disconnects the port.
	void connectPort (uint32_t port, void* data);
	// Clears the rings, as the processor's activation does.
	void activate ();
	void deactivate ();
	void run (uint32_t frames);

	// The processor's 40-byte state as one atom:Chunk under kLv2StateKeyUri.
	LV2_State_Status save (LV2_State_Store_Function store, LV2_State_Handle handle);
	// Refuses a value of another type or size, or one the processor refuses, changing nothing.
	// A state without the key (a host's reset) sets the defaults, and the connected control
	// ports apply their values again at the next run.
	LV2_State_Status restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

	uint32_t maxBlock () const { return blockLimit; }

private:
	Lv2Plugin () = default;
	bool setUp (double sampleRate, const LV2_Feature* const* features);
	void readFeatures (const LV2_Feature* const* features);
	// Adds the control ports' changes to `changes`.
	void collectChanges ();
	void processBlock (uint32_t offset, uint32_t frames);
	// Copies the inputs into `inputCopy` when an input shares memory with an output of the other
	// channel (or both inputs share one output): the bypass and its crossfade write one channel
	// before reading the other, so they need the inputs apart from the outputs.
	void separateAliasedInputs (uint32_t frames);
	LV2_State_Status resetToDefaults ();

	IPtr<KT3ProcessorWithUIController> processor;
	const LV2_URID_Map* map = nullptr;
	LV2_URID stateKey = 0;
	LV2_URID chunkType = 0;
	uint32_t blockLimit = kLv2DefaultMaxBlock;
	bool active = false;

	float* audio[4] = {};
	const float* controls[kReverbParamCount + 1] = {}; // the parameters, then enabled
	// The control values the last run saw; NaN before the first, so that it applies them all.
	float lastSeen[kReverbParamCount + 1];
	// The values a restore set: ports that hold them are no change either.
	float restoredPorts[kReverbParamCount + 1];
	bool restorePending = false;

	BlockStartChanges changes;
	AudioBusBuffers inBus {};
	AudioBusBuffers outBus {};
	float* inPointers[2] = {};
	std::unique_ptr<float[]> inputCopy; // two channels of blockLimit frames, reserved at creation
	float* outPointers[2] = {};
	ProcessData data {};
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
