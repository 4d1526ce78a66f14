// BlockStartChanges: a block's input parameter changes as format adapters hand them to the
// processor, each parameter with one value at offset 0: the processor hosts of the formats
// that have no per-sample automation (LV2 controls, VST 2 set calls) and the VST 2 entry fill
// it once per host call.
#pragma once

#include "fixedchangelist.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

// One parameter's single value at the start of the block; a later point replaces it.
class StartValueQueue final : public ChangeQueue
{
public:
	int32 PLUGIN_API getPointCount () override { return 1; }
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& point) override;
	tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue point, int32& index) override;
	void clearPoints () {}

	ParamValue value = 0.0;
};

class BlockStartChanges : public FixedChangeList<StartValueQueue>
{
public:
	// Audio thread: `value` for `id` in this block (a later value of the same ID replaces it);
	// changes beyond the capacity are dropped.
	void add (ParamID id, ParamValue value);
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
