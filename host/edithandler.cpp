#include "edithandler.h"

namespace kt3host {

using namespace Steinberg;

tresult PLUGIN_API EditHandler::beginEdit (Vst::ParamID id)
{
	edits.push_back ({Kind::Begin, id, 0.0});
	return kResultOk;
}

tresult PLUGIN_API EditHandler::performEdit (Vst::ParamID id, Vst::ParamValue value)
{
	edits.push_back ({Kind::Perform, id, value});
	return kResultOk;
}

tresult PLUGIN_API EditHandler::endEdit (Vst::ParamID id)
{
	edits.push_back ({Kind::End, id, 0.0});
	return kResultOk;
}

tresult PLUGIN_API EditHandler::restartComponent (int32 flags)
{
	restarts.push_back (flags);
	return kResultOk;
}

} // namespace kt3host
