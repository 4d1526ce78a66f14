#include "cknob.h"
#include "../cframe.h"

#include <cmath>

namespace VSTGUI {

namespace {
constexpr double kPI = 3.14159265358979323846;
}

CKnobBase::CKnobBase (const CRect& size, IControlListener* listener, int32_t tag)
: CControl (size, listener, tag),
  startAngle (static_cast<float> (3. * kPI / 4.)),
  rangeAngle (static_cast<float> (3. * kPI / 2.))
{
}

float CKnobBase::valueFromPoint (const CPoint& where) const
{
	const CRect& size = getViewSize ();
	const CPoint p = where - size.getTopLeft ();
	const double cx = size.getWidth () / 2.;
	const double cy = size.getHeight () / 2.;
	const double rx = cx - inset;
	const double ry = cy - inset;
	const double d = rangeAngle * 0.5;
	// The angle from the middle of the range, in -pi..pi: remainder gets there in one step,
	// where taking off turns one at a time would never end for a start angle of 1e30.
	double alpha = std::remainder (std::atan2 ((p.y - cy) / ry, (p.x - cx) / rx) - (startAngle + d), 2. * kPI);
	if (!std::isfinite (alpha))
		return getValue (); // angles beyond the float range point nowhere
	if (alpha >= kPI)
		alpha -= 2. * kPI;
	if (d < 0.)
		alpha = -alpha;
	const double halfRange = std::fabs (d);
	double v;
	if (alpha > halfRange)
		v = 1.;
	else if (alpha < -halfRange)
		v = 0.;
	else
		v = 0.5 + alpha / (2. * halfRange);
	return static_cast<float> (getMin () + v * (getMax () - getMin ()));
}

bool CKnobBase::useLinearMode (const CButtonState& buttons) const
{
	const CFrame* frame = getFrame ();
	const bool hostLinear = frame && frame->getKnobMode () == kLinearMode;
	// Alt swaps the mode; relative circular behaves as circular.
	return (buttons & kAlt) ? !hostLinear : hostLinear;
}

float CKnobBase::linearCoef (const CButtonState& buttons) const
{
	float range = kLinearRange;
	if (buttons & kShift)
		range *= zoomFactor;
	return (getMax () - getMin ()) / range;
}

CMouseEventResult CKnobBase::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	if (checkDefaultValue (buttons))
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;

	endWheelEdit ();
	beginEdit ();
	drag.firstPoint = where;
	drag.lastPoint = where;
	drag.entryValue = getValue ();
	drag.oldButtons = buttons;
	drag.linear = useLinearMode (buttons);
	drag.coef = linearCoef (buttons);
	drag.lastAngleValue = valueFromPoint (where);
	return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!isEditing () || !(buttons & kLButton))
		return kMouseEventNotHandled;
	if (where == drag.lastPoint)
		return kMouseEventHandled;
	drag.lastPoint = where;

	const float halfRange = (getMax () - getMin ()) / 2.f;
	if (drag.linear)
	{
		const auto diff = static_cast<float> ((drag.firstPoint.y - where.y) + (where.x - drag.firstPoint.x));
		if (!(buttons == drag.oldButtons ()))
		{
			// Rebase so that a change of fine adjustment does not make the value jump.
			const float coef = linearCoef (buttons);
			drag.entryValue += diff * (drag.coef - coef);
			drag.coef = coef;
			drag.oldButtons = buttons;
		}
		setValue (drag.entryValue + diff * drag.coef);
		bounceValue ();
	}
	else
	{
		float v = valueFromPoint (where);
		// No jumping across the dead zone at the bottom: stick to the end it left from.
		if (drag.lastAngleValue - v > halfRange)
			v = getMax ();
		else if (v - drag.lastAngleValue > halfRange)
			v = getMin ();
		else
			drag.lastAngleValue = v;
		setValue (v);
	}
	if (isDirty ())
	{
		valueChanged ();
		invalid ();
	}
	return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseUp (CPoint&, const CButtonState&)
{
	if (isEditing ())
		endEdit ();
	return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseCancel ()
{
	if (!isEditing ())
		return kMouseEventNotHandled;
	setValue (drag.linear ? drag.entryValue : drag.lastAngleValue);
	if (isDirty ())
	{
		valueChanged ();
		invalid ();
	}
	endEdit ();
	return kMouseEventHandled;
}

bool CKnobBase::onWheel (const CPoint&, float distance, const CButtonState& buttons)
{
	float step = distance * getWheelInc ();
	if (buttons & kShift)
		step *= 0.1f;
	onWheelEdit ();
	setValueNormalized (getValueNormalized () + step);
	if (isDirty ())
	{
		valueChanged ();
		invalid ();
	}
	return true;
}

CAnimKnob::CAnimKnob (const CRect& size, IControlListener* listener, int32_t tag, CBitmapPtr background)
: CKnobBase (size, listener, tag)
{
	if (background)
		setBackground (std::move (background));
}

void CAnimKnob::setBackground (CBitmapPtr bitmap)
{
	CKnobBase::setBackground (bitmap);
	if (heightOfOneImage == 0)
		heightOfOneImage = getViewSize ().getHeight ();
	if (bitmap && heightOfOneImage >= 1.)
		numSubPixmaps = static_cast<int32_t> (bitmap->getHeight () / heightOfOneImage);
}

int32_t CAnimKnob::getFrameIndex () const
{
	// Frames under a pixel high, or higher than any bitmap can be, show the first frame.
	if (!(heightOfOneImage >= 1. && heightOfOneImage <= CBitmap::kMaxSide) || numSubPixmaps < 1)
		return 0;
	const auto h = static_cast<int64_t> (heightOfOneImage);
	double v = std::max (0.f, std::min (1.f, getValueNormalized ()));
	if (inverseBitmap)
		v = 1. - v;
	// The strip's offset in pixels, rounded down to a whole frame: frame = floor (v * (N - 1)).
	auto y = static_cast<int64_t> (std::floor (v * heightOfOneImage * (numSubPixmaps - 1)));
	y -= y % h;
	return static_cast<int32_t> (y / h);
}

void CAnimKnob::draw (CDrawContext& context)
{
	if (getBackground ())
	{
		const CCoord y = getFrameIndex () * heightOfOneImage;
		context.drawBitmap (*getBackground (), getViewSize (), CPoint (0, y));
	}
	setClean ();
}

} // namespace VSTGUI
