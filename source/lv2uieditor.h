// KT3's editor as an LV2 UI: a controller of the UI's own with the editor embedded in the host's
// X11 window, edits written to the control ports and port events moving the controls. The
// host's idle calls serve the editor's X connection and timers (the editor's own idle run loop,
// as no IRunLoop is offered to it). Nothing here touches the DSP binary or a processor.
#pragma once

#include "lv2uicontrolports.h"

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>

namespace VSTGUI {
class VST3Editor;
}

namespace Steinberg {
namespace Vst {
namespace Orvix {

class KT3ControllerWithUI;

class Lv2UiEditor
{
public:
	// UI thread (instantiate). The editor opened in parentWindow from the description in the
	// module's resource folder; null when it cannot be (no or broken description, no such window,
	// no display). touch may be null.
	static std::unique_ptr<Lv2UiEditor> open (uint32_t parentWindow, LV2UI_Write_Function write,
	                                          LV2UI_Controller host, const LV2UI_Touch* touch);
	// UI thread (cleanup): closes the editor's window and its display connection.
	~Lv2UiEditor ();
	Lv2UiEditor (const Lv2UiEditor&) = delete;
	Lv2UiEditor& operator= (const Lv2UiEditor&) = delete;

	// The editor's own window, a child of the parent window, and its size.
	uint32_t window () const;
	ViewRect size () const;
	// UI thread (port_event).
	void portEvent (uint32_t index, uint32_t bufferSize, uint32_t format, const void* buffer);
	// UI thread (idle): serves the window's events and the editor's due timers without waiting.
	void idle ();

private:
	Lv2UiEditor () = default;

	IPtr<KT3ControllerWithUI> controller;
	IPtr<Lv2UiControlPorts> ports;
	IPtr<IPlugView> view;
	VSTGUI::VST3Editor* editor {nullptr};
	bool attached {false};
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
