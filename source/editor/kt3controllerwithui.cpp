#include "kt3controllerwithui.h"
#include "interappaudiocontrolscontroller.h"
#include "valuereadout.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/ivstinterappaudio.h"

#include <cstring>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

const char* const kDescriptionFile = "FX_KT3.uidesc";

// Inter-app audio screens: wide ones get the tablet template, 568 points the 4-inch phone one.
const char* templateForScreen (const ViewRect& screen)
{
	if (screen.right >= 1024)
		return "EditorIPad";
	if (screen.right == 568)
		return "EditorIPhone4Inch";
	return "Editor";
}

} // namespace

KT3ControllerWithUI::~KT3ControllerWithUI () = default;

IPlugView* PLUGIN_API KT3ControllerWithUI::createView (FIDString name)
{
	if (!name || std::strcmp (name, ViewType::kEditor) != 0)
		return nullptr;

	const char* templateName = "Editor";
	FUnknownPtr<IInterAppAudioHost> interAppAudioHost (hostContext);
	if (interAppAudioHost)
	{
		ViewRect screen;
		float scale = 1.f;
		if (interAppAudioHost->getScreenSize (&screen, &scale) == kResultOk)
			templateName = templateForScreen (screen);
	}
	return new VSTGUI::VST3Editor (this, templateName, kDescriptionFile);
}

void KT3ControllerWithUI::editorAttached (EditorView* editor)
{
	if (auto* view = dynamic_cast<VSTGUIEditor*> (editor))
		setEditorFrame (view->getPlugFrame ());
}

void KT3ControllerWithUI::editorRemoved (EditorView* /*editor*/)
{
	setEditorFrame (nullptr);
}

void KT3ControllerWithUI::didOpen (VSTGUI::VST3Editor* editor)
{
	ValueReadout::addToKnobs (*editor, *this);
}

VSTGUI::IController* KT3ControllerWithUI::createSubController (const char* name,
                                                               const VSTGUI::IUIDescription* /*description*/,
                                                               VSTGUI::VST3Editor* /*editor*/)
{
	// The names other effects' descriptions use (FilterPadController, FilterTypeController,
	// NoteController...) get no controller here, like every name but this one.
	if (!name || std::strcmp (name, "InterAppAudioControlsController") != 0)
		return nullptr;
	FUnknownPtr<IInterAppAudioHost> interAppAudioHost (hostContext);
	if (!interAppAudioHost)
		return nullptr;
	// The sub-controller borrows the host interface; the host context outlives the editor.
	return new InterAppAudioControlsController (interAppAudioHost);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
