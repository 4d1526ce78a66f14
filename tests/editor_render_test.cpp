// The editor drawn offscreen: the knob frames the values select, the invisible credits area,
// the credits fade, and repainting only what changed.
#include "offscreeneditor.h"

#include <cmath>

using namespace VSTGUI;

namespace {

CBitmapPtr load (const char* name)
{
	return CBitmap::loadPNG (std::string (KT3_RESOURCES_DIR) + "/" + name);
}

// Source-over of premultiplied pixels with the source scaled by opacity, in floating point.
uint32_t over (uint32_t dst, uint32_t src, double opacity = 1.)
{
	const double srcAlpha = (src >> 24) / 255. * opacity;
	uint32_t out = 0;
	for (int shift = 0; shift < 32; shift += 8)
	{
		const double s = ((src >> shift) & 0xff) * opacity;
		const double d = ((dst >> shift) & 0xff) * (1. - srcAlpha);
		out |= static_cast<uint32_t> (std::min (255., std::round (s + d))) << shift;
	}
	return out;
}

bool near (uint32_t a, uint32_t b, int tolerance = 1)
{
	for (int shift = 0; shift < 32; shift += 8)
		if (std::abs (int ((a >> shift) & 0xff) - int ((b >> shift) & 0xff)) > tolerance)
			return false;
	return true;
}

// Counts the pixels of a rectangle of the render that differ from the expected picture.
template <typename Expected>
int mismatches (const OffscreenEditor& e, const CRect& r, Expected expected)
{
	int count = 0;
	for (int y = int (r.top); y < int (r.bottom); ++y)
		for (int x = int (r.left); x < int (r.right); ++x)
			count += near (e.pixel (x, y), expected (x, y)) ? 0 : 1;
	return count;
}

const CRect kWholeEditor (0, 0, 281, 232);
const CRect kKnobRects[] = {CRect (26, 84, 90, 148), CRect (106, 84, 170, 148), CRect (188, 82, 252, 146)};
const CRect kSplashRect (25, 16, 255, 216);

} // namespace

TEST (EditorRender, KnobsShowTheFramesTheirValuesSelect)
{
	CBitmapPtr panel = load ("kt3.png");
	CBitmapPtr strip = load ("knob_kt3.png");
	ASSERT_TRUE (panel && strip);
	const std::pair<double, int> cases[] = {{0., 0}, {0.5, 50}, {1., 100}, {0.005, 0}, {0.999, 99}};
	for (const auto& [value, frame] : cases)
	{
		SCOPED_TRACE (value);
		OffscreenEditor e (value, value, value);
		ASSERT_NE (e.frame, nullptr);
		for (int k = 0; k < 3; ++k)
		{
			EXPECT_EQ (e.knob (k)->getFrameIndex (), frame);
			const CRect& r = kKnobRects[k];
			EXPECT_EQ (mismatches (e, r, [&, frame = frame] (int x, int y) {
				return over (panel->getPixel (x, y), strip->getPixel (x - int (r.left), frame * 64 + y - int (r.top)));
			}), 0);
		}
	}
}

TEST (EditorRender, CreditsAreaDrawsNothingUntilClicked)
{
	CBitmapPtr panel = load ("kt3.png");
	CBitmapPtr credits = load ("about_kt3.png");
	OffscreenEditor e;
	auto background = [&] (int x, int y) { return panel->getPixel (x, y); };
	// Above the knobs the editor is exactly the panel: the click area draws nothing.
	const CRect aboveKnobs (0, 0, 281, 82);
	EXPECT_EQ (mismatches (e, aboveKnobs, background), 0);

	e.click (kCreditsX, kCreditsY);
	e.render ();
	EXPECT_EQ (mismatches (e, aboveKnobs, background), 0) << "the fade starts at zero opacity";

	auto faded = [&] (double opacity) {
		return [&, opacity] (int x, int y) {
			uint32_t below = e.pixel (x, y);
			if (!kSplashRect.pointInside (CPoint (x, y)))
				return below;
			return over (panel->getPixel (x, y), credits->getPixel (x - 25, y - 16), opacity);
		};
	};
	// Opacity grows with the square of the time since the first 16 ms tick: at 250 ms about
	// (234 / 500)^2. The picture covers no knob at the top.
	e.advance (250);
	e.render ();
	EXPECT_GT (e.credits ()->getModalView ()->getAlphaValue (), 0.15f);
	EXPECT_LT (e.credits ()->getModalView ()->getAlphaValue (), 0.25f);
	EXPECT_EQ (mismatches (e, CRect (25, 16, 255, 80), faded (e.credits ()->getModalView ()->getAlphaValue ())), 0);
	e.advance (300);
	e.render ();
	EXPECT_EQ (e.credits ()->getModalView ()->getAlphaValue (), 1.f);
	EXPECT_EQ (mismatches (e, CRect (25, 16, 255, 80), faded (1.)), 0);

	// A click fades it out again; afterwards the panel is back as it was.
	e.click (100, 200);
	e.advance (540);
	e.render ();
	EXPECT_FALSE (e.credits ()->isSplashShown ());
	EXPECT_EQ (mismatches (e, aboveKnobs, background), 0);
}

TEST (EditorRender, OnlyWhatChangedIsRepainted)
{
	OffscreenEditor e;
	EXPECT_TRUE (e.render ().empty ());
	e.controller.edit->setParamNormalized (2, 0.25);
	const std::vector<CRect> painted = e.render ();
	ASSERT_EQ (painted.size (), 1u);
	EXPECT_EQ (painted[0], kKnobRects[2]);
	EXPECT_EQ (e.knob (2)->getFrameIndex (), 25);
	// The same value again changes nothing.
	e.controller.edit->setParamNormalized (2, 0.25);
	EXPECT_TRUE (e.render ().empty ());
}
