// InterAppAudioControlsController: the sub-controller of inter-app audio command buttons.
// Tag 5000 opens the host's settings view, 5001 and 5002 its preset load and save browsers;
// only a value other than 0 (the press) acts.
#pragma once

#include "pluginterfaces/vst/ivstinterappaudio.h"
#include "vstgui/uidescription/icontroller.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class InterAppAudioControlsController : public VSTGUI::IController
{
public:
	enum CommandTag
	{
		kSettingsTag = 5000,
		kLoadPresetTag = 5001,
		kSavePresetTag = 5002,
	};

	// The host interface is borrowed: no reference is taken or released.
	explicit InterAppAudioControlsController (IInterAppAudioHost* host);
	~InterAppAudioControlsController () override;
	InterAppAudioControlsController (const InterAppAudioControlsController&) = delete;
	InterAppAudioControlsController& operator= (const InterAppAudioControlsController&) = delete;

	void valueChanged (VSTGUI::CControl* control) override;

private:
	// Made on first use, at most once; null if the host cannot make one.
	IInterAppAudioPresetManager* getPresetManager ();

	IInterAppAudioHost* host;
	IInterAppAudioPresetManager* presetManager {nullptr};
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
