#include "clapedithandler.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

ClapEditHandler::ClapEditHandler (ClapPlugin& plugin, IEditController& controller)
: plugin (plugin), controller (controller)
{
}

tresult PLUGIN_API ClapEditHandler::beginEdit (ParamID id)
{
	return plugin.edit (ClapEditQueue::Kind::begin, id, 0.0) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API ClapEditHandler::performEdit (ParamID id, ParamValue valueNormalized)
{
	const double plain = controller.normalizedParamToPlain (id, valueNormalized);
	return plugin.edit (ClapEditQueue::Kind::value, id, plain) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API ClapEditHandler::endEdit (ParamID id)
{
	return plugin.edit (ClapEditQueue::Kind::end, id, 0.0) ? kResultOk : kResultFalse;
}

// The parameters' titles and ranges never change, and values come back through the plug-in.
tresult PLUGIN_API ClapEditHandler::restartComponent (int32)
{
	return kResultOk;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
