// The editor view base for Linux: accepts "X11EmbedWindowID" parents, takes the host's run
// loop from the IPlugFrame (or, without one, runs its timers from idle calls) and leaves
// building the window content to the subclass.
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

	// Serves events and timers when the host offers no IRunLoop, e.g. from a VST 2 idle call.
	void idle ();

	int32_t getKnobMode () const override;

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
