// Lv2Plugin: the LV2 adapter of the processor host: ports in, the host's calls, ports out. Each
// run hands the control ports that changed since the last run to the processor host as plain
// values, the enabled port as the bypass; the host's options give the longest block.
//
// Threads: create, activate, deactivate, restore and the destructor come on the host's main
// thread, never during run; connectPort and run on the audio thread; save may overlap run.
#pragma once

#include "lv2ports.h"
#include "processorhost.h"

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

	uint32_t maxBlock () const { return host->maxBlock (); }

private:
	Lv2Plugin () = default;
	// The longest block the host's options give, or the default.
	uint32_t readFeatures (const LV2_Feature* const* features);
	// Hands the control ports' changes to the processor host.
	void collectChanges ();

	std::unique_ptr<ProcessorHost> host;
	const LV2_URID_Map* map = nullptr;
	LV2_URID stateKey = 0;
	LV2_URID chunkType = 0;

	float* audio[4] = {};
	const float* controls[kReverbParamCount + 1] = {}; // the parameters, then enabled
	// The control values the last run saw; NaN before the first, so that it applies them all.
	float lastSeen[kReverbParamCount + 1];
	// The values a restore set: ports that hold them are no change either.
	float restoredPorts[kReverbParamCount + 1];
	bool restorePending = false;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
