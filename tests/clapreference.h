// The reference scenario through a CLAP plug-in: each block's changes as parameter value events
// in plain units at their offsets, the state loaded through the plug-in's state extension.
#pragma once

#include "claphostedplugin.h"
#include "referencerender.h"

namespace kt3test {

class ClapTarget final : public Target
{
public:
	// The plug-in, active for kReferenceRate and kReferenceMaxBlock.
	explicit ClapTarget (kt3host::ClapHostedPlugin& plugin);
	void process (float* in[2], float* out[2], Steinberg::int32 frames, const std::vector<Change>& changes) override;
	bool setState (const kt3host::Bytes& state) override;
	// Heap calls made inside the process calls (the counter replaces glibc's allocator: not
	// counted on Windows).
	long allocations = 0;

private:
	kt3host::ClapHostedPlugin& plugin;
	kt3host::ClapInputEvents events;
};

} // namespace kt3test
