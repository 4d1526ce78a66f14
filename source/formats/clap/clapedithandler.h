// ClapEditHandler: the component handler the editor's controller edits through in the CLAP
// plug-in. Each gesture and value (normalised, as the controller gives it) goes to the adapter
// as a plain value, to reach the host as parameter events with gesture begin and end.
#pragma once

#include "clapplugin.h"

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ClapEditHandler : public FObject, public IComponentHandler
{
public:
	// Both are borrowed: the editor detaches this handler before either goes.
	ClapEditHandler (ClapPlugin& plugin, IEditController& controller);

	//---IComponentHandler: main thread, from the editor's controls
	tresult PLUGIN_API beginEdit (ParamID id) override;
	tresult PLUGIN_API performEdit (ParamID id, ParamValue valueNormalized) override;
	tresult PLUGIN_API endEdit (ParamID id) override;
	tresult PLUGIN_API restartComponent (int32 flags) override;

	OBJ_METHODS (ClapEditHandler, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (IComponentHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	ClapPlugin& plugin;
	IEditController& controller;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
