// Mouse buttons and modifier keys of a mouse event, and what a view made of the event.
#pragma once

#include <cstdint>

namespace VSTGUI {

enum CButton : int32_t
{
	kLButton = 1 << 1,
	kMButton = 1 << 2,
	kRButton = 1 << 3,
	kShift = 1 << 4,
	kControl = 1 << 5,
	kAlt = 1 << 6,
};

class CButtonState
{
public:
	CButtonState (int32_t state = 0) : state (state) {}
	int32_t getButtonState () const { return state & (kLButton | kMButton | kRButton); }
	// The left button and no other button; modifiers are allowed.
	bool isLeftButton () const { return getButtonState () == kLButton; }
	bool operator& (int32_t mask) const { return (state & mask) != 0; }
	bool operator== (int32_t s) const { return state == s; }
	int32_t operator() () const { return state; }

private:
	int32_t state;
};

enum CMouseEventResult
{
	kMouseEventNotHandled = 0,
	kMouseEventHandled,
	kMouseEventNotImplemented,
	kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

} // namespace VSTGUI
