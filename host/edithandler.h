// The host's component handler: records the controller's begin, perform and end edits in
// the order they arrive, as a DAW's automation would see them, and its restart requests.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "base/source/fobject.h"
#include <vector>

namespace kt3host {

class EditHandler : public Steinberg::FObject, public Steinberg::Vst::IComponentHandler
{
public:
	enum class Kind { Begin, Perform, End };
	struct Edit
	{
		Kind kind;
		Steinberg::Vst::ParamID id;
		Steinberg::Vst::ParamValue value; // for Perform
	};
	std::vector<Edit> edits;
	// The flags of each restartComponent call, in order.
	std::vector<Steinberg::int32> restarts;

	Steinberg::tresult PLUGIN_API beginEdit (Steinberg::Vst::ParamID id) override;
	Steinberg::tresult PLUGIN_API performEdit (Steinberg::Vst::ParamID id,
	                                           Steinberg::Vst::ParamValue value) override;
	Steinberg::tresult PLUGIN_API endEdit (Steinberg::Vst::ParamID id) override;
	Steinberg::tresult PLUGIN_API restartComponent (Steinberg::int32 flags) override;

	OBJ_METHODS (EditHandler, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (Steinberg::Vst::IComponentHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)
};

} // namespace kt3host
