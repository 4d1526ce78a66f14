#include "blockstartchanges.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

void BlockStartChanges::add (ParamID id, ParamValue value)
{
	int32 index = 0;
	if (IParamValueQueue* queue = addParameterData (id, index))
		static_cast<StartValueQueue*> (queue)->value = value;
}

tresult PLUGIN_API StartValueQueue::getPoint (int32 index, int32& sampleOffset, ParamValue& point)
{
	if (index != 0)
		return kInvalidArgument;
	sampleOffset = 0;
	point = value;
	return kResultOk;
}

tresult PLUGIN_API StartValueQueue::addPoint (int32 /*sampleOffset*/, ParamValue point, int32& index)
{
	value = point;
	index = 0;
	return kResultOk;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
