// KT3's editor as an LV2 UI: the embedded editor in the host's X11 window, edits written to the
// control ports and port events moving the controls. The host's idle calls serve the editor's X
// connection and timers. The view's size changes go to ui:resize. Nothing here touches the DSP
// binary or a processor.
#pragma once

#include "embeddededitor.h"
#include "lv2uicontrolports.h"

#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class Lv2UiEditor
{
public:
	// UI thread (instantiate). The editor opened in parentWindow from the description in the
	// module's resource folder, at the host's content scale factor if it gave one (see
	// setScaleFactor); null when it cannot be (no or broken description, no such window, no
	// display). touch and resize may be null.
	static std::unique_ptr<Lv2UiEditor> open (uint32_t parentWindow, LV2UI_Write_Function write,
	                                          LV2UI_Controller host, const LV2UI_Touch* touch,
	                                          const LV2UI_Resize* resize, std::optional<float> scaleFactor);
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
	// UI thread (instantiate, opts:interface). The factor, limited to 1..4, scales the editor (a
	// non-finite one is ignored); a change resizes the open window and tells the host through
	// ui:resize. Without one the editor keeps its own (the desktop's).
	void setScaleFactor (float factor);
	// The factor the host set last, as limited; null before any. Valid while the editor lives.
	const float* hostScaleFactor () const { return editor->scaleFactor (); }

private:
	Lv2UiEditor () = default;

	IPtr<Lv2UiControlPorts> ports;
	std::unique_ptr<EmbeddedEditor> editor;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
