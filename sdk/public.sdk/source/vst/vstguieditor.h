// The editor view base: accepts the platform's parent windows and gives the views a run loop
// for their timers, leaving building the window content to the subclass. Linux: "X11EmbedWindowID"
// parents, the host's run loop from the IPlugFrame (or, without one, timers run from idle
// calls). Windows: "HWND" parents, timers on a message window served by the host's message loop.
#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "vstgui/lib/cframe.h"

#include <memory>

namespace VSTGUI {
class IdleRunLoop;
}

namespace Steinberg {
namespace Vst {

class VSTGUIEditor : public EditorView, public VSTGUI::VSTGUIEditorInterface
{
public:
	VSTGUIEditor (EditController* controller, ViewRect* size = nullptr);
	~VSTGUIEditor () override;

	// Builds the content in the parent window; the run loop is available by then.
	virtual bool open (void* parent, FIDString platformType) = 0;
	virtual void close () = 0;

	// Serves events and timers when a Linux host offers no IRunLoop, e.g. from a VST 2 idle
	// call; does nothing on Windows, where the message loop serves them.
	void idle ();

	int32_t getKnobMode () const override;
	// The host's frame while attached.
	IPlugFrame* getPlugFrame () const { return plugFrame; }

	tresult PLUGIN_API isPlatformTypeSupported (FIDString type) override;
	tresult PLUGIN_API attached (void* parent, FIDString type) override;
	tresult PLUGIN_API removed () override;

protected:
	VSTGUI::IRunLoop* getRunLoop () const { return runLoop.get (); }

private:
	std::unique_ptr<VSTGUI::IRunLoop> runLoop;
	VSTGUI::IdleRunLoop* idleRunLoop {nullptr};
};

} // namespace Vst
} // namespace Steinberg
