// The controller that a description builds views for: it can rename tags, pick listeners,
// create custom views and sub-controllers and check every view once it is built.
#pragma once

#include "../lib/controls/icontrollistener.h"

#include <cstdint>

namespace VSTGUI {

class CView;
class IUIDescription;
class UIAttributes;

class IController : public IControlListener
{
public:
	virtual int32_t getTagForName (const char* /*name*/, int32_t registeredTag) const { return registeredTag; }
	virtual IControlListener* getControlListener (const char* /*controlTagName*/) { return this; }
	virtual CView* createView (const UIAttributes&, const IUIDescription*) { return nullptr; }
	virtual CView* verifyView (CView* view, const UIAttributes&, const IUIDescription*) { return view; }
	// A controller for the subtree of a view that names one; the view takes ownership.
	virtual IController* createSubController (const char* /*name*/, const IUIDescription*) { return nullptr; }
};

} // namespace VSTGUI
