#include "parameterchanges.h"

namespace kt3host {

ParamQueue::ParamQueue (ParamID id, size_t capacity) : id (id)
{
	points.reserve (capacity);
}

tresult PLUGIN_API ParamQueue::getPoint (int32 index, int32& sampleOffset, ParamValue& value)
{
	if (index < 0 || index >= getPointCount ())
		return kResultFalse;
	sampleOffset = points[index].offset;
	value = points[index].value;
	return kResultOk;
}

tresult PLUGIN_API ParamQueue::addPoint (int32 sampleOffset, ParamValue value, int32& index)
{
	if (points.size () == points.capacity ())
		return kResultFalse; // never grow while a block may be running
	index = getPointCount ();
	points.push_back ({sampleOffset, value});
	return kResultOk;
}

tresult PLUGIN_API ParamQueue::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IParamValueQueue)
	QUERY_INTERFACE (iid, obj, IParamValueQueue::iid, IParamValueQueue)
	*obj = nullptr;
	return kNoInterface;
}

ParamChanges::ParamChanges (size_t capacity)
{
	queues.resize (capacity);
}

void ParamChanges::add (ParamID id, ParamValue value, int32 sampleOffset)
{
	int32 index = 0;
	if (IParamValueQueue* queue = addParameterData (id, index))
		queue->addPoint (sampleOffset, value, index);
}

void ParamChanges::clear ()
{
	for (size_t i = 0; i < used; ++i)
		queues[i].points.clear ();
	used = 0;
}

IParamValueQueue* PLUGIN_API ParamChanges::getParameterData (int32 index)
{
	if (index < 0 || static_cast<size_t> (index) >= used)
		return nullptr;
	return &queues[index];
}

IParamValueQueue* PLUGIN_API ParamChanges::addParameterData (const ParamID& id, int32& index)
{
	for (size_t i = 0; i < used; ++i)
		if (queues[i].id == id)
		{
			index = static_cast<int32> (i);
			return &queues[i];
		}
	if (used == queues.size ())
		return nullptr;
	queues[used].id = id;
	queues[used].points.clear ();
	index = static_cast<int32> (used);
	return &queues[used++];
}

tresult PLUGIN_API ParamChanges::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IParameterChanges)
	QUERY_INTERFACE (iid, obj, IParameterChanges::iid, IParameterChanges)
	*obj = nullptr;
	return kNoInterface;
}

} // namespace kt3host
