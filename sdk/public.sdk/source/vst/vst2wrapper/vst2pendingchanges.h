// Parameter values waiting for the next audio block. Any thread may post a value; the audio
// thread collects them into an IParameterChanges at the start of its block. One slot per
// parameter, all storage made up front: posting and collecting neither allocate nor lock.
// Only the newest value of a parameter since the last block is delivered.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include <atomic>
#include <memory>

namespace Steinberg {
namespace Vst {

class Vst2PendingChanges final : public IParameterChanges
{
public:
	// ids: the parameters, by their host index.
	Vst2PendingChanges (const ParamID* ids, int32 count);

	// Any thread: the parameter at `index` takes `value` at the next block.
	void post (int32 index, ParamValue value);
	// Audio thread: moves the posted values into this block's changes (all at offset 0).
	void collect ();
	// Drops every posted value.
	void discard ();
	// Audio thread: the block's changes were handed on; the next block starts empty.
	void clearBlock () { used = 0; }

	//---IParameterChanges
	int32 PLUGIN_API getParameterCount () SMTG_OVERRIDE { return used; }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) SMTG_OVERRIDE;
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID& id, int32& index) SMTG_OVERRIDE;

	// Owned by the wrapper: reference counting is a no-op.
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE { return 1; }
	uint32 PLUGIN_API release () SMTG_OVERRIDE { return 1; }

private:
	// One value at offset 0.
	class Queue : public IParamValueQueue
	{
	public:
		ParamID id = 0;
		ParamValue value = 0.0;

		ParamID PLUGIN_API getParameterId () SMTG_OVERRIDE { return id; }
		int32 PLUGIN_API getPointCount () SMTG_OVERRIDE { return 1; }
		tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& value) SMTG_OVERRIDE;
		tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue value, int32& index) SMTG_OVERRIDE;
		tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
		uint32 PLUGIN_API addRef () SMTG_OVERRIDE { return 1; }
		uint32 PLUGIN_API release () SMTG_OVERRIDE { return 1; }
	};
	struct Slot
	{
		ParamID id = 0;
		std::atomic<ParamValue> value {0.0};
		std::atomic<bool> posted {false};
	};

	int32 count;
	std::unique_ptr<Slot[]> slots;
	std::unique_ptr<Queue[]> queues;
	int32 used = 0;
};

} // namespace Vst
} // namespace Steinberg
