// The built module's editor in a real X11 window, as a Linux host shows it: embedded in the
// host's window and served by the host's run loop, it shows what the offscreen render shows
// and a pointer drag on the Size knob edits Size.
#include "offscreeneditor.h"
#include "plugframe.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "privatedisplay.h"
#include "x11parentwindow.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using Kind = kt3host::EditHandler::Kind;

class EditorWindow : public WithPrivateDisplay<::testing::Test>
{
protected:
	void SetUp () override
	{
		WithPrivateDisplay<::testing::Test>::SetUp ();
		ASSERT_TRUE (module.loaded ()) << module.error ();
		ASSERT_TRUE (plugin.ready ()) << plugin.error ();
		ASSERT_TRUE (parent.isOpen ()) << parent.error ();
		view = owned (plugin.controller ()->createView (ViewType::kEditor));
		ASSERT_TRUE (view);
		ASSERT_EQ (view->setFrame (frame), kResultTrue);
		ASSERT_EQ (view->attached (reinterpret_cast<void*> (uintptr_t (parent.id ())), kPlatformTypeX11EmbedWindowID),
		           kResultTrue);
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
	}

	uint32_t editorWindow ()
	{
		const std::vector<uint32_t> children = parent.children ();
		return children.size () == 1 ? children[0] : 0;
	}
	// Synthetic input is served by the editor only while the run loop runs.
	void settle () { frame->runFor (40); }

	kt3host::X11ParentWindow parent {281, 232};
	kt3host::PluginModule module {KT3_BUNDLE_PATH};
	kt3host::PluginInstance plugin {module};
	IPtr<kt3host::PlugFrame> frame = owned (new kt3host::PlugFrame);
	IPtr<IPlugView> view;
};


TEST_F (EditorWindow, ShowsExactlyTheOffscreenRender)
{
	// The same editor drawn offscreen from the bundle's resources, at the module's values.
	OffscreenEditor offscreen (plugin.controller ()->getParamNormalized (0), plugin.controller ()->getParamNormalized (1),
	                           plugin.controller ()->getParamNormalized (2),
	                           std::string (KT3_BUNDLE_PATH) + "/Contents/Resources");
	ASSERT_NE (offscreen.frame, nullptr);
	const std::vector<uint32_t> shown = parent.capture (editorWindow (), 281, 232);
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

TEST_F (EditorWindow, PointerDragOnTheSizeKnobEditsSize)
{
	plugin.edits ().edits.clear ();
	// Top of the Size knob, then round to its left: a third of the travel.
	parent.movePointer (58, 96);
	settle ();
	parent.pressButton (1);
	settle ();
	parent.movePointer (50, 100);
	settle ();
	parent.movePointer (38, 116);
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
