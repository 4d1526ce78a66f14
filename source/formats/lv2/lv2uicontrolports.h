// The LV2 UI's control ports and the controller: the component handler that the controller
// edits through, writing each edited parameter's port as a plain value (Size..Output on ports
// 4..7, the bypass as port 8 `enabled` = 1 - bypass), and the host's port events setting the
// controller's parameters so that the editor's controls follow. Gestures go to the host's
// ui:touch when it offers one.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <lv2/ui/ui.h>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class Lv2UiControlPorts : public FObject, public IComponentHandler
{
public:
	// The controller is borrowed: its owner detaches this handler before releasing it. touch may
	// be null.
	Lv2UiControlPorts (IEditController* controller, LV2UI_Write_Function write, LV2UI_Controller host,
	                   const LV2UI_Touch* touch);

	// UI thread (port_event). A control port's plain float (format 0) sets its parameter, clamped
	// to the port's range; anything else is ignored: audio ports, unknown ports, other formats or
	// sizes, NaN.
	void portEvent (uint32_t index, uint32_t bufferSize, uint32_t format, const void* buffer);

	//---IComponentHandler: UI thread, from the editor's controls
	tresult PLUGIN_API beginEdit (ParamID id) override;
	tresult PLUGIN_API performEdit (ParamID id, ParamValue valueNormalized) override;
	tresult PLUGIN_API endEdit (ParamID id) override;
	tresult PLUGIN_API restartComponent (int32 flags) override;

	OBJ_METHODS (Lv2UiControlPorts, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (IComponentHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	tresult touch (ParamID id, bool grabbed);

	IEditController* controller;
	LV2UI_Write_Function write;
	LV2UI_Controller host;
	const LV2UI_Touch* touchFeature;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
