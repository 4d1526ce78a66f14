// Mouse gestures on the editor's view tree and what reaches the host: drags in the knob modes,
// wheel notches, the default-value click, host-side changes, the modal credits picture and the
// value readouts.
#include "offscreeneditor.h"
#include "valuereadout.h"

#include <limits>

using namespace VSTGUI;
using Kind = kt3host::EditHandler::Kind;

namespace {

struct KnobModeScope
{
	explicit KnobModeScope (OffscreenEditor& e, Steinberg::Vst::KnobMode mode) : e (e)
	{
		Steinberg::FUnknownPtr<Steinberg::Vst::IEditController2> edit2 (e.controller.edit);
		edit2->setKnobMode (mode);
	}
	~KnobModeScope ()
	{
		Steinberg::FUnknownPtr<Steinberg::Vst::IEditController2> edit2 (e.controller.edit);
		edit2->setKnobMode (Steinberg::Vst::kCircularMode);
	}
	OffscreenEditor& e;
};

std::vector<Kind> kinds (const kt3host::EditHandler& h)
{
	std::vector<Kind> out;
	for (const auto& edit : h.edits)
		out.push_back (edit.kind);
	return out;
}

double lastPerformed (const kt3host::EditHandler& h)
{
	for (auto it = h.edits.rbegin (); it != h.edits.rend (); ++it)
		if (it->kind == Kind::Perform)
			return it->value;
	return -1;
}

} // namespace

TEST (EditorGestures, CircularDragFollowsTheAngleWithOneEditPerGesture)
{
	OffscreenEditor e;
	e.press (kSizeX, kSizeY - 20);
	e.release (kSizeX, kSizeY - 20);
	// A click that does not move changes nothing but still opens and closes one edit.
	EXPECT_EQ (kinds (*e.handler), (std::vector<Kind> {Kind::Begin, Kind::End}));
	EXPECT_DOUBLE_EQ (e.param (0), 0.7);

	e.handler->edits.clear ();
	e.press (kSizeX, kSizeY - 20);
	e.move (kSizeX, kSizeY - 21);       // straight up: the middle of the travel
	e.move (kSizeX - 20, kSizeY);       // left: a third of the way
	e.release (kSizeX - 20, kSizeY);
	ASSERT_EQ (kinds (*e.handler), (std::vector<Kind> {Kind::Begin, Kind::Perform, Kind::Perform, Kind::End}));
	for (const auto& edit : e.handler->edits)
		EXPECT_EQ (edit.id, 0u);
	EXPECT_NEAR (e.handler->edits[1].value, 0.5, 1e-6);
	EXPECT_NEAR (e.handler->edits[2].value, 1. / 6., 1e-6);
	EXPECT_NEAR (e.param (0), 1. / 6., 1e-6);
}

TEST (EditorGestures, CircularDragDoesNotJumpAcrossTheBottom)
{
	OffscreenEditor e (0.5, 0.7, 0.9);
	e.press (kSizeX, kSizeY - 20);
	e.move (kSizeX + 20, kSizeY + 18); // lower right: near the top of the range
	const double high = e.param (0);
	EXPECT_GT (high, 0.95);
	e.move (kSizeX - 20, kSizeY + 18); // on to the lower left through the dead zone
	EXPECT_DOUBLE_EQ (e.param (0), 1.);
	e.release (kSizeX - 20, kSizeY + 18);
}

TEST (EditorGestures, RelativeCircularBehavesAsCircular)
{
	OffscreenEditor e;
	KnobModeScope mode (e, Steinberg::Vst::kRelativCircularMode);
	e.press (kSizeX, kSizeY - 20);
	e.move (kSizeX, kSizeY - 21);
	e.release (kSizeX, kSizeY - 21);
	EXPECT_NEAR (e.param (0), 0.5, 1e-6);
}

TEST (EditorGestures, LinearModeAndFineAdjustment)
{
	OffscreenEditor e (0.2, 0.7, 0.9);
	KnobModeScope mode (e, Steinberg::Vst::kLinearMode);
	// 200 pixels of travel (up plus right) cover the whole range.
	e.press (kSizeX, kSizeY);
	e.move (kSizeX, kSizeY - 50);
	EXPECT_NEAR (e.param (0), 0.45, 1e-6);
	e.move (kSizeX + 20, kSizeY - 50);
	EXPECT_NEAR (e.param (0), 0.55, 1e-6);
	// Shift slows it by the zoom factor; the move on which it changes still counts at the old
	// speed, so the value does not jump.
	e.move (kSizeX + 20, kSizeY - 80, kLButton | kShift);
	EXPECT_NEAR (e.param (0), 0.7, 1e-6);
	e.move (kSizeX + 20, kSizeY - 110, kLButton | kShift);
	EXPECT_NEAR (e.param (0), 0.7 + 30. / 300., 1e-6);
	e.move (kSizeX + 20, kSizeY - 200, kLButton);
	EXPECT_DOUBLE_EQ (e.param (0), 1.);
	e.release (kSizeX + 20, kSizeY - 200);
	EXPECT_EQ (e.handler->edits.front ().kind, Kind::Begin);
	EXPECT_EQ (e.handler->edits.back ().kind, Kind::End);

	// Alt swaps to circular for one gesture.
	e.press (kSizeX, kSizeY - 20, kLButton | kAlt);
	e.move (kSizeX, kSizeY - 21, kLButton | kAlt);
	e.release (kSizeX, kSizeY - 21, kLButton | kAlt);
	EXPECT_NEAR (e.param (0), 0.5, 1e-6);
}

TEST (EditorGestures, WheelNotchStepsATenthAndEndsTheEditLater)
{
	OffscreenEditor e (0.5, 0.7, 0.9);
	e.wheel (kSizeX, kSizeY, 1);
	EXPECT_NEAR (e.param (0), 0.6, 1e-6);
	e.wheel (kSizeX, kSizeY, -1, kShift);
	EXPECT_NEAR (e.param (0), 0.59, 1e-6);
	EXPECT_EQ (kinds (*e.handler), (std::vector<Kind> {Kind::Begin, Kind::Perform, Kind::Perform}));
	e.advance (400);
	EXPECT_EQ (e.handler->edits.size (), 3u);
	e.advance (150);
	ASSERT_EQ (e.handler->edits.size (), 4u);
	EXPECT_EQ (e.handler->edits.back ().kind, Kind::End);
	// Clamped at the ends; nothing changes, so nothing is performed.
	e.handler->edits.clear ();
	for (int i = 0; i < 6; ++i)
		e.wheel (kSizeX, kSizeY, 1);
	EXPECT_DOUBLE_EQ (e.param (0), 1.);
	e.wheel (kSizeX, kSizeY, 1);
	const std::vector<Kind> seen = kinds (*e.handler);
	EXPECT_EQ (std::count (seen.begin (), seen.end (), Kind::Perform), 5);
}

TEST (EditorGestures, ControlClickResetsToTheParameterDefault)
{
	OffscreenEditor e (0.1, 0.2, 0.3);
	e.press (kMixX, kMixY, kLButton | kControl);
	e.move (kMixX, kMixY - 40, kLButton | kControl);
	e.release (kMixX, kMixY - 40, kLButton | kControl);
	ASSERT_EQ (kinds (*e.handler), (std::vector<Kind> {Kind::Begin, Kind::Perform, Kind::End}));
	EXPECT_EQ (e.handler->edits[1].id, 2u);
	EXPECT_NEAR (lastPerformed (*e.handler), 0.9, 1e-6);

	// At the default already: nothing at all. Control with Shift is no reset.
	e.handler->edits.clear ();
	e.click (kMixX, kMixY, kLButton | kControl);
	EXPECT_TRUE (e.handler->edits.empty ());
	e.click (kSizeX, kSizeY, kLButton | kControl | kShift);
	EXPECT_NEAR (e.param (0), 0.1, 1e-6);
}

TEST (EditorGestures, OnlyTheLeftButtonEdits)
{
	OffscreenEditor e;
	e.press (kSizeX, kSizeY - 20, kRButton);
	e.move (kSizeX - 20, kSizeY, kRButton);
	e.release (kSizeX - 20, kSizeY, kRButton);
	e.press (kSizeX, kSizeY - 20, kLButton | kRButton);
	e.release (kSizeX, kSizeY - 20, kLButton | kRButton);
	EXPECT_TRUE (e.handler->edits.empty ());
}

TEST (EditorGestures, HostChangesMoveTheKnobs)
{
	OffscreenEditor e (0.5, 0.7, 0.9);
	EXPECT_EQ (e.knob (0)->getFrameIndex (), 50);
	e.controller.edit->setParamNormalized (0, 0.25);
	EXPECT_EQ (e.knob (0)->getFrameIndex (), 25);
	EXPECT_FALSE (e.render ().empty ());
	// The host is not told about its own change.
	EXPECT_TRUE (e.handler->edits.empty ());
	// A whole new state moves them too.
	e.controller.edit->setParamNormalized (1, 1.);
	EXPECT_EQ (e.knob (1)->getFrameIndex (), 100);
}

TEST (EditorGestures, CreditsAreModalWhileShown)
{
	OffscreenEditor e;
	e.click (kCreditsX, kCreditsY);
	EXPECT_TRUE (e.credits ()->isSplashShown ());
	e.advance (500);

	// A knob under the picture cannot be reached; the click closes the picture instead.
	e.press (kMixX, kMixY - 20);
	e.move (kMixX - 20, kMixY);
	e.release (kMixX - 20, kMixY);
	e.wheel (kSizeX, kSizeY, 1);
	EXPECT_TRUE (e.handler->edits.empty ());
	EXPECT_DOUBLE_EQ (e.param (2), 0.9);
	EXPECT_DOUBLE_EQ (e.param (0), 0.7);

	// Fading out: further clicks are swallowed, and the fade ends the session.
	e.advance (100);
	e.click (kCreditsX, kCreditsY);
	EXPECT_TRUE (e.credits ()->isSplashShown ());
	e.advance (450);
	EXPECT_FALSE (e.credits ()->isSplashShown ());

	// Knobs respond again.
	e.wheel (kSizeX, kSizeY, 1);
	EXPECT_NEAR (e.param (0), 0.8, 1e-6);
}

TEST (EditorGestures, ClickDuringFadeInFadesOutFromThere)
{
	OffscreenEditor e;
	e.click (kCreditsX, kCreditsY);
	e.advance (250);
	const float partial = e.credits ()->getModalView ()->getAlphaValue ();
	EXPECT_GT (partial, 0.1f);
	EXPECT_LT (partial, 0.5f);
	e.click (kCreditsX, kCreditsY);
	e.advance (20);
	EXPECT_LE (e.credits ()->getModalView ()->getAlphaValue (), partial);
	e.advance (540);
	EXPECT_FALSE (e.credits ()->isSplashShown ());
}

TEST (EditorGestures, ClosingTheEditorMidDragEndsTheEdit)
{
	OffscreenEditor e;
	e.press (kSizeX, kSizeY - 20);
	e.move (kSizeX - 20, kSizeY);
	e.editor->close ();
	EXPECT_EQ (kinds (*e.handler), (std::vector<Kind> {Kind::Begin, Kind::Perform, Kind::End}));
}

TEST (EditorGestures, KnobsWithHostileGeometryStayCalm)
{
	// A start angle of 1e30 radians once made the first press spin for ever taking off turns;
	// beyond the float range the knob keeps its value.
	CAnimKnob knob (CRect (0, 0, 64, 64), nullptr, 0, nullptr);
	knob.setValue (0.25f);
	knob.setStartAngle (1e30f);
	const float v = knob.valueFromPoint (CPoint (32, 0));
	EXPECT_TRUE (v >= 0.f && v <= 1.f) << v;
	knob.setStartAngle (std::numeric_limits<float>::infinity ());
	EXPECT_EQ (knob.valueFromPoint (CPoint (32, 0)), 0.25f);

	// Frame heights no bitmap can have show the first frame; a huge frame count is no overflow.
	knob.setNumSubPixmaps (101);
	for (double h : {0.5, 1e300, std::numeric_limits<double>::quiet_NaN ()})
	{
		knob.setHeightOfOneImage (h);
		EXPECT_EQ (knob.getFrameIndex (), 0) << h;
	}
	knob.setHeightOfOneImage (64);
	knob.setNumSubPixmaps (INT32_MAX);
	knob.setValue (1.f);
	EXPECT_EQ (knob.getFrameIndex (), INT32_MAX - 1);
}

TEST (EditorGestures, ValueReadoutsShowWhileHoveredOrEditedAndASecondAfter)
{
	using Steinberg::Vst::Orvix::ValueReadout;
	OffscreenEditor e;
	auto readout = [&] (size_t knob) { return dynamic_cast<ValueReadout*> (e.panel ()->getView (4 + knob)); };
	ASSERT_NE (readout (2), nullptr);
	// The pixels under Mix's readout.
	auto mixArea = [&] {
		std::vector<uint32_t> pixels;
		const CRect& r = readout (2)->getViewSize ();
		for (int y = static_cast<int> (r.top); y < r.bottom; ++y)
			for (int x = static_cast<int> (r.left); x < r.right; ++x)
				pixels.push_back (e.pixel (x, y));
		return pixels;
	};
	const std::vector<uint32_t> withLetter = mixArea ();

	e.move (kSizeX, kSizeY, 0);
	EXPECT_TRUE (readout (0)->isShowing ());
	EXPECT_EQ (readout (0)->getText (), "7.00 m");
	EXPECT_FALSE (readout (1)->isShowing ());

	// A drag keeps it up off the knob, with the parameter's own text as the value moves.
	e.press (kSizeX, kSizeY - 20);
	e.move (kSizeX - 20, kSizeY);
	e.move (kSizeX - 40, kSizeY + 60);
	e.advance (ValueReadout::kRefreshInterval);
	Steinberg::Vst::String128 text {};
	e.controller.edit->getParamStringByValue (0, e.param (0), text);
	EXPECT_EQ (readout (0)->getText (), std::string (text, text + 4) + " m");
	EXPECT_NE (readout (0)->getText (), "7.00 m");
	e.release (kSizeX - 40, kSizeY + 60);

	e.move (kMixX, kMixY, 0);
	EXPECT_EQ (readout (2)->getText (), "90.00 %");
	e.render ();
	EXPECT_NE (mixArea (), withLetter);
	e.move (140, 200, 0);
	e.advance (ValueReadout::kHoldTime - 100);
	EXPECT_TRUE (readout (0)->isShowing ());
	e.advance (200);
	EXPECT_FALSE (readout (0)->isShowing ());
	EXPECT_FALSE (readout (2)->isShowing ());
	e.render ();
	EXPECT_EQ (mixArea (), withLetter);
}
