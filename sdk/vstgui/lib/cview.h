// The base of every view: a rectangle in its parent's coordinates, an optional background
// bitmap drawn at its top left, opacity, and the mouse entry points.
#pragma once

#include "cbitmap.h"
#include "cbuttonstate.h"
#include "cdrawcontext.h"
#include "crect.h"

#include <memory>
#include <string>

namespace VSTGUI {

class CFrame;
class CViewContainer;
class IController;

class CView
{
public:
	explicit CView (const CRect& size);
	virtual ~CView ();
	CView (const CView&) = delete;
	CView& operator= (const CView&) = delete;

	const CRect& getViewSize () const { return size; }
	// Also resets the mouseable area to the new rectangle.
	virtual void setViewSize (const CRect& rect, bool invalidate = true);
	const CRect& getMouseableArea () const { return mouseableArea; }

	virtual void setBackground (CBitmapPtr bitmap);
	const CBitmapPtr& getBackground () const { return background; }
	void setTransparency (bool state) { transparent = state; }
	bool getTransparency () const { return transparent; }
	virtual void setMouseEnabled (bool state) { mouseEnabled = state; }
	bool getMouseEnabled () const { return mouseEnabled; }
	void setAlphaValue (float alpha);
	float getAlphaValue () const { return alpha; }
	void setTooltipText (const std::string& text) { tooltip = text; }
	const std::string& getTooltipText () const { return tooltip; }
	// A controller the description created for this view's subtree; it lives as long as the view.
	void setSubController (std::unique_ptr<IController> controller);
	IController* getSubController () const { return subController.get (); }

	// The context's offset maps this view's rectangle (parent coordinates) to buffer pixels.
	virtual void draw (CDrawContext& context);
	virtual void drawRect (CDrawContext& context, const CRect& updateRect);

	// Points are in the parent's coordinates.
	virtual bool hitTest (const CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseCancel ();
	// Vertical wheel notches (+1 away from the user); returns true when consumed.
	virtual bool onWheel (const CPoint& where, float distance, const CButtonState& buttons);

	virtual void attached (CViewContainer* parent);
	virtual void removed ();
	bool isAttached () const { return parentView != nullptr; }
	virtual CFrame* getFrame () const;

	void invalid () { invalidRect (size); }
	// The rectangle is in the parent's coordinates.
	virtual void invalidRect (const CRect& rect);

private:
	CRect size;
	CRect mouseableArea;
	CBitmapPtr background;
	std::string tooltip;
	std::unique_ptr<IController> subController;
	CViewContainer* parentView {nullptr};
	float alpha {1.f};
	bool transparent {false};
	bool mouseEnabled {true};
};

} // namespace VSTGUI
