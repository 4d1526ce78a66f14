// The registered controller's editor side: which views and templates it makes, which
// sub-controllers it hands out, the inter-app audio commands, and the view's size contract.
#include "offscreeneditor.h"
#include "scratchresources.h"
#include "interappaudiocontrolscontroller.h"
#include "kt3ids.h"

#include "pluginterfaces/vst/ivstinterappaudio.h"

#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Orvix::InterAppAudioControlsController;
using Orvix::KT3ControllerWithUI;

namespace {

class TestPresetManager : public FObject, public IInterAppAudioPresetManager
{
public:
	int loads {0};
	int saves {0};
	tresult PLUGIN_API runLoadPresetBrowser () override { return ++loads, kResultTrue; }
	tresult PLUGIN_API runSavePresetBrowser () override { return ++saves, kResultTrue; }
	tresult PLUGIN_API loadNextPreset () override { return kResultTrue; }
	tresult PLUGIN_API loadPreviousPreset () override { return kResultTrue; }

	OBJ_METHODS (TestPresetManager, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (IInterAppAudioPresetManager)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)
};

// A host context that offers inter-app audio, with a screen of the given width.
class InterAppHost : public FObject, public IInterAppAudioHost
{
public:
	int32 screenRight {0};
	tresult screenResult {kResultOk};
	int settingsShown {0};
	int managersMade {0};
	TUID managerClass {};
	IPtr<TestPresetManager> manager = owned (new TestPresetManager);
	bool makesManagers {true};

	tresult PLUGIN_API getScreenSize (ViewRect* size, float* scale) override
	{
		size->right = screenRight;
		*scale = 2.f;
		return screenResult;
	}
	tresult PLUGIN_API connectedToHost () override { return kResultFalse; }
	tresult PLUGIN_API switchToHost () override { return kResultFalse; }
	tresult PLUGIN_API sendRemoteControlEvent (uint32) override { return kResultFalse; }
	tresult PLUGIN_API getHostIcon (void**) override { return kNotImplemented; }
	tresult PLUGIN_API scheduleEventFromUI (Event&) override { return kResultFalse; }
	IInterAppAudioPresetManager* PLUGIN_API createPresetManager (const TUID& cid) override
	{
		++managersMade;
		std::copy (cid, cid + sizeof (TUID), managerClass);
		if (!makesManagers)
			return nullptr;
		manager->addRef ();
		return manager;
	}
	tresult PLUGIN_API showSettingsView () override { return ++settingsShown, kResultTrue; }

	OBJ_METHODS (InterAppHost, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (IInterAppAudioHost)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)
};

// A description with a template per screen, each of its own size, and one with a sub-controller.
struct TemplateResources : ScratchResources
{
	TemplateResources ()
	{
		writeDescription ("FX_KT3.uidesc",
		                  "<template name=\"Editor\" size=\"281, 232\"/>"
		                  "<template name=\"EditorIPad\" size=\"1024, 768\"/>"
		                  "<template name=\"EditorIPhone4Inch\" size=\"568, 320\"/>"
		                  "<template name=\"Commands\" size=\"100, 100\">"
		                  "<view sub-controller=\"InterAppAudioControlsController\" size=\"100, 100\">"
		                  "<view class=\"CAnimKnob\" control-tag=\"5000\" size=\"64, 64\"/></view></template>");
	}
};

struct IAAController
{
	explicit IAAController (InterAppHost* host) { controller->initialize (host->unknownCast ()); }
	~IAAController () { controller->terminate (); }

	// The width of the editor made for "editor", or -1 for no view.
	int32 editorWidth (FIDString name = ViewType::kEditor)
	{
		IPtr<IPlugView> view = owned (controller->createView (name));
		ViewRect size;
		return view && view->getSize (&size) == kResultTrue ? size.getWidth () : -1;
	}
	IPtr<KT3ControllerWithUI> controller = owned (new KT3ControllerWithUI);
};

std::unique_ptr<VSTGUI::CControl> commandControl (int32_t tag, float value)
{
	auto control = std::make_unique<VSTGUI::CControl> (VSTGUI::CRect (), nullptr, tag);
	control->setValue (value);
	return control;
}

} // namespace

TEST (EditorController, CreatesAnEditorForTheNameEditorOnly)
{
	HostedController<KT3ControllerWithUI> c;
	for (const char* name : {"Editor", "EDITOR", "editor2", "editorial", "", " editor"})
	{
		SCOPED_TRACE (name);
		EXPECT_EQ (c.edit->createView (name), nullptr);
	}
	EXPECT_EQ (c.edit->createView (nullptr), nullptr);

	VSTGUI::setResourceFolder (KT3_RESOURCES_DIR);
	IPtr<IPlugView> first = owned (c.edit->createView ("editor"));
	IPtr<IPlugView> second = owned (c.edit->createView ("editor"));
	ASSERT_TRUE (first && second);
	EXPECT_NE (first, second);
	ViewRect size;
	ASSERT_EQ (first->getSize (&size), kResultTrue);
	EXPECT_EQ (size.getWidth (), 281);
	EXPECT_EQ (size.getHeight (), 232);
}

TEST (EditorController, ScreenSizeOfAnInterAppAudioHostPicksTheTemplate)
{
	TemplateResources resources;
	const std::pair<int32, int32> cases[] = {
	    {1024, 1024}, {2048, 1024}, {1023, 281}, {568, 568}, {569, 281}, {567, 281}, {0, 281}, {-5000, 281}};
	for (const auto& [right, width] : cases)
	{
		SCOPED_TRACE (right);
		IPtr<InterAppHost> host = owned (new InterAppHost);
		host->screenRight = right;
		IAAController c (host);
		EXPECT_EQ (c.editorWidth (), width);
	}
	IPtr<InterAppHost> failing = owned (new InterAppHost);
	failing->screenRight = 2048;
	failing->screenResult = kResultFalse;
	IAAController c (failing);
	EXPECT_EQ (c.editorWidth (), 281);
	// The interface asked for is released again: only the test and the controller hold the host.
	EXPECT_EQ (failing->getRefCount (), 2u);
}

TEST (EditorController, HandsOutTheInterAppAudioControllerOnlyByItsExactName)
{
	IPtr<InterAppHost> host = owned (new InterAppHost);
	IAAController withHost (host);
	for (const char* name : {"FilterPadController", "FilterTypeController", "NoteController", "NoteController2",
	                         "interappaudiocontrolscontroller", "InterAppAudioControlsController ", ""})
	{
		SCOPED_TRACE (name);
		EXPECT_EQ (withHost.controller->createSubController (name, nullptr, nullptr), nullptr);
	}
	EXPECT_EQ (withHost.controller->createSubController (nullptr, nullptr, nullptr), nullptr);
	std::unique_ptr<VSTGUI::IController> made (
	    withHost.controller->createSubController ("InterAppAudioControlsController", nullptr, nullptr));
	EXPECT_NE (made, nullptr);
	// Borrowed: the sub-controller holds no reference of its own (the test and the controller do).
	EXPECT_EQ (host->getRefCount (), 2u);

	HostedController<KT3ControllerWithUI> desktop;
	EXPECT_EQ (desktop.object->createSubController ("InterAppAudioControlsController", nullptr, nullptr), nullptr);
}

TEST (EditorController, CommandTagsActOnPressOnly)
{
	IPtr<InterAppHost> host = owned (new InterAppHost);
	{
		InterAppAudioControlsController commands (host);
		commands.valueChanged (commandControl (5000, 0.f).get ());
		EXPECT_EQ (host->settingsShown, 0);
		commands.valueChanged (commandControl (5000, 0.5f).get ());
		commands.valueChanged (commandControl (5000, 1.f).get ());
		EXPECT_EQ (host->settingsShown, 2);

		commands.valueChanged (commandControl (5001, 1.f).get ());
		commands.valueChanged (commandControl (5001, 1.f).get ());
		commands.valueChanged (commandControl (5002, 1.f).get ());
		commands.valueChanged (commandControl (5003, 1.f).get ());
		EXPECT_EQ (host->managersMade, 1);
		EXPECT_EQ (host->manager->loads, 2);
		EXPECT_EQ (host->manager->saves, 1);
		EXPECT_EQ (FUID::fromTUID (host->managerClass), Orvix::kKT3ProcessorUID);
		EXPECT_EQ (host->manager->getRefCount (), 2u);
	}
	// Released with the sub-controller; the host itself is left alone.
	EXPECT_EQ (host->manager->getRefCount (), 1u);
	EXPECT_EQ (host->getRefCount (), 1u);
}

TEST (EditorController, WithoutAPresetManagerOnlyTheSettingsCommandWorks)
{
	IPtr<InterAppHost> host = owned (new InterAppHost);
	host->makesManagers = false;
	InterAppAudioControlsController commands (host);
	commands.valueChanged (commandControl (5001, 1.f).get ());
	commands.valueChanged (commandControl (5002, 1.f).get ());
	commands.valueChanged (commandControl (5000, 1.f).get ());
	EXPECT_EQ (host->manager->loads + host->manager->saves, 0);
	EXPECT_EQ (host->settingsShown, 1);
}

TEST (EditorController, SubControllerTakesTheControlsOfItsSubtree)
{
	TemplateResources resources;
	IPtr<InterAppHost> host = owned (new InterAppHost);
	IAAController c (host);
	VSTGUI::VST3Editor editor (c.controller, "Commands", "FX_KT3.uidesc");
	VSTGUI::IdleRunLoop runLoop;
	ASSERT_TRUE (editor.openOffscreen (&runLoop));
	auto* group = dynamic_cast<VSTGUI::CViewContainer*> (
	    dynamic_cast<VSTGUI::CViewContainer*> (editor.getFrame ()->getView (0))->getView (0));
	ASSERT_NE (group, nullptr);
	ASSERT_NE (group->getSubController (), nullptr);
	auto* button = dynamic_cast<VSTGUI::CControl*> (group->getView (0));
	ASSERT_NE (button, nullptr);
	EXPECT_EQ (button->getTag (), 5000);
	EXPECT_EQ (button->getListener (), group->getSubController ());
	// A drag that lifts the value from 0 acts once the value is not zero.
	VSTGUI::CPoint press (32, 12), up (32, 11);
	editor.getFrame ()->onMouseDown (press, VSTGUI::kLButton);
	editor.getFrame ()->onMouseMoved (up, VSTGUI::kLButton);
	editor.getFrame ()->onMouseUp (up, VSTGUI::kLButton);
	EXPECT_EQ (host->settingsShown, 1);
	editor.close ();
}

TEST (EditorController, ViewContractIsFixedSizeX11)
{
	OffscreenEditor e;
	EXPECT_EQ (e.view->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID), kResultTrue);
	EXPECT_EQ (e.view->isPlatformTypeSupported (kPlatformTypeHWND), kResultFalse);
	EXPECT_EQ (e.view->isPlatformTypeSupported (nullptr), kResultFalse);
	EXPECT_EQ (e.view->canResize (), kResultFalse);
	ViewRect wish (10, 20, 900, 30);
	EXPECT_EQ (e.view->checkSizeConstraint (&wish), kResultTrue);
	EXPECT_EQ (wish.left, 10);
	EXPECT_EQ (wish.top, 20);
	EXPECT_EQ (wish.right, 291);
	EXPECT_EQ (wish.bottom, 252);
	ViewRect other (0, 0, 400, 300);
	EXPECT_EQ (e.view->onSize (&other), kResultFalse);
	ViewRect moved (5, 5, 286, 237);
	EXPECT_EQ (e.view->onSize (&moved), kResultTrue);
	// Without a parent window there is nothing to attach to.
	EXPECT_EQ (e.view->attached (nullptr, kPlatformTypeX11EmbedWindowID), kResultFalse);
}

TEST (EditorController, HostRectanglesAtTheIntegerLimits)
{
	OffscreenEditor e;
	constexpr int32 kMin = std::numeric_limits<int32>::min ();
	constexpr int32 kMax = std::numeric_limits<int32>::max ();
	const std::pair<ViewRect, ViewRect> cases[] = {
	    {{kMin, 0, kMax, 100}, {kMin, 0, kMin + 281, 232}},
	    {{0, kMin, 100, kMax}, {0, kMin, 281, kMin + 232}},
	    // Kept where it is, the editor would run past the range: it is moved back just enough.
	    {{kMax, kMax, kMin, kMin}, {kMax - 281, kMax - 232, kMax, kMax}},
	    {{kMax - 100, 0, kMax, 232}, {kMax - 281, 0, kMax, 232}},
	};
	for (const auto& [wish, constrained] : cases)
	{
		SCOPED_TRACE (testing::Message () << wish.left << ", " << wish.top << ", " << wish.right << ", " << wish.bottom);
		ViewRect rect = wish;
		EXPECT_EQ (e.view->onSize (&rect), kResultFalse);
		ASSERT_EQ (e.view->checkSizeConstraint (&rect), kResultTrue);
		EXPECT_EQ (rect.left, constrained.left);
		EXPECT_EQ (rect.top, constrained.top);
		EXPECT_EQ (rect.right, constrained.right);
		EXPECT_EQ (rect.bottom, constrained.bottom);
		// What the editor proposes, it takes, and reports back.
		EXPECT_EQ (e.view->onSize (&rect), kResultTrue);
		ViewRect size;
		ASSERT_EQ (e.view->getSize (&size), kResultTrue);
		EXPECT_EQ (size.left, constrained.left);
		EXPECT_EQ (size.getWidth (), 281);
		EXPECT_EQ (size.getHeight (), 232);
	}
	EXPECT_EQ (e.view->checkSizeConstraint (nullptr), kInvalidArgument);
	EXPECT_EQ (e.view->onSize (nullptr), kResultFalse);
}
