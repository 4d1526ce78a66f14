// Knobs: CKnobBase turns mouse drags and wheel notches into values (circular or linear,
// following the host's knob mode); CAnimKnob shows the value as one frame of a bitmap strip.
#pragma once

#include "ccontrol.h"

namespace VSTGUI {

class CKnobBase : public CControl
{
public:
	// Pixels of vertical plus horizontal travel for the full range in linear mode.
	static constexpr float kLinearRange = 200.f;

	CKnobBase (const CRect& size, IControlListener* listener, int32_t tag);

	// Angles in radians, clockwise on screen from three o'clock.
	void setStartAngle (float a) { startAngle = a; }
	float getStartAngle () const { return startAngle; }
	void setRangeAngle (float a) { rangeAngle = a; }
	float getRangeAngle () const { return rangeAngle; }
	// Divides the linear-mode speed while Shift is held.
	void setZoomFactor (float f) { zoomFactor = f; }
	float getZoomFactor () const { return zoomFactor; }
	void setInsetValue (CCoord v) { inset = v; }
	CCoord getInsetValue () const { return inset; }

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	bool onWheel (const CPoint& where, float distance, const CButtonState& buttons) override;

	// The value under a point (parent coordinates) on the knob's arc.
	float valueFromPoint (const CPoint& where) const;

private:
	float linearCoef (const CButtonState& buttons) const;
	bool useLinearMode (const CButtonState& buttons) const;

	float startAngle;
	float rangeAngle;
	float zoomFactor {1.5f};
	CCoord inset {0};

	struct DragState
	{
		CPoint firstPoint;
		CPoint lastPoint;
		float entryValue {0.f};
		float coef {0.f};
		float lastAngleValue {0.f};
		CButtonState oldButtons;
		bool linear {false};
	} drag;
};

class CAnimKnob : public CKnobBase
{
public:
	CAnimKnob (const CRect& size, IControlListener* listener, int32_t tag, CBitmapPtr background);

	void setInverseBitmap (bool state) { inverseBitmap = state; }
	bool getInverseBitmap () const { return inverseBitmap; }
	void setHeightOfOneImage (CCoord h) { heightOfOneImage = h; }
	CCoord getHeightOfOneImage () const { return heightOfOneImage; }
	void setNumSubPixmaps (int32_t n) { numSubPixmaps = n; }
	int32_t getNumSubPixmaps () const { return numSubPixmaps; }

	// Without a frame height of its own the knob takes its view height; the frame count then
	// follows from the bitmap's height.
	void setBackground (CBitmapPtr bitmap) override;
	// The strip frame that the current value selects.
	int32_t getFrameIndex () const;
	void draw (CDrawContext& context) override;

private:
	CCoord heightOfOneImage {0};
	int32_t numSubPixmaps {0};
	bool inverseBitmap {false};
};

} // namespace VSTGUI
