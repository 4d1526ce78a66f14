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
	// Paints every invalidated rectangle into the context and returns them.
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
	VSTGUIEditorInterface* editor;
	IRunLoop* runLoop {nullptr};
	IPlatformFrameCallback* platform {nullptr};
	std::unique_ptr<Animation::Animator> animator;
	CView* modalView {nullptr};
	bool modalMouseDown {false};
	FocusDrawing focusDrawing;
	std::vector<CRect> dirtyRects;
};

} // namespace VSTGUI
