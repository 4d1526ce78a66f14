#include "public.sdk/source/vst/blockstartchanges.h"
#include <new>

namespace Steinberg {
namespace Vst {

bool BlockStartChanges::reserve (int32 count)
{
	used = 0;
	capacity = 0;
	queues.reset (count > 0 ? new (std::nothrow) Queue[count] : nullptr);
	if (queues)
		capacity = count;
	return queues || count <= 0;
}

void BlockStartChanges::add (ParamID id, ParamValue value)
{
	int32 index = 0;
	if (IParamValueQueue* queue = addParameterData (id, index))
		static_cast<Queue*> (queue)->value = value;
}

IParamValueQueue* PLUGIN_API BlockStartChanges::getParameterData (int32 index)
{
	return index >= 0 && index < used ? &queues[index] : nullptr;
}

IParamValueQueue* PLUGIN_API BlockStartChanges::addParameterData (const ParamID& id, int32& index)
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
	return &queues[index];
}

tresult PLUGIN_API BlockStartChanges::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IParameterChanges)
	QUERY_INTERFACE (iid, obj, IParameterChanges::iid, IParameterChanges)
	*obj = nullptr;
	return kNoInterface;
}

tresult PLUGIN_API BlockStartChanges::Queue::getPoint (int32 index, int32& sampleOffset, ParamValue& point)
{
	if (index != 0)
		return kInvalidArgument;
	sampleOffset = 0;
	point = value;
	return kResultOk;
}

tresult PLUGIN_API BlockStartChanges::Queue::addPoint (int32 /*sampleOffset*/, ParamValue point, int32& index)
{
	value = point;
	index = 0;
	return kResultOk;
}

tresult PLUGIN_API BlockStartChanges::Queue::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IParamValueQueue)
	QUERY_INTERFACE (iid, obj, IParamValueQueue::iid, IParamValueQueue)
	*obj = nullptr;
	return kNoInterface;
}

} // namespace Vst
} // namespace Steinberg
