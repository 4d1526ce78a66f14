// KT3.clap's editor as a CLAP host opens it, embedded in an X11 window on a private display:
// the first paint is the editor's offscreen render at the defaults; a drag on the Size knob
// reaches the host as gesture begin, values and gesture end through process, after the
// plug-in asked for a flush; a value from the host moves the knob; set_scale sizes the window
// and asks the host for it; only embedded X11 windows are offered; without the host's timers
// the editor runs from main-thread callbacks it asks for.
#include "claphostedplugin.h"
#include "kt3ids.h"
#include "offscreeneditor.h"
#include "privatedisplay.h"
#include "x11parentwindow.h"

#include "clap/ext/gui.h"
#include "clap/ext/params.h"

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

using namespace Steinberg::Vst::Orvix;
using kt3host::ClapHostedPlugin;

namespace {

class ClapEditorWindow : public WithPrivateDisplay<::testing::Test>
{
protected:
	void SetUp () override
	{
		WithPrivateDisplay<::testing::Test>::SetUp ();
		ASSERT_TRUE (plugin->ready ()) << module.error ();
		ASSERT_TRUE (parent.isOpen ()) << parent.error ();
		gui = plugin->extension<clap_plugin_gui_t> (CLAP_EXT_GUI);
		ASSERT_NE (gui, nullptr);
	}
	// Creates the editor, embeds it and serves it until its window is mapped and painted.
	uint32_t open (double scale = 0.0)
	{
		if (!gui->create (plugin->get (), CLAP_WINDOW_API_X11, false))
			return 0;
		if (scale != 0.0 && !gui->set_scale (plugin->get (), scale))
			return 0;
		const clap_window_t window {CLAP_WINDOW_API_X11, {.x11 = parent.id ()}};
		if (!gui->set_parent (plugin->get (), &window) || !gui->show (plugin->get ()))
			return 0;
		const std::vector<uint32_t> children = parent.children ();
		if (children.size () != 1)
			return 0;
		for (int i = 0; i < 150 && !parent.isMapped (children[0]); ++i)
			runFor (20);
		runFor (100);
		return children[0];
	}
	void runFor (int ms)
	{
		const auto end = std::chrono::steady_clock::now () + std::chrono::milliseconds (ms);
		while (std::chrono::steady_clock::now () < end)
		{
			plugin->runTimers ();
			std::this_thread::sleep_for (std::chrono::milliseconds (2));
		}
	}

	kt3host::ClapModule module {KT3_CLAP_PATH};
	std::unique_ptr<ClapHostedPlugin> plugin = std::make_unique<ClapHostedPlugin> (module, kClapPluginId);
	kt3host::X11ParentWindow parent {281, 232};
	const clap_plugin_gui_t* gui = nullptr;
};

TEST_F (ClapEditorWindow, OffersOnlyAnEmbeddedX11WindowOfOneSize)
{
	EXPECT_FALSE (gui->create (plugin->get (), CLAP_WINDOW_API_X11, true));
	EXPECT_FALSE (gui->create (plugin->get (), CLAP_WINDOW_API_WIN32, false));
	EXPECT_FALSE (gui->create (plugin->get (), nullptr, false));
	ASSERT_TRUE (gui->create (plugin->get (), CLAP_WINDOW_API_X11, false));
	EXPECT_FALSE (gui->create (plugin->get (), CLAP_WINDOW_API_X11, false)) << "one editor at a time";
	const clap_window_t wrong {CLAP_WINDOW_API_WIN32, {.x11 = parent.id ()}};
	EXPECT_FALSE (gui->set_parent (plugin->get (), &wrong));
	EXPECT_FALSE (gui->set_parent (plugin->get (), nullptr));
	uint32_t width = 0, height = 0;
	ASSERT_TRUE (gui->get_size (plugin->get (), &width, &height));
	EXPECT_EQ (std::make_pair (width, height), std::make_pair (281u, 232u));
	EXPECT_FALSE (gui->set_size (plugin->get (), 300, 232));
	gui->destroy (plugin->get ());
	EXPECT_TRUE (parent.children ().empty ());
}

TEST_F (ClapEditorWindow, FirstPaintIsTheOffscreenRenderAndHostValuesMoveTheKnob)
{
	const uint32_t window = open ();
	ASSERT_NE (window, 0u);
	OffscreenEditor offscreen (0.7, 0.7, 0.9, std::string (KT3_CLAP_RESOURCES));
	ASSERT_NE (offscreen.frame, nullptr);
	const std::vector<uint32_t> pixels = parent.capture (window, 281, 232);
	ASSERT_EQ (pixels.size (), offscreen.buffer.pixels.size ());
	int differing = 0;
	for (size_t i = 0; i < pixels.size (); ++i)
		differing += pixels[i] != (offscreen.buffer.pixels[i] & 0xffffff) ? 1 : 0;
	EXPECT_EQ (differing, 0);

	kt3host::ClapInputEvents events;
	events.addValue (kSizeId, 0.0);
	plugin->extension<clap_plugin_params_t> (CLAP_EXT_PARAMS)->flush (plugin->get (), events.list (), nullptr);
	runFor (100);
	EXPECT_NE (parent.capture (window, 281, 232), pixels);
	gui->destroy (plugin->get ());
}

TEST_F (ClapEditorWindow, DragOnTheSizeKnobReachesTheHostWithItsGesture)
{
	const uint32_t window = open ();
	ASSERT_NE (window, 0u);
	ASSERT_TRUE (plugin->activate (48000.0, 64));
	// Top of the Size knob, then round to its left: a third of the travel, Size 10/6 m.
	parent.movePointer (58, 96);
	runFor (40);
	parent.pressButton (1);
	runFor (40);
	parent.movePointer (50, 100);
	runFor (40);
	parent.movePointer (38, 116);
	runFor (40);
	parent.releaseButton (1);
	runFor (40);
	EXPECT_GT (plugin->flushRequests, 0);

	float silence[64] = {};
	float outLeft[64], outRight[64];
	float* in[] = {silence, silence};
	float* out[] = {outLeft, outRight};
	kt3host::ClapOutputEvents output;
	EXPECT_EQ (plugin->process (in, out, 64, kt3host::ClapInputEvents (), &output), CLAP_PROCESS_CONTINUE);
	const auto& events = output.events ();
	ASSERT_GE (events.size (), 3u);
	EXPECT_EQ (events.front ().type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
	EXPECT_EQ (events.back ().type, CLAP_EVENT_PARAM_GESTURE_END);
	for (size_t i = 1; i + 1 < events.size (); ++i)
	{
		EXPECT_EQ (events[i].type, CLAP_EVENT_PARAM_VALUE);
		EXPECT_EQ (events[i].id, kSizeId);
		if (i > 1)
		{
			EXPECT_LE (events[i].value, events[i - 1].value);
		}
	}
	EXPECT_NEAR (events[events.size () - 2].value, 10. / 6., 1e-6);
	double size = 0.0;
	plugin->extension<clap_plugin_params_t> (CLAP_EXT_PARAMS)->get_value (plugin->get (), kSizeId, &size);
	EXPECT_NEAR (size, 10. / 6., 1e-6);
	gui->destroy (plugin->get ());
}

// A factor before embedding sizes the window; one after resizes it and asks the host.
TEST_F (ClapEditorWindow, SetScaleSizesTheWindow)
{
	const uint32_t window = open (2.0);
	ASSERT_NE (window, 0u);
	uint32_t width = 0, height = 0;
	ASSERT_TRUE (gui->get_size (plugin->get (), &width, &height));
	EXPECT_EQ (std::make_pair (width, height), std::make_pair (562u, 464u));
	EXPECT_EQ (parent.size (window), std::make_pair (562, 464));
	EXPECT_FALSE (gui->set_scale (plugin->get (), std::nan ("")));
	EXPECT_FALSE (gui->set_scale (plugin->get (), 0.5));
	EXPECT_TRUE (gui->set_scale (plugin->get (), 1.5));
	EXPECT_EQ (std::make_pair (plugin->requestedWidth, plugin->requestedHeight), std::make_pair (422u, 348u));
	for (int i = 0; i < 50 && parent.size (window) != std::make_pair (422, 348); ++i)
		runFor (20);
	EXPECT_EQ (parent.size (window), std::make_pair (422, 348));
	gui->destroy (plugin->get ());
}

// Without the host's timers the editor asks for main-thread callbacks, and runs from them.
TEST_F (ClapEditorWindow, WithoutHostTimersRunsFromCallbacks)
{
	plugin->offerTimers = false;
	ASSERT_TRUE (gui->create (plugin->get (), CLAP_WINDOW_API_X11, false));
	const clap_window_t window {CLAP_WINDOW_API_X11, {.x11 = parent.id ()}};
	ASSERT_TRUE (gui->set_parent (plugin->get (), &window));
	EXPECT_TRUE (plugin->timers.empty ());
	const std::vector<uint32_t> children = parent.children ();
	ASSERT_EQ (children.size (), 1u);
	for (int i = 0; i < 200 && !parent.isMapped (children[0]); ++i)
	{
		std::this_thread::sleep_for (std::chrono::milliseconds (10));
		if (plugin->callbackRequests.exchange (0) > 0)
			plugin->get ()->on_main_thread (plugin->get ());
	}
	EXPECT_TRUE (parent.isMapped (children[0]));
	gui->destroy (plugin->get ());
	EXPECT_TRUE (parent.children ().empty ());
}

} // namespace
