// The built module's editor in a real X11 window, as a Linux host shows it: embedded in the
// host's window and served by the host's run loop, at the scale factor the host sets (else the
// desktop's Xft.dpi over 96), it shows what the offscreen render shows at that factor and a
// pointer drag on the Size knob edits Size as the same drag in the editor's own coordinates
// does at factor 1.
#include "offscreeneditor.h"
#include "plugframe.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "privatedisplay.h"
#include "x11parentwindow.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <cmath>
#include <ostream>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Kind = kt3host::EditHandler::Kind;

// The factor the host sets (none: 0), the desktop's resources, the factor shown and how often
// the view asked the host to resize (once a change: the desktop's factor at opening, then the
// host's).
struct Factors
{
	float host;
	const char* desktop;
	float shown;
	size_t resizes;
};

void PrintTo (const Factors& factors, std::ostream* out)
{
	*out << "host " << factors.host << (*factors.desktop ? " on a desktop of its own" : "") << ", shown "
	     << factors.shown;
}

class EditorWindow : public WithPrivateDisplay<::testing::TestWithParam<Factors>>
{
protected:
	void SetUp () override
	{
		WithPrivateDisplay<::testing::TestWithParam<Factors>>::SetUp ();
		parent.setDesktopResources (GetParam ().desktop);
		ASSERT_TRUE (module.loaded ()) << module.error ();
		ASSERT_TRUE (plugin.ready ()) << plugin.error ();
		ASSERT_TRUE (parent.isOpen ()) << parent.error ();
		view = owned (plugin.controller ()->createView (ViewType::kEditor));
		ASSERT_TRUE (view);
		ASSERT_EQ (view->setFrame (frame), kResultTrue);
		ASSERT_EQ (view->attached (reinterpret_cast<void*> (uintptr_t (parent.id ())), kPlatformTypeX11EmbedWindowID),
		           kResultTrue);
		// As hosts do: the factor right after attaching; the view asks to be resized if it changes.
		FUnknownPtr<IPlugViewContentScaleSupport> scaling (view);
		ASSERT_TRUE (scaling);
		if (GetParam ().host > 0.f)
		{
			ASSERT_EQ (scaling->setContentScaleFactor (GetParam ().host), kResultTrue);
		}
		// The editor maps its window itself, then paints on the next ticks.
		ASSERT_TRUE (frame->runUntil ([&] { return editorWindow () && parent.isMapped (editorWindow ()); }, 3000));
		frame->runFor (100);
	}
	void TearDown () override
	{
		if (view)
		{
			view->removed ();
			view->setFrame (nullptr);
		}
		parent.setDesktopResources ("");
	}

	float scale () const { return GetParam ().shown; }
	int pixels (double frameUnits) const { return static_cast<int> (std::lround (frameUnits * scale ())); }
	void movePointer (double x, double y) { parent.movePointer (pixels (x), pixels (y)); }

	uint32_t editorWindow ()
	{
		const std::vector<uint32_t> children = parent.children ();
		return children.size () == 1 ? children[0] : 0;
	}
	// Synthetic input is served by the editor only while the run loop runs.
	void settle () { frame->runFor (40); }

	kt3host::X11ParentWindow parent {562, 464};
	kt3host::PluginModule module {KT3_BUNDLE_PATH};
	kt3host::PluginInstance plugin {module};
	IPtr<kt3host::PlugFrame> frame = owned (new kt3host::PlugFrame);
	IPtr<IPlugView> view;
};


INSTANTIATE_TEST_SUITE_P (Factors, EditorWindow,
                          ::testing::Values (Factors {1.f, "", 1.f, 0}, Factors {1.5f, "", 1.5f, 1},
                                             Factors {2.f, "", 2.f, 1},
                                             Factors {0.f, "Xft.antialias:\t1\nXft.dpi:\t144\n", 1.5f, 1},
                                             Factors {1.f, "Xft.dpi:\t192\n", 1.f, 2}),
                          [] (const ::testing::TestParamInfo<Factors>& info) {
	                          const auto tenths = [] (float f) { return std::to_string (std::lround (f * 10.f)); };
	                          return "Host" + tenths (info.param.host) + (*info.param.desktop ? "WithDesktop" : "") +
	                                 "Shows" + tenths (info.param.shown);
                          });

TEST_P (EditorWindow, ShowsExactlyTheOffscreenRender)
{
	const int width = pixels (281);
	const int height = pixels (232);
	ViewRect size;
	ASSERT_EQ (view->getSize (&size), kResultTrue);
	EXPECT_EQ (size.getWidth (), width);
	EXPECT_EQ (size.getHeight (), height);
	EXPECT_EQ (parent.size (editorWindow ()), std::make_pair (width, height));
	ASSERT_EQ (frame->resizeRequests.size (), GetParam ().resizes);
	if (GetParam ().resizes > 0)
	{
		EXPECT_EQ (std::make_pair (frame->resizeRequests.back ().getWidth (), frame->resizeRequests.back ().getHeight ()),
		           std::make_pair (width, height));
	}

	// The same editor drawn offscreen from the bundle's resources, at the module's values.
	OffscreenEditor offscreen (plugin.controller ()->getParamNormalized (0), plugin.controller ()->getParamNormalized (1),
	                           plugin.controller ()->getParamNormalized (2),
	                           std::string (KT3_BUNDLE_PATH) + "/Contents/Resources", scale ());
	ASSERT_NE (offscreen.frame, nullptr);
	const std::vector<uint32_t> shown = parent.capture (editorWindow (), width, height);
	ASSERT_EQ (shown.size (), offscreen.buffer.pixels.size ());
	int differing = 0;
	for (size_t i = 0; i < shown.size (); ++i)
		differing += shown[i] != (offscreen.buffer.pixels[i] & 0xffffff) ? 1 : 0;
	EXPECT_EQ (differing, 0);

	// Served by the host's run loop: the connection's descriptor and the editor's timers.
	EXPECT_EQ (frame->eventHandlerCount (), 1u);
	EXPECT_GE (frame->timerCount (), 2u);
	view->removed ();
	EXPECT_EQ (frame->eventHandlerCount (), 0u);
	EXPECT_EQ (frame->timerCount (), 0u);
	view = nullptr;
	EXPECT_TRUE (frame->runUntil ([&] { return parent.children ().empty (); }, 1000));
}

TEST_P (EditorWindow, PointerDragOnTheSizeKnobEditsSize)
{
	plugin.edits ().edits.clear ();
	// Top of the Size knob, then round to its left: a third of the travel.
	movePointer (58, 96);
	settle ();
	parent.pressButton (1);
	settle ();
	movePointer (50, 100);
	settle ();
	movePointer (38, 116);
	settle ();
	parent.releaseButton (1);
	settle ();

	const auto& edits = plugin.edits ().edits;
	ASSERT_GE (edits.size (), 3u);
	EXPECT_EQ (edits.front ().kind, Kind::Begin);
	EXPECT_EQ (edits.back ().kind, Kind::End);
	for (const auto& edit : edits)
		EXPECT_EQ (edit.id, 0u);
	EXPECT_EQ (edits[edits.size () - 2].kind, Kind::Perform);
	EXPECT_NEAR (edits[edits.size () - 2].value, 1. / 6., 1e-6);
	EXPECT_NEAR (plugin.controller ()->getParamNormalized (0), 1. / 6., 1e-6);
}
