#include "cviewcontainer.h"
#include "cframe.h"

#include <algorithm>
#include <iterator>

namespace VSTGUI {

CViewContainer::CViewContainer (const CRect& size) : CView (size)
{
}

CViewContainer::~CViewContainer ()
{
	removeAll ();
}

void CViewContainer::addView (CView* view)
{
	if (!view)
		return;
	children.push_back (view);
	if (isAttached () || getFrame () == this)
		view->attached (this);
}

void CViewContainer::removeView (CView* view)
{
	// Searched from the back, where removeAll takes its views: a container of many children
	// is then emptied in linear time rather than quadratic.
	auto it = std::find (children.rbegin (), children.rend (), view);
	if (it == children.rend ())
		return;
	if (mouseDownView == view)
		mouseDownView = nullptr;
	children.erase (std::next (it).base ());
	if (view->isAttached ())
		view->removed ();
	delete view;
}

void CViewContainer::removeAll ()
{
	while (!children.empty ())
		removeView (children.back ());
}

void CViewContainer::setBackgroundColor (const CColor& color)
{
	backgroundColor = color;
	invalid ();
}

void CViewContainer::setBackgroundColorDrawStyle (CDrawStyle style)
{
	drawStyle = style;
	invalid ();
}

void CViewContainer::drawBackgroundRect (CDrawContext& context, const CRect& updateRect)
{
	const CRect& size = getViewSize ();
	if (getBackground ())
	{
		context.drawBitmap (*getBackground (), size);
		return;
	}
	if (getTransparency () && backgroundColor.alpha == 255)
		return;
	const bool filled = drawStyle == kDrawFilled ||
	                    (drawStyle == kDrawFilledAndStroked && backgroundColor.alpha == 255);
	if (filled)
	{
		CRect r (updateRect);
		context.fillRect (r.extend (1).bound (size), backgroundColor);
		return;
	}
	if (drawStyle == kDrawFilledAndStroked)
		context.fillRect (size, backgroundColor);
	context.frameRect (size, backgroundColor);
}

void CViewContainer::drawRect (CDrawContext& context, const CRect& updateRect)
{
	drawBackgroundRect (context, updateRect);

	const CPoint savedOffset = context.getOffset ();
	const CRect savedClip = context.getClipRect ();
	const float savedAlpha = context.getGlobalAlpha ();
	const CPoint childOffset = savedOffset + getViewSize ().getTopLeft ();
	CRect localUpdate (updateRect);
	localUpdate.offset (CPoint () - getViewSize ().getTopLeft ());

	for (CView* child : children)
	{
		if (!child->getViewSize ().rectOverlap (localUpdate))
			continue;
		CRect clip (child->getViewSize ());
		clip.offset (childOffset).bound (savedClip);
		if (clip.isEmpty ())
			continue;
		CRect childUpdate (localUpdate);
		childUpdate.bound (child->getViewSize ());
		context.setClipRect (clip);
		context.setOffset (childOffset);
		context.setGlobalAlpha (savedAlpha * child->getAlphaValue ());
		child->drawRect (context, childUpdate);
	}
	context.setClipRect (savedClip);
	context.setOffset (savedOffset);
	context.setGlobalAlpha (savedAlpha);
}

CMouseEventResult CViewContainer::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	CPoint local = toLocal (where);
	for (auto it = children.rbegin (); it != children.rend (); ++it)
	{
		CView* child = *it;
		if (!child->getMouseEnabled () || !child->hitTest (local, buttons))
			continue;
		const CMouseEventResult result = child->onMouseDown (local, buttons);
		if (result == kMouseEventHandled)
			mouseDownView = child;
		if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented)
			return result;
		// A solid view that ignores the click still hides what lies beneath it.
		if (!child->getTransparency ())
			return result;
	}
	return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	CPoint local = toLocal (where);
	return mouseDownView->onMouseMoved (local, buttons);
}

CMouseEventResult CViewContainer::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	CPoint local = toLocal (where);
	CView* view = mouseDownView;
	mouseDownView = nullptr;
	return view->onMouseUp (local, buttons);
}

CMouseEventResult CViewContainer::onMouseCancel ()
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	CView* view = mouseDownView;
	mouseDownView = nullptr;
	return view->onMouseCancel ();
}

bool CViewContainer::onWheel (const CPoint& where, float distance, const CButtonState& buttons)
{
	const CPoint local = toLocal (where);
	for (auto it = children.rbegin (); it != children.rend (); ++it)
	{
		CView* child = *it;
		if (!child->getMouseEnabled () || !child->getMouseableArea ().pointInside (local))
			continue;
		if (child->onWheel (local, distance, buttons))
			return true;
		if (!child->getTransparency ())
			return false;
	}
	return false;
}

void CViewContainer::attached (CViewContainer* parent)
{
	CView::attached (parent);
	for (CView* child : children)
		child->attached (this);
}

void CViewContainer::removed ()
{
	for (CView* child : children)
		if (child->isAttached ())
			child->removed ();
	mouseDownView = nullptr;
	CView::removed ();
}

void CViewContainer::invalidChildRect (const CRect& rect)
{
	CRect r (rect);
	invalidRect (r.offset (getViewSize ().getTopLeft ()));
}

} // namespace VSTGUI
