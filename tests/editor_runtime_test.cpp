// The editor toolkit below this editor's description: run loops, compositing, event routing
// through containers, and binding controls to a plain SDK controller's parameters.
#include "plugframe.h"
#include "scratchresources.h"

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "vstgui/lib/controls/cknob.h"
#include "vstgui/lib/controls/csplashscreen.h"
#include "vstgui/lib/platform/linux/idlerunloop.h"
#include "vstgui/lib/platform/linux/runloopadapter.h"
#include "vstgui/plugin-bindings/vst3editor.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace VSTGUI;

namespace {

struct CountingTimer : ITimerHandler
{
	std::function<void ()> onFire;
	int fired {0};
	void onTimer () override
	{
		++fired;
		if (onFire)
			onFire ();
	}
};

struct CountingEvents : IEventHandler
{
	int fd {-1};
	int served {0};
	void onEvent () override
	{
		char c;
		served += static_cast<int> (read (fd, &c, 1));
	}
};

// A controller straight on the SDK's EditController: one automatable parameter, one read-only.
class BindingController : public Steinberg::Vst::EditController
{
public:
	Steinberg::tresult PLUGIN_API initialize (Steinberg::FUnknown* context) override
	{
		const Steinberg::tresult result = EditController::initialize (context);
		parameters.addParameter (STR16 ("Gain"), nullptr, 0, 0.25, Steinberg::Vst::ParameterInfo::kCanAutomate, 0);
		parameters.addParameter (STR16 ("Meter"), nullptr, 0, 0., Steinberg::Vst::ParameterInfo::kIsReadOnly, 1);
		return result;
	}
};

CView* child (CFrame* frame, size_t index)
{
	return dynamic_cast<CViewContainer*> (frame->getView (0))->getView (index);
}

} // namespace

TEST (EditorRuntime, IdleRunLoopServesDueTimersAndReadableDescriptors)
{
	uint64_t now = 0;
	IdleRunLoop loop ([&now] { return now; });
	CountingTimer fast, slow;
	loop.registerTimer (10, &fast);
	loop.registerTimer (100, &slow);
	// A callback that unregisters a timer due in the same pass keeps it from firing.
	fast.onFire = [&] { loop.unregisterTimer (&slow); };
	now = 9;
	loop.idle ();
	EXPECT_EQ (fast.fired, 0);
	now = 100;
	loop.idle ();
	EXPECT_EQ (fast.fired, 1);
	EXPECT_EQ (slow.fired, 0);
	EXPECT_EQ (loop.timerCount (), 1u);

	int fds[2];
	ASSERT_EQ (pipe (fds), 0);
	CountingEvents events;
	events.fd = fds[0];
	loop.registerEventHandler (fds[0], &events);
	loop.idle ();
	EXPECT_EQ (events.served, 0);
	ASSERT_EQ (write (fds[1], "x", 1), 1);
	loop.idle ();
	EXPECT_EQ (events.served, 1);
	loop.unregisterEventHandler (&events);
	close (fds[0]);
	close (fds[1]);
}

TEST (EditorRuntime, RunLoopAdapterRegistersWithTheHost)
{
	Steinberg::IPtr<kt3host::PlugFrame> host = Steinberg::owned (new kt3host::PlugFrame);
	CountingTimer timer;
	{
		RunLoopAdapter adapter (host);
		EXPECT_TRUE (adapter.registerTimer (5, &timer));
		EXPECT_EQ (host->timerCount (), 1u);
		host->runUntil ([&] { return timer.fired >= 2; }, 1000);
		EXPECT_GE (timer.fired, 2);
		EXPECT_TRUE (adapter.unregisterTimer (&timer));
		EXPECT_FALSE (adapter.unregisterTimer (&timer));
		EXPECT_EQ (host->timerCount (), 0u);
		adapter.registerTimer (5, &timer);
	}
	// What the views left registered is taken back when the adapter goes.
	EXPECT_EQ (host->timerCount (), 0u);
}

TEST (EditorRuntime, CompositingWithClipAndGlobalAlpha)
{
	EXPECT_EQ (blendPixel (0xff102030, 0xff405060, 255), 0xff405060u);
	EXPECT_EQ (blendPixel (0xff000000, 0x80808080, 255), 0xff808080u);
	EXPECT_EQ (blendPixel (0xff0000ff, 0xffff0000, 0), 0xff0000ffu);
	CPixelBuffer buffer (4, 4);
	CDrawContext context (buffer);
	context.setClipRect (CRect (1, 1, 3, 3));
	context.setGlobalAlpha (0.5f);
	context.fillRect (CRect (0, 0, 4, 4), CColor {255, 0, 0, 255});
	EXPECT_EQ (buffer.at (0, 0), 0u);
	EXPECT_EQ (buffer.at (3, 3), 0u);
	EXPECT_EQ (buffer.at (1, 1), 0x80800000u);
}

TEST (EditorRuntime, ContainerBackgroundRules)
{
	CFrame frame (CRect (0, 0, 4, 4), nullptr);
	auto* container = new CViewContainer (CRect (0, 0, 4, 4));
	frame.addView (container);
	container->setBackgroundColor (CColor {0, 0, 255, 255});
	CPixelBuffer buffer (4, 4);
	CDrawContext context (buffer);
	frame.drawDirtyRects (context);
	EXPECT_EQ (buffer.at (2, 2), 0xff0000ffu);
	// Transparent with an opaque colour: nothing; with a translucent colour it is drawn.
	container->setTransparency (true);
	container->invalid ();
	frame.drawDirtyRects (context);
	EXPECT_EQ (buffer.at (2, 2), 0u);
	container->setBackgroundColor (CColor {0, 0, 255, 128});
	frame.drawDirtyRects (context);
	EXPECT_EQ (buffer.at (2, 2), 0x80000080u);
}

TEST (EditorRuntime, SolidViewsHideWhatLiesBeneathFromTheMouse)
{
	ScratchResources r;
	r.writeDescription ("t.uidesc",
	                    "<template name=\"T\" size=\"100, 100\">"
	                    "<view class=\"CAnimKnob\" origin=\"0, 0\" size=\"50, 50\"/>"
	                    "<view origin=\"0, 0\" size=\"50, 50\" transparent=\"true\"/>"
	                    "<view class=\"CAnimKnob\" origin=\"50, 0\" size=\"50, 50\"/>"
	                    "<view origin=\"50, 0\" size=\"50, 50\"/>"
	                    "<view origin=\"0, 50\" size=\"100, 50\" mouse-enabled=\"false\">"
	                    "<view class=\"CAnimKnob\" origin=\"0, 0\" size=\"50, 50\"/></view>"
	                    "</template>");
	Steinberg::IPtr<BindingController> controller = Steinberg::owned (new BindingController);
	controller->initialize (nullptr);
	VST3Editor editor (controller, "T", "t.uidesc");
	IdleRunLoop loop;
	ASSERT_TRUE (editor.openOffscreen (&loop));
	CFrame* frame = editor.getFrame ();
	auto clickAndCheck = [&] (double x, double y, CView* knob) {
		CPoint p (x, y);
		frame->onMouseDown (p, kLButton);
		const bool editing = dynamic_cast<CControl*> (knob)->isEditing ();
		frame->onMouseUp (p, kLButton);
		return editing;
	};
	EXPECT_TRUE (clickAndCheck (25, 25, child (frame, 0))) << "through a transparent view";
	EXPECT_FALSE (clickAndCheck (75, 25, child (frame, 2))) << "not through a solid one";
	auto* disabled = dynamic_cast<CViewContainer*> (child (frame, 4));
	EXPECT_FALSE (clickAndCheck (25, 75, disabled->getView (0))) << "not inside a disabled container";
	editor.close ();
	controller->terminate ();
}

TEST (EditorRuntime, BindingTakesThePlainControllersParameters)
{
	ScratchResources r;
	r.writeDescription ("t.uidesc",
	                    "<template name=\"T\" size=\"200, 50\">"
	                    "<view class=\"CAnimKnob\" origin=\"0, 0\" size=\"50, 50\" control-tag=\"0\" default-value=\"0.9\" min-value=\"2\" max-value=\"9\"/>"
	                    "<view class=\"CAnimKnob\" origin=\"50, 0\" size=\"50, 50\" control-tag=\"1\"/>"
	                    "<view class=\"CAnimKnob\" origin=\"100, 0\" size=\"50, 50\" control-tag=\"77\"/>"
	                    "<view class=\"CAnimKnob\" origin=\"150, 0\" size=\"50, 50\" control-tag=\"77\" inverse-bitmap=\"true\"/>"
	                    "</template>");
	Steinberg::IPtr<BindingController> controller = Steinberg::owned (new BindingController);
	controller->initialize (nullptr);
	controller->setParamNormalized (0, 0.4);
	VST3Editor editor (controller, "T", "t.uidesc");
	IdleRunLoop loop;
	ASSERT_TRUE (editor.openOffscreen (&loop));
	CFrame* frame = editor.getFrame ();
	auto* gain = dynamic_cast<CAnimKnob*> (child (frame, 0));
	// The parameter decides range, default and value, whatever the file says.
	EXPECT_EQ (gain->getMin (), 0.f);
	EXPECT_EQ (gain->getMax (), 1.f);
	EXPECT_FLOAT_EQ (gain->getDefaultValue (), 0.25f);
	EXPECT_FLOAT_EQ (gain->getValue (), 0.4f);
	// A read-only parameter's control takes no mouse.
	EXPECT_FALSE (child (frame, 1)->getMouseEnabled ());

	// Without a parameter, controls of one tag follow each other.
	auto* a = dynamic_cast<CAnimKnob*> (child (frame, 2));
	auto* b = dynamic_cast<CAnimKnob*> (child (frame, 3));
	frame->onWheel (CPoint (125, 25), 1, 0);
	EXPECT_FLOAT_EQ (a->getValue (), 0.1f);
	EXPECT_FLOAT_EQ (b->getValue (), 0.1f);
	b->setHeightOfOneImage (1);
	b->setNumSubPixmaps (11);
	b->setValue (0.25f);
	EXPECT_EQ (b->getFrameIndex (), 7) << "inverse: counted from the end";
	editor.close ();
	controller->terminate ();
}

TEST (EditorRuntime, ControlClickOnTheCreditsAreaResetsInsteadOfOpening)
{
	CFrame frame (CRect (0, 0, 100, 100), nullptr);
	auto* splash = new CAnimationSplashScreen (CRect (0, 0, 50, 50), -1, nullptr, CRect (0, 0, 100, 100));
	frame.addView (splash);
	CPoint p (10, 10);
	frame.onMouseDown (p, kLButton | kControl);
	EXPECT_FALSE (splash->isSplashShown ());
	EXPECT_FLOAT_EQ (splash->getValue (), 0.5f);
	frame.onMouseDown (p, kRButton);
	EXPECT_FALSE (splash->isSplashShown ());
	frame.onMouseDown (p, kLButton);
	EXPECT_TRUE (splash->isSplashShown ());
	// Without a run loop there is no fade: the picture stays until the frame goes.
	frame.onMouseDown (p, kLButton);
	EXPECT_TRUE (splash->isSplashShown ());
}
