#include "viewfactory.h"
#include "icontroller.h"
#include "iuidescription.h"

#include "../lib/controls/cknob.h"
#include "../lib/controls/csplashscreen.h"
#include "../lib/cviewcontainer.h"

#include <cmath>
#include <functional>
#include <vector>

namespace VSTGUI {
namespace ViewFactory {

namespace {

constexpr double kPI = 3.14159265358979323846;

struct Context
{
	const UIAttributes& attributes;
	const IUIDescription* description;
	IController* controller;

	const std::string* text (const char* name) const { return attributes.getAttributeValue (name); }
	std::optional<double> number (const char* name) const { return attributes.getDoubleAttribute (name); }
	std::optional<bool> boolean (const char* name) const { return attributes.getBooleanAttribute (name); }
	std::optional<CPoint> point (const char* name) const { return attributes.getPointAttribute (name); }
	std::optional<int32_t> integer (const char* name) const { return attributes.getIntegerAttribute (name); }
	CBitmapPtr bitmap (const std::string& name) const
	{
		return description ? description->getBitmap (name) : nullptr;
	}
};

void applyView (CView* view, const Context& c)
{
	if (auto v = c.boolean ("transparent"))
		view->setTransparency (*v);
	if (auto v = c.boolean ("mouse-enabled"))
		view->setMouseEnabled (*v);
	if (auto v = c.number ("opacity"))
		view->setAlphaValue (static_cast<float> (*v));
	if (const std::string* v = c.text ("tooltip"))
		view->setTooltipText (*v);
	CRect r = view->getViewSize ();
	if (auto v = c.point ("origin"))
		r.setTopLeft (*v);
	if (auto v = c.point ("size"))
		r.setSize (*v);
	view->setViewSize (r, false);
	if (const std::string* v = c.text ("bitmap"))
		view->setBackground (v->empty () ? nullptr : c.bitmap (*v));
}

void applyContainer (CViewContainer* container, const Context& c)
{
	if (const std::string* v = c.text ("background-color"))
		if (auto color = c.description ? c.description->getColor (*v) : std::nullopt)
			container->setBackgroundColor (*color);
	if (const std::string* v = c.text ("background-color-draw-style"))
	{
		if (*v == "stroked")
			container->setBackgroundColorDrawStyle (kDrawStroked);
		else if (*v == "filled")
			container->setBackgroundColorDrawStyle (kDrawFilled);
		else if (*v == "filled and stroked")
			container->setBackgroundColorDrawStyle (kDrawFilledAndStroked);
	}
}

void applyControlTag (CControl* control, const std::string& name, const Context& c)
{
	int32_t tag = -1;
	if (!name.empty ())
	{
		tag = c.description ? c.description->getTagForName (name) : -1;
		if (tag == -1)
			tag = parseLeadingInteger (name).value_or (-1);
		if (c.controller)
			tag = c.controller->getTagForName (name.c_str (), tag);
	}
	control->setTag (tag);
	control->setListener (tag != -1 && c.controller ? c.controller->getControlListener (name.c_str ()) : nullptr);
}

void applyControl (CControl* control, const Context& c)
{
	if (const std::string* v = c.text ("control-tag"))
		applyControlTag (control, *v, c);
	if (auto v = c.number ("default-value"))
		control->setDefaultValue (static_cast<float> (*v));
	if (auto v = c.number ("min-value"))
		control->setMin (static_cast<float> (*v));
	if (auto v = c.number ("max-value"))
		control->setMax (static_cast<float> (*v));
	if (auto v = c.number ("wheel-inc-value"))
		control->setWheelInc (static_cast<float> (*v));
}

void applyKnobBase (CKnobBase* knob, const Context& c)
{
	if (auto v = c.number ("angle-start"))
		knob->setStartAngle (static_cast<float> (*v / 180. * kPI));
	if (auto v = c.number ("angle-range"))
		knob->setRangeAngle (static_cast<float> (*v / 180. * kPI));
	if (auto v = c.number ("value-inset"))
		knob->setInsetValue (*v);
	if (auto v = c.number ("zoom-factor"))
		knob->setZoomFactor (static_cast<float> (*v));
}

void applyAnimKnob (CAnimKnob* knob, const Context& c)
{
	if (auto v = c.boolean ("inverse-bitmap"))
		knob->setInverseBitmap (*v);
	if (auto v = c.number ("height-of-one-image"))
		knob->setHeightOfOneImage (*v);
	if (auto v = c.integer ("sub-pixmaps"))
		knob->setNumSubPixmaps (*v);
}

void applySplashScreen (CSplashScreen* splash, const Context& c)
{
	if (const std::string* v = c.text ("splash-bitmap"))
		splash->setSplashBitmap (c.bitmap (*v));
	CRect r = splash->getSplashRect ();
	if (auto v = c.point ("splash-origin"))
		r.setTopLeft (*v);
	if (auto v = c.point ("splash-size"))
		r.setSize (*v);
	splash->setSplashRect (r);
}

void applyAnimationSplashScreen (CAnimationSplashScreen* splash, const Context& c)
{
	if (auto v = c.integer ("animation-index"))
		splash->setAnimationIndex (*v);
	if (auto v = c.integer ("animation-time"))
		splash->setAnimationTime (static_cast<uint32_t> (std::max (0, *v)));
}

template <typename T>
std::function<bool (CView*, const Context&)> creator (void (*apply) (T*, const Context&))
{
	return [apply] (CView* view, const Context& c) {
		T* typed = dynamic_cast<T*> (view);
		if (typed)
			apply (typed, c);
		return typed != nullptr;
	};
}

// Most derived class first, so that a view meets its own attributes before its bases'.
const std::vector<std::function<bool (CView*, const Context&)>>& creators ()
{
	static const std::vector<std::function<bool (CView*, const Context&)>> list {
	    creator<CAnimationSplashScreen> (applyAnimationSplashScreen),
	    creator<CSplashScreen> (applySplashScreen),
	    creator<CAnimKnob> (applyAnimKnob),
	    creator<CKnobBase> (applyKnobBase),
	    creator<CControl> (applyControl),
	    creator<CViewContainer> (applyContainer),
	    creator<CView> (applyView),
	};
	return list;
}

} // namespace

CView* createView (const UIAttributes& attributes, const IUIDescription* description, IController* controller)
{
	const std::string* cls = attributes.getAttributeValue ("class");
	const std::string className = cls ? *cls : "CViewContainer";
	CView* view = nullptr;
	if (className == "CAnimKnob")
		view = new CAnimKnob (CRect (), nullptr, -1, nullptr);
	else if (className == "CAnimationSplashScreen")
		view = new CAnimationSplashScreen (CRect (), -1, nullptr, CRect ());
	else
		view = new CViewContainer (CRect ());
	applyAttributes (view, attributes, description, controller);
	return view;
}

void applyAttributes (CView* view, const UIAttributes& attributes, const IUIDescription* description,
                      IController* controller)
{
	const Context context {attributes, description, controller};
	for (const auto& apply : creators ())
		apply (view, context);
}

} // namespace ViewFactory
} // namespace VSTGUI
