// Receives a control's value changes and the begin and end of its edits.
#pragma once

namespace VSTGUI {

class CControl;

class IControlListener
{
public:
	virtual ~IControlListener () = default;
	virtual void valueChanged (CControl* control) = 0;
	virtual void controlBeginEdit (CControl*) {}
	virtual void controlEndEdit (CControl*) {}
};

} // namespace VSTGUI
