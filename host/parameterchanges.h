// Parameter changes as a host hands them to process(): a fixed set of queues whose storage
// is reserved up front, so filling and reading them allocates nothing during a block.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include <vector>

namespace kt3host {

using namespace Steinberg;
using namespace Steinberg::Vst;

// Lives on the host's side, owned by value: reference counting is a no-op.
class ParamQueue final : public IParamValueQueue
{
public:
	explicit ParamQueue (ParamID id = 0, size_t capacity = 16);

	ParamID PLUGIN_API getParameterId () override { return id; }
	int32 PLUGIN_API getPointCount () override { return static_cast<int32> (points.size ()); }
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& value) override;
	tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue value, int32& index) override;

	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override;
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

	ParamID id;
	struct Point
	{
		int32 offset;
		ParamValue value;
	};
	std::vector<Point> points;
};

class ParamChanges final : public IParameterChanges
{
public:
	explicit ParamChanges (size_t capacity = 16);

	// Adds a point to the queue of `id`, opening the queue if the block has none yet.
	void add (ParamID id, ParamValue value, int32 sampleOffset = 0);
	// Empties every queue, keeping the reserved storage.
	void clear ();

	int32 PLUGIN_API getParameterCount () override { return static_cast<int32> (used); }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override;
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID& id, int32& index) override;

	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override;
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

private:
	std::vector<ParamQueue> queues;
	size_t used = 0;
};

} // namespace kt3host
