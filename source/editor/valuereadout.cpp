#include "valuereadout.h"
#include "parametertext.h"

#include "vstgui/lib/controls/cknob.h"
#include "vstgui/lib/cviewcontainer.h"
#include "vstgui/plugin-bindings/vst3editor.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

using namespace PanelArtwork;
using VSTGUI::CPoint;
using VSTGUI::CRect;

namespace {

// The knob's letter area, in the knob's parent's coordinates.
CRect letterArea (const VSTGUI::CControl& knob)
{
	const double centre = (knob.getViewSize ().left + knob.getViewSize ().right) / 2.;
	return CRect (centre - kReadoutWidth / 2., kReadoutTop, centre + kReadoutWidth / 2., kReadoutTop + kReadoutHeight);
}

} // namespace

void ValueReadout::addToKnobs (VSTGUI::VST3Editor& editor, EditController& controller)
{
	VSTGUI::CFrame* frame = editor.getFrame ();
	const VSTGUI::UIDescription* description = editor.getUIDescription ();
	auto* panel = frame ? dynamic_cast<VSTGUI::CViewContainer*> (frame->getView (0)) : nullptr;
	if (!panel || !description)
		return;
	VSTGUI::CBitmapPtr plainPanel = description->loadBitmapFile ("kt3_plain.png");
	std::shared_ptr<const ReadoutFont> font = ReadoutFont::fromBitmap (description->loadBitmapFile ("readout_kt3.png"));
	if (!plainPanel || !font)
		return;
	// Collected first: adding views while walking them would move the walk.
	std::vector<std::pair<VSTGUI::CControl*, Parameter*>> knobs;
	for (size_t i = 0; i < panel->getNbViews (); ++i)
		if (auto* knob = dynamic_cast<VSTGUI::CKnobBase*> (panel->getView (i)))
			if (Parameter* parameter = controller.getParameterObject (static_cast<ParamID> (knob->getTag ())))
				knobs.emplace_back (knob, parameter);
	for (const auto& [knob, parameter] : knobs)
		panel->addView (new ValueReadout (*knob, *parameter, plainPanel, font));
}

ValueReadout::ValueReadout (VSTGUI::CControl& knob, Parameter& parameter, VSTGUI::CBitmapPtr plainPanel,
                            std::shared_ptr<const ReadoutFont> font)
: CView (letterArea (knob)),
  knob (&knob),
  parameter (&parameter),
  plainPanel (std::move (plainPanel)),
  font (std::move (font)),
  timer ([this] (VSTGUI::CVSTGUITimer*) { update (true); }, kRefreshInterval)
{
	setMouseEnabled (false);
	setTransparency (true);
}

ValueReadout::~ValueReadout () = default;

void ValueReadout::attached (VSTGUI::CViewContainer* parent)
{
	CView::attached (parent);
	observed = getFrame ();
	if (observed)
		observed->registerMouseObserver (this);
}

void ValueReadout::removed ()
{
	timer.stop ();
	if (observed)
		observed->unregisterMouseObserver (this);
	observed = nullptr;
	knob = nullptr;
	CView::removed ();
}

// The knobs' parent is the frame's template, at the frame's origin: frame points are its points.
void ValueReadout::onMouseMoved (VSTGUI::CFrame* frame, const CPoint& where)
{
	pointerOnKnob = knob && !frame->getModalView () && knob->getMouseableArea ().pointInside (where);
	update (false);
}

void ValueReadout::onMouseExited (VSTGUI::CFrame*)
{
	pointerOnKnob = false;
	update (false);
}

void ValueReadout::update (bool tick)
{
	if (!knob)
		return;
	const bool active = pointerOnKnob || knob->isEditing ();
	bool show = showing;
	if (active)
	{
		show = true;
		idleTime = 0;
	}
	else if (tick && showing)
	{
		idleTime += kRefreshInterval;
		show = idleTime < kHoldTime;
	}
	const std::string shownText = show ? valueText () : std::string ();
	if (show == showing && shownText == text)
		return;
	showing = show;
	text = shownText;
	if (showing && !timer.isRunning () && observed)
		timer.start (observed->getRunLoop ());
	else if (!showing)
		timer.stop ();
	invalid ();
}

std::string ValueReadout::valueText () const
{
	return textWithUnits (*parameter, parameter->getNormalized ());
}

void ValueReadout::draw (VSTGUI::CDrawContext& context)
{
	if (!showing)
		return;
	const CRect& area = getViewSize ();
	context.drawBitmap (*plainPanel, area, area.getTopLeft ());
	const double left = area.left + (area.getWidth () - font->textWidth (text)) / 2.;
	font->draw (context, text, CPoint (left, area.top));
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
