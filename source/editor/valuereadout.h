// ValueReadout: a knob's value, shown where the knob's letter stands while the pointer rests on
// the knob or a drag or wheel turn edits it, and for a second after; then the letter returns.
// The text is the parameter's own, as hosts print it, with its unit ("7.00 m"), drawn in the
// panel's lettering over the panel without the letter.
#pragma once

#include "readoutfont.h"

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/ccontrol.h"
#include "vstgui/lib/cvstguitimer.h"

#include <memory>
#include <string>

namespace VSTGUI {
class VST3Editor;
}

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ValueReadout : public VSTGUI::CView, public VSTGUI::IMouseObserver
{
public:
	// While shown, the text follows the parameter at this interval.
	static constexpr uint32_t kRefreshInterval = 50;
	static constexpr uint32_t kHoldTime = 1000;

	// UI thread, as every method. Adds a readout under each knob of the open editor whose tag
	// is one of the controller's parameters; none when the readout's bitmaps are missing.
	static void addToKnobs (VSTGUI::VST3Editor& editor, EditController& controller);

	ValueReadout (VSTGUI::CControl& knob, Parameter& parameter, VSTGUI::CBitmapPtr plainPanel,
	              std::shared_ptr<const ReadoutFont> font);
	~ValueReadout () override;

	bool isShowing () const { return showing; }
	// The value's text while shown.
	const std::string& getText () const { return text; }

	void draw (VSTGUI::CDrawContext& context) override;
	void attached (VSTGUI::CViewContainer* parent) override;
	void removed () override;

	void onMouseMoved (VSTGUI::CFrame* frame, const VSTGUI::CPoint& where) override;
	void onMouseExited (VSTGUI::CFrame* frame) override;

private:
	// Shows or hides the readout and refreshes its text; a timer tick counts towards the hold.
	void update (bool tick);
	std::string valueText () const;

	VSTGUI::CControl* knob;
	IPtr<Parameter> parameter;
	VSTGUI::CBitmapPtr plainPanel;
	std::shared_ptr<const ReadoutFont> font;
	VSTGUI::CVSTGUITimer timer;
	VSTGUI::CFrame* observed {nullptr};
	bool pointerOnKnob {false};
	bool showing {false};
	uint32_t idleTime {0};
	std::string text;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
