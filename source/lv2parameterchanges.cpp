#include "lv2parameterchanges.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

void Lv2ParameterChanges::add (ParamID id, ParamValue value)
{
	int32 index = 0;
	if (IParamValueQueue* queue = addParameterData (id, index))
		static_cast<Queue*> (queue)->value = value;
}

IParamValueQueue* PLUGIN_API Lv2ParameterChanges::getParameterData (int32 index)
{
	return index >= 0 && index < used ? &queues[index] : nullptr;
}

IParamValueQueue* PLUGIN_API Lv2ParameterChanges::addParameterData (const ParamID& id, int32& index)
{
	for (index = 0; index < used; ++index)
		if (queues[index].id == id)
			return &queues[index];
	if (used == kCapacity)
		return nullptr;
	index = used++;
	queues[index].id = id;
	return &queues[index];
}

tresult PLUGIN_API Lv2ParameterChanges::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IParameterChanges)
	QUERY_INTERFACE (iid, obj, IParameterChanges::iid, IParameterChanges)
	*obj = nullptr;
	return kNoInterface;
}

tresult PLUGIN_API Lv2ParameterChanges::Queue::getPoint (int32 index, int32& sampleOffset, ParamValue& point)
{
	if (index != 0)
		return kResultFalse;
	sampleOffset = 0;
	point = value;
	return kResultOk;
}

tresult PLUGIN_API Lv2ParameterChanges::Queue::addPoint (int32 /*sampleOffset*/, ParamValue point, int32& index)
{
	value = point;
	index = 0;
	return kResultOk;
}

tresult PLUGIN_API Lv2ParameterChanges::Queue::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IParamValueQueue)
	QUERY_INTERFACE (iid, obj, IParamValueQueue::iid, IParamValueQueue)
	*obj = nullptr;
	return kNoInterface;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
