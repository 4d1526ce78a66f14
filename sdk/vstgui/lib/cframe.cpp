#include "cframe.h"
#include "animation/animator.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

CFrame::CFrame (const CRect& size, VSTGUIEditorInterface* editor)
: CViewContainer (size), editor (editor)
{
	setTransparency (true);
}

CFrame::~CFrame ()
{
	// Views stop their animations when they are removed; no tick runs in between.
	setModalView (nullptr);
	removeAll ();
	animator.reset ();
}

CKnobMode CFrame::getKnobMode () const
{
	const int32_t mode = editor ? editor->getKnobMode () : -1;
	if (mode < kCircularMode || mode > kLinearMode)
		return kDefaultKnobMode;
	return static_cast<CKnobMode> (mode);
}

void CFrame::setScaleFactor (double factor)
{
	if (!std::isfinite (factor))
		return;
	factor = std::clamp (factor, 1., 4.);
	if (factor == scaleFactor)
		return;
	scaleFactor = factor;
	invalid ();
}

CPoint CFrame::getPixelSize () const
{
	return CPoint (std::round (getViewSize ().getWidth () * scaleFactor),
	               std::round (getViewSize ().getHeight () * scaleFactor));
}

void CFrame::registerMouseObserver (IMouseObserver* observer)
{
	if (observer && std::find (mouseObservers.begin (), mouseObservers.end (), observer) == mouseObservers.end ())
		mouseObservers.push_back (observer);
}

void CFrame::unregisterMouseObserver (IMouseObserver* observer)
{
	mouseObservers.erase (std::remove (mouseObservers.begin (), mouseObservers.end (), observer), mouseObservers.end ());
}

// Before the views have the event: a view's edit may close the editor, frame and all.
void CFrame::tellMouseObservers (const CPoint* where)
{
	// A copy: an observer may unregister itself.
	const std::vector<IMouseObserver*> observers = mouseObservers;
	for (IMouseObserver* observer : observers)
		if (where)
			observer->onMouseMoved (this, *where);
		else
			observer->onMouseExited (this);
}

void CFrame::onMouseExited ()
{
	tellMouseObservers (nullptr);
}

void CFrame::setPlatformCallback (IPlatformFrameCallback* callback)
{
	platform = callback;
	if (platform && hasDirtyRects ())
		platform->onFrameInvalidated ();
}

Animation::Animator* CFrame::getAnimator ()
{
	if (!animator)
		animator = std::make_unique<Animation::Animator> (this);
	return animator.get ();
}

void CFrame::setModalView (CView* view)
{
	if (view == modalView)
		return;
	if (modalView)
	{
		modalView->invalid ();
		modalView->removed ();
	}
	modalView = view;
	modalMouseDown = false;
	if (modalView)
	{
		onMouseCancel ();
		modalView->attached (this);
	}
}

void CFrame::invalidRect (const CRect& rect)
{
	CRect r (rect);
	r.bound (getViewSize ());
	if (r.isEmpty ())
		return;
	for (const CRect& d : dirtyRects)
		if (d.contains (r))
			return;
	dirtyRects.erase (std::remove_if (dirtyRects.begin (), dirtyRects.end (),
	                                  [&] (const CRect& d) { return r.contains (d); }),
	                  dirtyRects.end ());
	dirtyRects.push_back (r);
	if (platform)
		platform->onFrameInvalidated ();
}

std::vector<CRect> CFrame::drawDirtyRects (CDrawContext& context)
{
	std::vector<CRect> rects;
	rects.swap (dirtyRects);
	for (CRect& r : rects)
	{
		r = context.pixelAligned (r);
		context.setClipRect (r);
		context.setOffset ({});
		context.setGlobalAlpha (1.f);
		context.clearRect (r);
		drawRect (context, r);
	}
	return rects;
}

void CFrame::drawRect (CDrawContext& context, const CRect& updateRect)
{
	CViewContainer::drawRect (context, updateRect);
	if (!modalView || !modalView->getViewSize ().rectOverlap (updateRect))
		return;
	const CRect savedClip = context.getClipRect ();
	CRect clip (modalView->getViewSize ());
	context.setClipRect (clip.bound (savedClip));
	context.setGlobalAlpha (modalView->getAlphaValue ());
	CRect update (updateRect);
	modalView->drawRect (context, update.bound (modalView->getViewSize ()));
	context.setGlobalAlpha (1.f);
	context.setClipRect (savedClip);
}

CMouseEventResult CFrame::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	tellMouseObservers (&where);
	if (!modalView)
		return CViewContainer::onMouseDown (where, buttons);
	// While a modal view is shown it takes every click, wherever it lands; a disabled one
	// swallows them.
	if (!modalView->getMouseEnabled ())
		return kMouseEventHandled;
	const CMouseEventResult result = modalView->onMouseDown (where, buttons);
	modalMouseDown = modalView && result == kMouseEventHandled;
	return kMouseEventHandled;
}

CMouseEventResult CFrame::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	tellMouseObservers (&where);
	if (!modalView)
		return CViewContainer::onMouseMoved (where, buttons);
	if (modalMouseDown && modalView->getMouseEnabled ())
		modalView->onMouseMoved (where, buttons);
	return kMouseEventHandled;
}

CMouseEventResult CFrame::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	tellMouseObservers (&where);
	if (!modalView)
		return CViewContainer::onMouseUp (where, buttons);
	if (modalMouseDown && modalView->getMouseEnabled ())
		modalView->onMouseUp (where, buttons);
	modalMouseDown = false;
	return kMouseEventHandled;
}

bool CFrame::onWheel (const CPoint& where, float distance, const CButtonState& buttons)
{
	tellMouseObservers (&where);
	if (!modalView)
		return CViewContainer::onWheel (where, distance, buttons);
	if (modalView->getMouseEnabled ())
		modalView->onWheel (where, distance, buttons);
	return true;
}

} // namespace VSTGUI
