#include "cview.h"
#include "cframe.h"
#include "cviewcontainer.h"
#include "../uidescription/icontroller.h"

namespace VSTGUI {

CView::CView (const CRect& rect) : size (rect), mouseableArea (rect)
{
}

CView::~CView () = default;

void CView::setViewSize (const CRect& rect, bool invalidate)
{
	if (rect == size)
		return;
	if (invalidate)
		invalid ();
	size = rect;
	mouseableArea = rect;
	if (invalidate)
		invalid ();
}

void CView::setBackground (CBitmapPtr bitmap)
{
	background = std::move (bitmap);
	invalid ();
}

void CView::setAlphaValue (float value)
{
	if (value == alpha)
		return;
	alpha = value;
	invalid ();
}

void CView::setSubController (std::unique_ptr<IController> controller)
{
	subController = std::move (controller);
}

void CView::draw (CDrawContext& context)
{
	if (background)
		context.drawBitmap (*background, size);
}

void CView::drawRect (CDrawContext& context, const CRect&)
{
	draw (context);
}

bool CView::hitTest (const CPoint& where, const CButtonState&)
{
	return mouseableArea.pointInside (where);
}

CMouseEventResult CView::onMouseDown (CPoint&, const CButtonState&)
{
	return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseMoved (CPoint&, const CButtonState&)
{
	return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseUp (CPoint&, const CButtonState&)
{
	return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseCancel ()
{
	return kMouseEventNotImplemented;
}

bool CView::onWheel (const CPoint&, float, const CButtonState&)
{
	return false;
}

void CView::attached (CViewContainer* parent)
{
	parentView = parent;
	invalid ();
}

void CView::removed ()
{
	invalid ();
	parentView = nullptr;
}

CFrame* CView::getFrame () const
{
	return parentView ? parentView->getFrame () : nullptr;
}

void CView::invalidRect (const CRect& rect)
{
	if (parentView)
		parentView->invalidChildRect (rect);
}

} // namespace VSTGUI
