#include "vst2pendingchanges.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace Steinberg {
namespace Vst {

namespace {

static_assert (std::atomic<uint64>::is_always_lock_free, "posting must not take a lock");

constexpr uint64 kFlags = Vst2ParameterSlots::kProcessor | Vst2ParameterSlots::kController;

// The word of `value` limited to +0.0 .. 1.0, whose top two bits are clear (-0.0 would set the
// sign bit), with no flags.
uint64 wordOf (ParamValue value)
{
	const ParamValue limited = value > 0.0 ? std::min (value, 1.0) : 0.0;
	uint64 word = 0;
	std::memcpy (&word, &limited, sizeof word);
	return word;
}

ParamValue valueOf (uint64 word)
{
	word &= ~kFlags;
	ParamValue value = 0.0;
	std::memcpy (&value, &word, sizeof value);
	return value;
}

} // namespace

Vst2ParameterSlots::Vst2ParameterSlots (int32 count)
: count (std::max<int32> (count, 0)), words (new std::atomic<uint64>[this->count])
{
	for (int32 i = 0; i < this->count; ++i)
		words[i].store (0, std::memory_order_relaxed);
}

bool Vst2ParameterSlots::accepts (int32 index, ParamValue value) const
{
	return inRange (index) && !std::isnan (value);
}

template <typename Next>
void Vst2ParameterSlots::update (int32 index, Next next)
{
	uint64 word = words[index].load (std::memory_order_acquire);
	for (uint64 wanted = next (word); wanted != word; wanted = next (word))
		if (words[index].compare_exchange_weak (word, wanted, std::memory_order_acq_rel, std::memory_order_acquire))
			return;
}

void Vst2ParameterSlots::post (int32 index, ParamValue value, Takers takers)
{
	if (accepts (index, value))
		words[index].store (wordOf (value) | (takers & kFlags), std::memory_order_release);
}

void Vst2ParameterSlots::refresh (int32 index, ParamValue value)
{
	if (!accepts (index, value))
		return;
	const uint64 valueWord = wordOf (value);
	update (index, [valueWord] (uint64 word) { return (word & kController) ? word : valueWord | (word & kFlags); });
}

bool Vst2ParameterSlots::take (int32 index, Takers taker, ParamValue& value)
{
	if (!inRange (index))
		return false;
	const uint64 word = words[index].fetch_and (~taker, std::memory_order_acq_rel);
	if (!(word & taker))
		return false;
	value = valueOf (word);
	return true;
}

void Vst2ParameterSlots::giveBack (int32 index, Takers taker, ParamValue value)
{
	if (!accepts (index, value))
		return;
	const uint64 valueWord = wordOf (value);
	const uint64 flag = taker & kFlags;
	update (index, [valueWord, flag] (uint64 word) { return (word & ~kFlags) == valueWord ? word | flag : word; });
}

ParamValue Vst2ParameterSlots::newest (int32 index) const
{
	return inRange (index) ? valueOf (words[index].load (std::memory_order_acquire)) : 0.0;
}

Vst2PendingChanges::Vst2PendingChanges (const ParamID* parameterIds, Vst2ParameterSlots& slots)
: slots (slots), ids (new ParamID[slots.size ()])
{
	std::copy_n (parameterIds, slots.size (), ids.get ());
	if (!reserve (slots.size ()))
		throw std::bad_alloc ();
}

void Vst2PendingChanges::collect ()
{
	clear ();
	for (int32 i = 0; i < slots.size (); ++i)
	{
		ParamValue value = 0.0;
		if (slots.take (i, Vst2ParameterSlots::kProcessor, value))
			add (ids[i], value);
	}
}

} // namespace Vst
} // namespace Steinberg
