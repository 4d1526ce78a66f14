#include "vstguieditor.h"

#include "pluginterfaces/base/fstrdefs.h"

#if defined(_WIN32)
#include "vstgui/lib/platform/win32/win32runloop.h"
#else
#include "vstgui/lib/platform/linux/idlerunloop.h"
#include "vstgui/lib/platform/linux/runloopadapter.h"
#endif

namespace Steinberg {
namespace Vst {

namespace {

#if defined(_WIN32)

const FIDString kPlatformType = kPlatformTypeHWND;

// Null if its message window cannot be made.
std::unique_ptr<VSTGUI::IRunLoop> makeRunLoop (IPlugFrame*, VSTGUI::IdleRunLoop*& idleRunLoop)
{
	idleRunLoop = nullptr;
	auto loop = std::make_unique<VSTGUI::Win32RunLoop> ();
	if (!loop->isValid ())
		return nullptr;
	return loop;
}

void serveIdleCall (VSTGUI::IdleRunLoop*)
{
}

#else

const FIDString kPlatformType = kPlatformTypeX11EmbedWindowID;

// The host's run loop, or without one a loop served by idle calls.
std::unique_ptr<VSTGUI::IRunLoop> makeRunLoop (IPlugFrame* plugFrame, VSTGUI::IdleRunLoop*& idleRunLoop)
{
	idleRunLoop = nullptr;
	FUnknownPtr<Linux::IRunLoop> hostRunLoop (plugFrame);
	if (hostRunLoop)
		return std::make_unique<VSTGUI::RunLoopAdapter> (hostRunLoop);
	auto loop = std::make_unique<VSTGUI::IdleRunLoop> ();
	idleRunLoop = loop.get ();
	return loop;
}

void serveIdleCall (VSTGUI::IdleRunLoop* idleRunLoop)
{
	if (idleRunLoop)
		idleRunLoop->idle ();
}

#endif

} // namespace

VSTGUIEditor::VSTGUIEditor (EditController* controller, ViewRect* size) : EditorView (controller, size)
{
}

VSTGUIEditor::~VSTGUIEditor () = default;

// UI thread (a VST 2 host's effEditIdle).
void VSTGUIEditor::idle ()
{
	serveIdleCall (idleRunLoop);
}

int32_t VSTGUIEditor::getKnobMode () const
{
	return EditController::getHostKnobMode ();
}

// UI thread, as attached and removed.
tresult PLUGIN_API VSTGUIEditor::isPlatformTypeSupported (FIDString type)
{
	return type && FIDStringsEqual (type, kPlatformType) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::attached (void* parent, FIDString type)
{
	if (isAttached () || !parent || isPlatformTypeSupported (type) != kResultTrue)
		return kResultFalse;

	runLoop = makeRunLoop (plugFrame, idleRunLoop);
	if (!runLoop || !open (parent, type))
	{
		idleRunLoop = nullptr;
		runLoop.reset ();
		return kResultFalse;
	}
	return EditorView::attached (parent, type);
}

tresult PLUGIN_API VSTGUIEditor::removed ()
{
	if (!isAttached ())
		return kResultFalse;
	close ();
	idleRunLoop = nullptr;
	runLoop.reset ();
	return EditorView::removed ();
}

} // namespace Vst
} // namespace Steinberg
