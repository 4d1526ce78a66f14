// Creates views by class name and applies description attributes to them: the view's own
// class first, then its base classes. Unknown classes become plain containers and unknown
// attributes are ignored.
#pragma once

#include "uiattributes.h"

namespace VSTGUI {

class CView;
class IController;
class IUIDescription;

namespace ViewFactory {

CView* createView (const UIAttributes& attributes, const IUIDescription* description, IController* controller);
void applyAttributes (CView* view, const UIAttributes& attributes, const IUIDescription* description,
                      IController* controller);

} // namespace ViewFactory
} // namespace VSTGUI
