// The editor as a host opens it, but drawn into a buffer instead of a window: the registered
// controller with the resources from the source tree, a component handler recording edits,
// and a run loop whose clock the test moves; at scale factor 1 unless asked.
#pragma once

#include "edithandler.h"
#include "hostedcontroller.h"
#include "kt3controllerwithui.h"

#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/cknob.h"
#include "vstgui/lib/controls/csplashscreen.h"
#include "vstgui/lib/platform/linux/idlerunloop.h"
#include "vstgui/lib/platform/linux/resourcefolder.h"

#include <gtest/gtest.h>

struct OffscreenEditor
{
	static constexpr int kWidth = 281;
	static constexpr int kHeight = 232;

	explicit OffscreenEditor (double size = 0.7, double hfDamp = 0.7, double mix = 0.9,
	                          const std::string& resources = KT3_RESOURCES_DIR, float scale = 1.f)
	{
		VSTGUI::setResourceFolder (resources);
		controller.edit->setComponentHandler (handler);
		controller.edit->setParamNormalized (0, size);
		controller.edit->setParamNormalized (1, hfDamp);
		controller.edit->setParamNormalized (2, mix);
		view = Steinberg::owned (controller.edit->createView (Steinberg::Vst::ViewType::kEditor));
		editor = dynamic_cast<VSTGUI::VST3Editor*> (view.get ());
		if (editor)
			editor->setContentScaleFactor (scale);
		if (editor && editor->openOffscreen (&runLoop))
		{
			frame = editor->getFrame ();
			buffer = VSTGUI::CPixelBuffer (static_cast<int> (frame->getPixelSize ().x),
			                               static_cast<int> (frame->getPixelSize ().y));
		}
		render ();
	}
	~OffscreenEditor ()
	{
		if (editor)
			editor->close ();
	}

	// Paints what changed since the last call; returns the painted rectangles.
	std::vector<VSTGUI::CRect> render ()
	{
		VSTGUI::CDrawContext context (buffer, frame ? frame->getScaleFactor () : 1.);
		return frame ? frame->drawDirtyRects (context) : std::vector<VSTGUI::CRect> ();
	}
	uint32_t pixel (int x, int y) const { return buffer.at (x, y); }

	// Moves the clock in 4 ms steps, serving due timers at each.
	void advance (uint64_t ms)
	{
		for (uint64_t end = now + ms; now < end;)
		{
			now = std::min (end, now + 4);
			runLoop.idle ();
		}
	}

	void press (double x, double y, int32_t buttons = VSTGUI::kLButton)
	{
		VSTGUI::CPoint p (x, y);
		frame->onMouseDown (p, buttons);
	}
	void move (double x, double y, int32_t buttons = VSTGUI::kLButton)
	{
		VSTGUI::CPoint p (x, y);
		frame->onMouseMoved (p, buttons);
	}
	void release (double x, double y, int32_t buttons = VSTGUI::kLButton)
	{
		VSTGUI::CPoint p (x, y);
		frame->onMouseUp (p, buttons);
	}
	void click (double x, double y, int32_t buttons = VSTGUI::kLButton)
	{
		press (x, y, buttons);
		release (x, y, buttons);
	}
	void wheel (double x, double y, float notches, int32_t modifiers = 0)
	{
		frame->onWheel (VSTGUI::CPoint (x, y), notches, modifiers);
	}

	// The template's children in document order.
	VSTGUI::CViewContainer* panel () const
	{
		return dynamic_cast<VSTGUI::CViewContainer*> (frame->getView (0));
	}
	VSTGUI::CAnimKnob* knob (size_t index) const { return dynamic_cast<VSTGUI::CAnimKnob*> (panel ()->getView (index)); }
	VSTGUI::CAnimationSplashScreen* credits () const
	{
		return dynamic_cast<VSTGUI::CAnimationSplashScreen*> (panel ()->getView (3));
	}
	double param (Steinberg::Vst::ParamID id) { return controller.edit->getParamNormalized (id); }

	HostedController<Steinberg::Vst::Orvix::KT3ControllerWithUI> controller;
	Steinberg::IPtr<kt3host::EditHandler> handler = Steinberg::owned (new kt3host::EditHandler);
	uint64_t now {0};
	VSTGUI::IdleRunLoop runLoop {[this] () { return now; }};
	Steinberg::IPtr<Steinberg::IPlugView> view;
	VSTGUI::VST3Editor* editor {nullptr};
	VSTGUI::CFrame* frame {nullptr};
	VSTGUI::CPixelBuffer buffer {kWidth, kHeight};
};

// Knob centres (Size, HF Damp, Mix) and the credits area, in editor coordinates.
constexpr double kSizeX = 58, kSizeY = 116;
constexpr double kMixX = 220, kMixY = 114;
constexpr double kCreditsX = 220, kCreditsY = 48;
