#include "clapreference.h"
#if !defined(_WIN32)
#include "allocationcounter.h"
#endif
#include "kt3ids.h"
#include "reverbparameters.h"

namespace kt3test {

using namespace Steinberg::Vst::Orvix;

ClapTarget::ClapTarget (kt3host::ClapHostedPlugin& plugin) : plugin (plugin) {}

void ClapTarget::process (float* in[2], float* out[2], Steinberg::int32 frames, const std::vector<Change>& changes)
{
	events.clear ();
	for (const Change& change : changes)
	{
		const double plain = change.id == kBypassId ? change.value : kReverbParameters[change.id].plain (change.value);
		events.addValue (change.id, plain, static_cast<uint32_t> (change.offset));
	}
#if defined(_WIN32)
	plugin.process (in, out, static_cast<uint32_t> (frames), events);
#else
	startCountingAllocations ();
	plugin.process (in, out, static_cast<uint32_t> (frames), events);
	allocations += stopCountingAllocations ();
#endif
}

bool ClapTarget::setState (const kt3host::Bytes& state)
{
	return plugin.load (std::vector<uint8_t> (state.begin (), state.end ()));
}

} // namespace kt3test
