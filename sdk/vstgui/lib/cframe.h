// The root of an open editor's view tree. It collects invalidated rectangles for whoever paints
// (a window or an offscreen buffer), routes mouse input (to the modal view alone while one is
// shown), owns the animator and hands the views the run loop for their timers.
#pragma once

#include "cviewcontainer.h"
#include "irunloop.h"

#include <memory>
#include <vector>

namespace VSTGUI {

namespace Animation { class Animator; }

enum CKnobMode
{
	kCircularMode = 0,
	kRelativCircularMode,
	kLinearMode,
};

// What the frame asks of the editor that owns it.
class VSTGUIEditorInterface
{
public:
	virtual ~VSTGUIEditorInterface () = default;
	// A CKnobMode, or -1 for the frame's default.
	virtual int32_t getKnobMode () const { return -1; }
	// The desktop's scale factor for the frame's window changed (the window moved to another
	// monitor, or the monitor's setting changed).
	virtual void desktopScaleChanged (double /*factor*/) {}
};

// Told of the pointer: at each move, press, release or wheel turn (before the views have it),
// and when it leaves the frame's window.
class IMouseObserver
{
public:
	virtual ~IMouseObserver () = default;
	virtual void onMouseMoved (CFrame* frame, const CPoint& where) = 0;
	virtual void onMouseExited (CFrame* frame) = 0;
};

// Told when the frame has something new to paint.
class IPlatformFrameCallback
{
public:
	virtual ~IPlatformFrameCallback () = default;
	virtual void onFrameInvalidated () = 0;
};

class CFrame : public CViewContainer
{
public:
	static constexpr CKnobMode kDefaultKnobMode = kCircularMode;

	CFrame (const CRect& size, VSTGUIEditorInterface* editor);
	~CFrame () override;

	CKnobMode getKnobMode () const;
	VSTGUIEditorInterface* getEditor () const { return editor; }

	// The factor the frame is shown at, 1 to 4: a frame unit is that many pixels. Changing it
	// invalidates the whole frame; non-finite factors are ignored.
	void setScaleFactor (double factor);
	double getScaleFactor () const { return scaleFactor; }
	// The frame's size in pixels at its factor: each side times the factor, rounded.
	CPoint getPixelSize () const;

	// Observers are not owned; each is told once per event.
	void registerMouseObserver (IMouseObserver* observer);
	void unregisterMouseObserver (IMouseObserver* observer);
	// The pointer left the frame's window.
	void onMouseExited ();

	void setRunLoop (IRunLoop* loop) { runLoop = loop; }
	IRunLoop* getRunLoop () const { return runLoop; }
	// A callback set while rectangles are pending is told about them at once.
	void setPlatformCallback (IPlatformFrameCallback* callback);
	// Created on first use.
	Animation::Animator* getAnimator ();
	bool hasAnimator () const { return animator != nullptr; }

	// The modal view is drawn above everything and receives all mouse input while set; the frame
	// does not own it. Setting one cancels a drag in progress.
	void setModalView (CView* view);
	CView* getModalView () const { return modalView; }

	// Focus outline settings; drawn only around a view that takes keyboard focus (none here).
	struct FocusDrawing
	{
		bool enabled {false};
		CColor color {100, 100, 255, 200};
		CCoord width {2.};
	};
	void setFocusDrawing (const FocusDrawing& settings) { focusDrawing = settings; }
	const FocusDrawing& getFocusDrawing () const { return focusDrawing; }

	bool hasDirtyRects () const { return !dirtyRects.empty (); }
	const std::vector<CRect>& getDirtyRects () const { return dirtyRects; }
	// Paints every invalidated rectangle, grown to whole pixels, into the context (drawn at the
	// frame's factor) and returns them.
	std::vector<CRect> drawDirtyRects (CDrawContext& context);
	void drawRect (CDrawContext& context, const CRect& updateRect) override;

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	bool onWheel (const CPoint& where, float distance, const CButtonState& buttons) override;

	CFrame* getFrame () const override { return const_cast<CFrame*> (this); }
	void invalidRect (const CRect& rect) override;
	void invalidChildRect (const CRect& rect) override { invalidRect (rect); }

private:
	void tellMouseObservers (const CPoint* where);

	VSTGUIEditorInterface* editor;
	double scaleFactor {1.};
	std::vector<IMouseObserver*> mouseObservers;
	IRunLoop* runLoop {nullptr};
	IPlatformFrameCallback* platform {nullptr};
	std::unique_ptr<Animation::Animator> animator;
	CView* modalView {nullptr};
	bool modalMouseDown {false};
	FocusDrawing focusDrawing;
	std::vector<CRect> dirtyRects;
};

} // namespace VSTGUI
