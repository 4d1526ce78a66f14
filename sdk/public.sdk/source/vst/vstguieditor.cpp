#include "vstguieditor.h"

#include "pluginterfaces/base/fstrdefs.h"
#include "vstgui/lib/platform/linux/idlerunloop.h"
#include "vstgui/lib/platform/linux/runloopadapter.h"

namespace Steinberg {
namespace Vst {

VSTGUIEditor::VSTGUIEditor (EditController* controller, ViewRect* size) : EditorView (controller, size)
{
}

VSTGUIEditor::~VSTGUIEditor () = default;

void VSTGUIEditor::idle ()
{
	if (idleRunLoop)
		idleRunLoop->idle ();
}

int32_t VSTGUIEditor::getKnobMode () const
{
	return EditController::getHostKnobMode ();
}

tresult PLUGIN_API VSTGUIEditor::isPlatformTypeSupported (FIDString type)
{
	return type && FIDStringsEqual (type, kPlatformTypeX11EmbedWindowID) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::attached (void* parent, FIDString type)
{
	if (isAttached () || !parent || isPlatformTypeSupported (type) != kResultTrue)
		return kResultFalse;

	FUnknownPtr<Linux::IRunLoop> hostRunLoop (plugFrame);
	if (hostRunLoop)
		runLoop = std::make_unique<VSTGUI::RunLoopAdapter> (hostRunLoop);
	else
	{
		auto loop = std::make_unique<VSTGUI::IdleRunLoop> ();
		idleRunLoop = loop.get ();
		runLoop = std::move (loop);
	}
	if (!open (parent, type))
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
