// The reference scenario's VST 2.4 driver: an effect from the module's VSTPluginMain, with
// every change handed over through setParameter before its block and states through
// effSetChunk.
#pragma once

#include "referencerender.h"

#include "public.sdk/source/vst/vst2wrapper/fstinterface.h"

namespace kt3test {

class Vst2Target final : public Target
{
public:
	// Starts `effect` at kReferenceRate with blocks of kReferenceMaxBlock frames.
	explicit Vst2Target (AEffect* effect);
	// Only at block starts: the offsets of `changes` are not looked at.
	void process (float* in[2], float* out[2], Steinberg::int32 frames,
	              const std::vector<Change>& changes) override;
	bool setState (const kt3host::Bytes& state) override;

private:
	AEffect* effect;
};

// A new effect from the module's VSTPluginMain, with a host callback that answers only the
// version query; null if the module offers none. The caller closes it with effClose.
AEffect* openVst2Effect (const kt3host::PluginModule& module);
// The same from a VSTPluginMain that a host found itself (dlopen and dlsym of a module file).
AEffect* openVst2Effect (void* vstPluginMain);

} // namespace kt3test
