// Parameter values on their way from a VST 2 host, which may set them from any thread, to the
// processor (taken by the audio thread at its next block) and to the controller (taken on the
// main thread). All storage is made up front: posting and taking neither allocate nor lock.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include <atomic>
#include <memory>

namespace Steinberg {
namespace Vst {

// The newest value of each parameter and which takers have yet to take it, in one 64-bit word
// per parameter. A value in 0..1 leaves the sign bit and the exponent's top bit of its double
// clear; they hold the two takers' flags. As value and flags change together in one atomic
// step, the processor, the controller and getParameter never disagree about which value is
// the newest, whichever threads post at once.
class Vst2ParameterSlots
{
public:
	using Takers = uint64;
	static constexpr Takers kProcessor = Takers (1) << 63;
	static constexpr Takers kController = Takers (1) << 62;

	explicit Vst2ParameterSlots (int32 count);

	// Any thread, wait-free: `value` (limited to 0..1; NaN is ignored) becomes the newest value
	// at `index`, for `takers` to take; any taker left out already has it.
	void post (int32 index, ParamValue value, Takers takers);
	// Main thread: the controller's own value changed to `value`. It becomes the newest unless
	// the controller has yet to take a newer one; the takers' flags stay.
	void refresh (int32 index, ParamValue value);
	// Any thread: true, and the newest value, when `taker` has yet to take it; it then has it.
	bool take (int32 index, Takers taker, ParamValue& value);
	// Main thread: `taker` has `value`, which it took, to take again, unless a newer value was
	// posted meanwhile.
	void giveBack (int32 index, Takers taker, ParamValue value);
	// Any thread: the newest value at `index` (0 for an index out of range).
	ParamValue newest (int32 index) const;

	int32 size () const { return count; }

private:
	bool inRange (int32 index) const { return index >= 0 && index < count; }
	bool accepts (int32 index, ParamValue value) const;
	// Replaces the word at `index` by `next (word)` in one atomic step; a word that `next`
	// returns unchanged stays.
	template <typename Next>
	void update (int32 index, Next next);

	int32 count;
	std::unique_ptr<std::atomic<uint64>[]> words;
};

// The processor's share of the slots, as the input parameter changes of a block.
class Vst2PendingChanges final : public IParameterChanges
{
public:
	// ids: the parameters, by their host index, as many as `slots` has.
	Vst2PendingChanges (const ParamID* ids, Vst2ParameterSlots& slots);

	// Audio thread: takes the processor's posted values into this block's changes (at offset 0).
	void collect ();
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

	Vst2ParameterSlots& slots;
	std::unique_ptr<ParamID[]> ids;
	std::unique_ptr<Queue[]> queues;
	int32 used = 0;
};

} // namespace Vst
} // namespace Steinberg
