// KT3ControllerWithUI: the registered controller; the reverb's parameter set with the editor
// view "editor", built from the UI description, and the delegate that adds the value readouts
// and hands out the description's sub-controllers.
#pragma once

#include "reverbcontroller.h"

#include "vstgui/plugin-bindings/vst3editor.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class KT3ControllerWithUI : public ReverbController, public VSTGUI::VST3EditorDelegate
{
public:
	~KT3ControllerWithUI () override;

	//---IEditController: a new editor for the view type "editor" only
	IPlugView* PLUGIN_API createView (FIDString name) SMTG_OVERRIDE;
	// UI thread: an open editor's frame may offer the run loop that deferred restarts need.
	void editorAttached (EditorView* editor) override;
	void editorRemoved (EditorView* editor) override;

	//---VST3EditorDelegate, UI thread: the value readouts join the knobs as the editor opens;
	// "InterAppAudioControlsController", when the host offers inter-app audio
	void didOpen (VSTGUI::VST3Editor* editor) override;
	VSTGUI::IController* createSubController (const char* name, const VSTGUI::IUIDescription* description,
	                                          VSTGUI::VST3Editor* editor) override;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
