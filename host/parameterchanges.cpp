#include "parameterchanges.h"

namespace kt3host {

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

void ParamChanges::add (ParamID id, ParamValue value, int32 sampleOffset)
{
	int32 index = 0;
	if (IParamValueQueue* queue = addParameterData (id, index))
		queue->addPoint (sampleOffset, value, index);
}

} // namespace kt3host
