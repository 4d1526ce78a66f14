#include "ccontrol.h"
#include "../cframe.h"

#include <algorithm>

namespace VSTGUI {

CControl::CControl (const CRect& size, IControlListener* listener, int32_t tag)
: CView (size),
  listener (listener),
  tag (tag),
  wheelTimer ([this] (CVSTGUITimer*) { endWheelEdit (); }, kWheelEditEndDelay)
{
	setTransparency (false);
	setMouseEnabled (true);
}

CControl::~CControl () = default;

float CControl::getValueNormalized () const
{
	const float range = vmax - vmin;
	if (range == 0.f)
		return 0.f;
	return (value - vmin) / range;
}

void CControl::setValueNormalized (float v)
{
	v = std::max (0.f, std::min (1.f, v));
	value = vmin + v * (vmax - vmin);
}

void CControl::bounceValue ()
{
	value = std::max (std::min (vmin, vmax), std::min (std::max (vmin, vmax), value));
}

void CControl::beginEdit ()
{
	if (editCount++ == 0 && listener)
		listener->controlBeginEdit (this);
}

void CControl::endEdit ()
{
	if (editCount == 0)
		return;
	if (--editCount == 0 && listener)
		listener->controlEndEdit (this);
}

void CControl::valueChanged ()
{
	lastValue = value;
	if (listener)
		listener->valueChanged (this);
}

bool CControl::checkDefaultValue (const CButtonState& buttons)
{
	if (!(buttons == (kLButton | kControl)))
		return false;
	if (value != defaultValue)
	{
		beginEdit ();
		value = defaultValue;
		bounceValue ();
		valueChanged ();
		endEdit ();
		invalid ();
	}
	return true;
}

void CControl::onWheelEdit ()
{
	if (!wheelEditing)
	{
		wheelEditing = true;
		beginEdit ();
	}
	wheelTimer.start (getFrame () ? getFrame ()->getRunLoop () : nullptr);
}

void CControl::endWheelEdit ()
{
	wheelTimer.stop ();
	if (!wheelEditing)
		return;
	wheelEditing = false;
	endEdit ();
}

void CControl::removed ()
{
	// An edit left open would leave the host waiting for its end.
	endWheelEdit ();
	while (isEditing ())
		endEdit ();
	CView::removed ();
}

} // namespace VSTGUI
