#include "statehandoff.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

void StateHandoff::allocate (size_t count)
{
	for (Record& record : records)
		record.values.assign (count, 0.0);
	published.values.assign (count, 0.0);
}

void StateHandoff::publish ()
{
	Record& filled = records[back];
	filled.sequence = published.sequence + 1;
	published.values = filled.values; // same size: no allocation
	published.bypassed = filled.bypassed;
	published.setsBypass = filled.setsBypass;
	published.fromController = filled.fromController;
	published.sequence = filled.sequence;
	back = middle.exchange (back | kFresh, std::memory_order_acq_rel) & kIndexMask;
}

const StateHandoff::Record* StateHandoff::pending () const
{
	return applied.load (std::memory_order_acquire) == published.sequence ? nullptr : &published;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
