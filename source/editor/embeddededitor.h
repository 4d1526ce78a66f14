// EmbeddedEditor: KT3's editor opened outside a VST 3 host, as the LV2 UI and the CLAP plug-in
// open it: a controller of its own with the editor's view embedded in the host's window, the
// edits going to a component handler of the format's, size changes asked of the host through a
// function (HostResizeFrame), and the content scale factor the host gives. The frame has no run
// loop: the format calls idle () to serve the window's events and the editor's timers.
// Everything here runs on the host's UI (main) thread.
#pragma once

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "hostresizeframe.h"

#include <functional>
#include <memory>
#include <optional>

namespace VSTGUI {
class VST3Editor;
}

namespace Steinberg {
namespace Vst {
namespace Orvix {

class KT3ControllerWithUI;

class EmbeddedEditor
{
public:
	// The component handler the controller edits through, made for that controller.
	using MakeHandler = std::function<IPtr<IComponentHandler> (IEditController& controller)>;

	// The editor's view from the description in the resource folder, not yet in a window; null
	// when there is no usable description.
	static std::unique_ptr<EmbeddedEditor> create (const MakeHandler& makeHandler, HostResizeFrame::AskHost askHost);
	// create, the scale factor if one is given (see setScaleFactor), then attach; null when any
	// of them fails.
	static std::unique_ptr<EmbeddedEditor> open (void* parent, FIDString platform, const MakeHandler& makeHandler,
	                                             HostResizeFrame::AskHost askHost, std::optional<float> scaleFactor);
	// Embeds the view in `parent`, a window of the platform type `platform`; false when it cannot
	// (no such window, no display) or is already embedded.
	bool attach (void* parent, FIDString platform);
	bool isAttached () const { return attached; }
	// Closes the editor's window and its display connection.
	~EmbeddedEditor ();
	EmbeddedEditor (const EmbeddedEditor&) = delete;
	EmbeddedEditor& operator= (const EmbeddedEditor&) = delete;

	IEditController& controller () const;
	// The editor's own window, a child of the parent (X11: its window ID; 0 elsewhere).
	uint32_t window () const;
	ViewRect size () const;
	// Serves the window's events and the editor's due timers without waiting; nothing before
	// attach.
	void idle ();
	// The factor, limited to 1..4, scales the editor (a non-finite one is ignored); a change
	// resizes the open window and asks the host for the new size. Without one the editor keeps
	// its own (the desktop's).
	void setScaleFactor (float factor);
	// The factor set last, as limited; null before any. Valid while the editor lives.
	const float* scaleFactor () const { return scale ? &*scale : nullptr; }

private:
	EmbeddedEditor () = default;

	IPtr<KT3ControllerWithUI> editController;
	IPtr<IComponentHandler> handler;
	IPtr<IPlugFrame> frame; // outlives the view, which holds it unreferenced
	IPtr<IPlugView> view;
	VSTGUI::VST3Editor* editor {nullptr};
	bool attached {false};
	std::optional<float> scale;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
