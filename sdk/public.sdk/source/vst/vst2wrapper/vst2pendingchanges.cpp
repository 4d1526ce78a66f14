#include "vst2pendingchanges.h"

namespace Steinberg {
namespace Vst {

Vst2PendingChanges::Vst2PendingChanges (const ParamID* ids, int32 count)
: count (count), slots (new Slot[count]), queues (new Queue[count])
{
	for (int32 i = 0; i < count; ++i)
		slots[i].id = ids[i];
}

void Vst2PendingChanges::post (int32 index, ParamValue value)
{
	if (index < 0 || index >= count)
		return;
	slots[index].value.store (value, std::memory_order_relaxed);
	slots[index].posted.store (true, std::memory_order_release);
}

void Vst2PendingChanges::collect ()
{
	used = 0;
	for (int32 i = 0; i < count; ++i)
	{
		if (!slots[i].posted.exchange (false, std::memory_order_acquire))
			continue;
		queues[used].id = slots[i].id;
		queues[used].value = slots[i].value.load (std::memory_order_relaxed);
		++used;
	}
}

void Vst2PendingChanges::discard ()
{
	for (int32 i = 0; i < count; ++i)
		slots[i].posted.store (false, std::memory_order_release);
}

IParamValueQueue* PLUGIN_API Vst2PendingChanges::getParameterData (int32 index)
{
	return index >= 0 && index < used ? &queues[index] : nullptr;
}

IParamValueQueue* PLUGIN_API Vst2PendingChanges::addParameterData (const ParamID&, int32& index)
{
	index = -1;
	return nullptr; // the processor only reads its input changes
}

tresult PLUGIN_API Vst2PendingChanges::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IParameterChanges)
	QUERY_INTERFACE (iid, obj, IParameterChanges::iid, IParameterChanges)
	*obj = nullptr;
	return kNoInterface;
}

tresult PLUGIN_API Vst2PendingChanges::Queue::getPoint (int32 index, int32& sampleOffset,
                                                       ParamValue& pointValue)
{
	if (index != 0)
		return kInvalidArgument;
	sampleOffset = 0;
	pointValue = value;
	return kResultOk;
}

tresult PLUGIN_API Vst2PendingChanges::Queue::addPoint (int32, ParamValue, int32& index)
{
	index = -1;
	return kResultFalse;
}

tresult PLUGIN_API Vst2PendingChanges::Queue::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IParamValueQueue)
	QUERY_INTERFACE (iid, obj, IParamValueQueue::iid, IParamValueQueue)
	*obj = nullptr;
	return kNoInterface;
}

} // namespace Vst
} // namespace Steinberg
