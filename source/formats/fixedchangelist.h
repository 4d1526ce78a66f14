// FixedChangeList: a block's input parameter changes over a fixed set of queues, one per
// parameter and found by its ID, reserved up front so that filling and reading them allocates
// nothing while blocks run. Owned by value by whoever hands the changes to process: reference
// counting is a no-op. Queue is a ChangeQueue with room for the points its owner adds.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <memory>
#include <new>

namespace Steinberg {
namespace Vst {
namespace Orvix {

// The part every queue shares: its ID, the interface's lifetime and identity.
class ChangeQueue : public IParamValueQueue
{
public:
	ParamID PLUGIN_API getParameterId () override { return id; }
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		QUERY_INTERFACE (iid, obj, FUnknown::iid, IParamValueQueue)
		QUERY_INTERFACE (iid, obj, IParamValueQueue::iid, IParamValueQueue)
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

	ParamID id = 0;
};

template <typename Queue>
class FixedChangeList : public IParameterChanges
{
public:
	// Not on the audio thread: room for `count` parameters. False, with no room, when the
	// memory is not there.
	bool reserve (int32 count)
	{
		used = 0;
		capacity = 0;
		queues.reset (count > 0 ? new (std::nothrow) Queue[count] : nullptr);
		if (queues)
			capacity = count;
		return queues || count <= 0;
	}

	// Audio thread: the next block starts with no changes.
	void clear ()
	{
		for (int32 i = 0; i < used; ++i)
			queues[i].clearPoints ();
		used = 0;
	}

	//---IParameterChanges
	int32 PLUGIN_API getParameterCount () override { return used; }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
	{
		return index >= 0 && index < used ? &queues[index] : nullptr;
	}
	// The queue of `id`, opened if the block has none yet; null when every queue is taken.
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID& id, int32& index) override
	{
		for (index = 0; index < used; ++index)
			if (queues[index].id == id)
				return &queues[index];
		if (used == capacity)
		{
			index = -1;
			return nullptr;
		}
		index = used++;
		queues[index].id = id;
		queues[index].clearPoints ();
		return &queues[index];
	}

	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		QUERY_INTERFACE (iid, obj, FUnknown::iid, IParameterChanges)
		QUERY_INTERFACE (iid, obj, IParameterChanges::iid, IParameterChanges)
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

private:
	std::unique_ptr<Queue[]> queues;
	int32 capacity = 0;
	int32 used = 0;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
