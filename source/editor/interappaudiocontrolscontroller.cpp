#include "interappaudiocontrolscontroller.h"
#include "kt3ids.h"

#include "vstgui/lib/controls/ccontrol.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

InterAppAudioControlsController::InterAppAudioControlsController (IInterAppAudioHost* host) : host (host)
{
}

InterAppAudioControlsController::~InterAppAudioControlsController ()
{
	if (presetManager)
		presetManager->release ();
}

IInterAppAudioPresetManager* InterAppAudioControlsController::getPresetManager ()
{
	if (!presetManager && host)
	{
		TUID processorClass;
		kKT3ProcessorUID.toTUID (processorClass);
		presetManager = host->createPresetManager (processorClass);
	}
	return presetManager;
}

void InterAppAudioControlsController::valueChanged (VSTGUI::CControl* control)
{
	if (!control || control->getValue () == 0.f || !host)
		return;
	switch (control->getTag ())
	{
		case kSettingsTag: host->showSettingsView (); break;
		case kLoadPresetTag:
			if (IInterAppAudioPresetManager* manager = getPresetManager ())
				manager->runLoadPresetBrowser ();
			break;
		case kSavePresetTag:
			if (IInterAppAudioPresetManager* manager = getPresetManager ())
				manager->runSavePresetBrowser ();
			break;
		default: break;
	}
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
