// Parameter values on their way from a VST 2 host, which may set them from any thread, to the
// processor (taken by the audio thread at its next block) and to the controller (taken on the
// main thread). All storage is made up front: posting and taking neither allocate nor lock.
#pragma once

#include "blockstartchanges.h"
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
class Vst2PendingChanges final : public Orvix::BlockStartChanges
{
public:
	// ids: the parameters, by their host index, as many as `slots` has.
	Vst2PendingChanges (const ParamID* ids, Vst2ParameterSlots& slots);

	// Audio thread: takes the processor's posted values into this block's changes (at offset 0).
	void collect ();

private:
	Vst2ParameterSlots& slots;
	std::unique_ptr<ParamID[]> ids;
};

} // namespace Vst
} // namespace Steinberg
