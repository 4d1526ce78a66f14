// BlockStartChanges: a block's input parameter changes as format adapters hand them to the
// processor, each parameter with one value at offset 0. The storage is reserved up front, so
// filling and reading the changes allocates nothing. Owned by the adapter: reference counting
// is a no-op.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include <memory>

namespace Steinberg {
namespace Vst {

class BlockStartChanges : public IParameterChanges
{
public:
	// Not on the audio thread: room for `capacity` parameters. False, with no room, when the
	// memory is not there.
	bool reserve (int32 capacity);

	// Audio thread: `value` for `id` in this block (a later value of the same ID replaces it);
	// changes beyond the capacity are dropped.
	void add (ParamID id, ParamValue value);
	// Audio thread: the next block starts with no changes.
	void clear () { used = 0; }

	//---IParameterChanges
	int32 PLUGIN_API getParameterCount () SMTG_OVERRIDE { return used; }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) SMTG_OVERRIDE;
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID& id, int32& index) SMTG_OVERRIDE;

	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE { return 1; }
	uint32 PLUGIN_API release () SMTG_OVERRIDE { return 1; }

private:
	// One parameter's single value at the start of the block.
	class Queue final : public IParamValueQueue
	{
	public:
		ParamID PLUGIN_API getParameterId () SMTG_OVERRIDE { return id; }
		int32 PLUGIN_API getPointCount () SMTG_OVERRIDE { return 1; }
		tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& point) SMTG_OVERRIDE;
		tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue point, int32& index) SMTG_OVERRIDE;

		tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
		uint32 PLUGIN_API addRef () SMTG_OVERRIDE { return 1; }
		uint32 PLUGIN_API release () SMTG_OVERRIDE { return 1; }

		ParamID id = 0;
		ParamValue value = 0.0;
	};

	std::unique_ptr<Queue[]> queues;
	int32 capacity = 0;
	int32 used = 0;
};

} // namespace Vst
} // namespace Steinberg
