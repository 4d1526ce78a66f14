// A view that owns child views, draws them in order above its background and passes mouse
// events to them, topmost first.
#pragma once

#include "ccolor.h"
#include "cview.h"

#include <vector>

namespace VSTGUI {

enum CDrawStyle
{
	kDrawStroked = 0,
	kDrawFilled,
	kDrawFilledAndStroked,
};

class CViewContainer : public CView
{
public:
	explicit CViewContainer (const CRect& size);
	~CViewContainer () override;

	// Takes ownership.
	void addView (CView* view);
	// Deletes the view after detaching it.
	void removeView (CView* view);
	void removeAll ();
	size_t getNbViews () const { return children.size (); }
	CView* getView (size_t index) const { return index < children.size () ? children[index] : nullptr; }

	void setBackgroundColor (const CColor& color);
	const CColor& getBackgroundColor () const { return backgroundColor; }
	void setBackgroundColorDrawStyle (CDrawStyle style);
	CDrawStyle getBackgroundColorDrawStyle () const { return drawStyle; }

	void drawRect (CDrawContext& context, const CRect& updateRect) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	bool onWheel (const CPoint& where, float distance, const CButtonState& buttons) override;

	void attached (CViewContainer* parent) override;
	void removed () override;
	// Called by a child with a rectangle in this container's own coordinates.
	virtual void invalidChildRect (const CRect& rect);

protected:
	void drawBackgroundRect (CDrawContext& context, const CRect& updateRect);
	CPoint toLocal (const CPoint& where) const { return where - getViewSize ().getTopLeft (); }
	CView* mouseDownView {nullptr};

private:
	std::vector<CView*> children;
	CColor backgroundColor {kBlackCColor};
	CDrawStyle drawStyle {kDrawFilledAndStroked};
};

} // namespace VSTGUI
