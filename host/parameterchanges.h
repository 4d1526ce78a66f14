// Parameter changes as a host hands them to process(): queues of points at any offset in the
// block, on the processor side's fixed change list, whose storage is reserved up front so that
// filling and reading them allocates nothing during a block.
#pragma once

#include "fixedchangelist.h"

#include <vector>

namespace kt3host {

using namespace Steinberg;
using namespace Steinberg::Vst;

class ParamQueue final : public Orvix::ChangeQueue
{
public:
	explicit ParamQueue (size_t capacity = 16) { points.reserve (capacity); }

	int32 PLUGIN_API getPointCount () override { return static_cast<int32> (points.size ()); }
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& value) override;
	// Refused (kResultFalse) when the reserved points are used up: it never grows in a block.
	tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue value, int32& index) override;
	void clearPoints () { points.clear (); }

	struct Point
	{
		int32 offset;
		ParamValue value;
	};
	std::vector<Point> points;
};

class ParamChanges final : public Orvix::FixedChangeList<ParamQueue>
{
public:
	explicit ParamChanges (int32 capacity = 16) { reserve (capacity); }

	// Adds a point to the queue of `id`, opening the queue if the block has none yet.
	void add (ParamID id, ParamValue value, int32 sampleOffset = 0);
};

} // namespace kt3host
