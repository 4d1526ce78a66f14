#include "vst3editor.h"

#include "vstgui/lib/controls/ccontrol.h"
#if defined(_WIN32)
#include "vstgui/lib/platform/win32/win32frame.h"
#else
#include "vstgui/lib/platform/linux/x11frame.h"
#endif

#include "base/source/updatehandler.h"
#include "pluginterfaces/base/fstrdefs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace VSTGUI {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Editor sides beyond this are refused: the window's back buffer is allocated at its size.
constexpr long kMaxEditorSide = 8192;

bool isEditorSide (CCoord side)
{
	return side >= 0 && side <= kMaxEditorSide;
}

// "w, h" read as integers on each side of the first comma; empty unless both are editor sides.
std::optional<CPoint> parseIntegerSize (const std::string* text)
{
	if (!text)
		return {};
	const auto comma = text->find (',');
	if (comma == std::string::npos)
		return {};
	const CPoint size (std::strtol (text->c_str (), nullptr, 10), std::strtol (text->c_str () + comma + 1, nullptr, 10));
	if (!isEditorSide (size.x) || !isEditorSide (size.y))
		return {};
	return size;
}

// A host rectangle's sides in 64 bits: right - left of any two 32-bit values fits there.
int64_t widthOf (const ViewRect& r)
{
	return int64_t (r.right) - r.left;
}

int64_t heightOf (const ViewRect& r)
{
	return int64_t (r.bottom) - r.top;
}

// The span [start, start + side) clamped to the 32-bit range, moved back as far as needed to
// keep its side.
void placeSpan (int32& start, int32& end, int64_t side)
{
	const int64_t last = std::numeric_limits<int32>::max ();
	start = static_cast<int32> (std::min<int64_t> (start, last - side));
	end = static_cast<int32> (start + side);
}

} // namespace

// Keeps the controls of one tag in step with their parameter, as one of its dependents.
class VST3Editor::ParameterChangeListener : public FObject
{
public:
	explicit ParameterChangeListener (Parameter* parameter) : parameter (parameter)
	{
		if (parameter)
		{
			parameter->addRef ();
			parameter->addDependent (this);
		}
	}
	~ParameterChangeListener () override
	{
		if (parameter)
		{
			parameter->removeDependent (this);
			parameter->release ();
		}
	}

	bool hasParameter () const { return parameter != nullptr; }

	void addControl (CControl* control)
	{
		controls.push_back (control);
		if (parameter)
			updateControl (control);
	}

	// Without a parameter the controls of a tag mirror each other.
	void mirror (CControl* source)
	{
		for (CControl* c : controls)
		{
			if (c == source || c->getValueNormalized () == source->getValueNormalized ())
				continue;
			c->setValueNormalized (source->getValueNormalized ());
			c->setClean ();
			c->invalid ();
		}
	}

	void PLUGIN_API update (FUnknown*, int32 message) override
	{
		if (message != IDependent::kChanged || !parameter)
			return;
		for (CControl* c : controls)
			updateControl (c);
	}

private:
	void updateControl (CControl* control)
	{
		const ParameterInfo& info = parameter->getInfo ();
		control->setMouseEnabled (!(info.flags & ParameterInfo::kIsReadOnly));
		control->setDefaultValue (static_cast<float> (info.defaultNormalizedValue));
		control->setMin (0.f);
		control->setMax (1.f);
		const auto value = static_cast<float> (parameter->getNormalized ());
		// The editor's own edit comes back here too; a control already there stays untouched.
		if (control->getValue () == value)
			return;
		control->setValue (value);
		control->setClean ();
		control->invalid ();
	}

	Parameter* parameter;
	std::vector<CControl*> controls;
};

VST3Editor::VST3Editor (EditController* controller, const char* templateName, const char* xmlFile)
: VSTGUIEditor (controller),
  delegate (dynamic_cast<VST3EditorDelegate*> (controller)),
  description (std::make_unique<UIDescription> (xmlFile ? xmlFile : "")),
  templateName (templateName ? templateName : ""),
  updateTimer ([] (CVSTGUITimer*) { UpdateHandler::instance ()->triggerDeferedUpdates (); }, kUpdateInterval)
{
	// Parameters tell their dependents through the update handler; make sure there is one.
	UpdateHandler::instance ();
	if (!description->parse ())
		return;
	description->migrateLegacyFocusAttributes ();
	const UIAttributes* attributes = description->getTemplateAttributes (this->templateName);
	if (!attributes)
		return;
	const std::string* sizeText = attributes->getAttributeValue ("size");
	const std::optional<CPoint> templateSize = parseIntegerSize (sizeText);
	if (sizeText && !templateSize)
		return;
	templateFound = true;
	this->templateSize = templateSize.value_or (CPoint ());
	minSize = parseIntegerSize (attributes->getAttributeValue ("minSize")).value_or (this->templateSize);
	maxSize = parseIntegerSize (attributes->getAttributeValue ("maxSize")).value_or (this->templateSize);
	ViewRect r (0, 0, static_cast<int32> (this->templateSize.x), static_cast<int32> (this->templateSize.y));
	setRect (r);
}

VST3Editor::~VST3Editor ()
{
	close ();
}

bool VST3Editor::createFrame (IRunLoop* runLoop)
{
	if (!templateFound || frame)
		return false;
	frame = std::make_unique<CFrame> (CRect (CPoint (), templateSize), this);
	frame->setScaleFactor (contentScale);
	frame->setRunLoop (runLoop);
	CView* view = description->createView (templateName, this);
	// The frame takes the created template's size, if a window can have it.
	if (view && (!isEditorSide (view->getViewSize ().getWidth ()) || !isEditorSide (view->getViewSize ().getHeight ())))
	{
		delete view;
		view = nullptr;
	}
	if (!view)
	{
		paramChangeListeners.clear ();
		frame.reset ();
		return false;
	}
	const CRect& viewSize = view->getViewSize ();
	frame->setViewSize (CRect (0, 0, viewSize.getWidth (), viewSize.getHeight ()), false);
	frame->addView (view);
	applyFocusDrawing ();
	if (delegate)
		delegate->didOpen (this);
	updateTimer.start (runLoop);
	return true;
}

void VST3Editor::applyFocusDrawing ()
{
	const UIAttributes* attributes = description->getCustomAttributes ("FocusDrawing");
	if (!attributes)
		return;
	CFrame::FocusDrawing focus = frame->getFocusDrawing ();
	if (const std::string* enabled = attributes->getAttributeValue ("enabled"))
		focus.enabled = *enabled == "true";
	if (const std::string* color = attributes->getAttributeValue ("color"))
		focus.color = description->getColor (*color).value_or (focus.color);
	focus.width = attributes->getDoubleAttribute ("width").value_or (focus.width);
	frame->setFocusDrawing (focus);
}

// UI thread, from attached.
bool VST3Editor::open (void* parent, FIDString platformType)
{
	if (!parent || isPlatformTypeSupported (platformType) != kResultTrue || !createFrame (getRunLoop ()))
		return false;
#if defined(_WIN32)
	platformFrame = std::make_unique<Win32Frame> (frame.get (), static_cast<HWND> (parent));
#else
	const auto parentWindow = static_cast<uint32_t> (reinterpret_cast<uintptr_t> (parent));
	platformFrame = std::make_unique<X11Frame> (frame.get (), parentWindow, getRunLoop ());
#endif
	if (!platformFrame->isValid ())
	{
		close ();
		return false;
	}
	if (const std::optional<double> desktop = platformFrame->desktopScaleFactor ())
		desktopScaleChanged (*desktop);
	return true;
}

CPoint VST3Editor::scaled (const CPoint& size) const
{
	return CPoint (std::round (size.x * contentScale), std::round (size.y * contentScale));
}

// UI thread.
tresult PLUGIN_API VST3Editor::setContentScaleFactor (ScaleFactor factor)
{
	if (!std::isfinite (factor))
		return kResultFalse;
	scaleFromHost = true;
	applyScale (factor);
	return kResultTrue;
}

void VST3Editor::desktopScaleChanged (double factor)
{
	if (!scaleFromHost && std::isfinite (factor))
		applyScale (factor);
}

void VST3Editor::applyScale (double factor)
{
	factor = std::clamp (factor, 1., 4.);
	if (factor == contentScale)
		return;
	contentScale = factor;
	const CPoint size = scaled (templateSize);
	ViewRect r = getRect ();
	placeSpan (r.left, r.right, static_cast<int64_t> (size.x));
	placeSpan (r.top, r.bottom, static_cast<int64_t> (size.y));
	setRect (r);
	if (!frame)
		return;
	frame->setScaleFactor (contentScale);
	if (platformFrame)
		platformFrame->updateSize ();
	if (plugFrame)
		plugFrame->resizeView (this, &r);
}

tresult PLUGIN_API VST3Editor::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, IPlugViewContentScaleSupport::iid, IPlugViewContentScaleSupport)
	return VSTGUIEditor::queryInterface (iid, obj);
}

bool VST3Editor::openOffscreen (IRunLoop* runLoop)
{
	return createFrame (runLoop);
}

void VST3Editor::close ()
{
	if (!frame)
		return;
	updateTimer.stop ();
	if (delegate)
		delegate->willClose (this);
	platformFrame.reset ();
	// Views end edits still open while their tags are still bound.
	frame->removeAll ();
	paramChangeListeners.clear ();
	frame.reset ();
}

// UI thread. The size is fixed: only the editor's own size is accepted, wherever the host puts
// it. Sides are compared in 64 bits, as the host's coordinates may be anywhere in 32.
tresult PLUGIN_API VST3Editor::onSize (ViewRect* newSize)
{
	if (!newSize || widthOf (*newSize) != widthOf (getRect ()) || heightOf (*newSize) != heightOf (getRect ()))
		return kResultFalse;
	return VSTGUIEditor::onSize (newSize);
}

// UI thread. Gives the rectangle sides within the editor's limits at its factor (for this
// fixed editor, its own size), keeping its top left corner unless the sides would then run past the 32-bit range.
tresult PLUGIN_API VST3Editor::checkSizeConstraint (ViewRect* rect)
{
	if (!rect)
		return kInvalidArgument;
	const auto clamp = [] (int64_t v, CCoord lo, CCoord hi) {
		return std::max (static_cast<int64_t> (lo), std::min (static_cast<int64_t> (hi), v));
	};
	const CPoint least = scaled (minSize);
	const CPoint most = scaled (maxSize);
	const int64_t width = clamp (widthOf (*rect), least.x, most.x);
	const int64_t height = clamp (heightOf (*rect), least.y, most.y);
	placeSpan (rect->left, rect->right, width);
	placeSpan (rect->top, rect->bottom, height);
	return kResultTrue;
}

VST3Editor::ParameterChangeListener* VST3Editor::listenerFor (int32_t tag) const
{
	auto it = paramChangeListeners.find (tag);
	return it == paramChangeListeners.end () ? nullptr : it->second.get ();
}

void VST3Editor::valueChanged (CControl* control)
{
	if (!control->isEditing ())
		return;
	ParameterChangeListener* listener = listenerFor (control->getTag ());
	if (!listener)
		return;
	if (!listener->hasParameter ())
	{
		listener->mirror (control);
		return;
	}
	const auto id = static_cast<ParamID> (control->getTag ());
	if (controller->setParamNormalized (id, control->getValueNormalized ()) == kResultTrue)
		controller->performEdit (id, controller->getParamNormalized (id));
}

void VST3Editor::controlBeginEdit (CControl* control)
{
	if (listenerFor (control->getTag ()))
		controller->beginEdit (static_cast<ParamID> (control->getTag ()));
}

void VST3Editor::controlEndEdit (CControl* control)
{
	if (listenerFor (control->getTag ()))
		controller->endEdit (static_cast<ParamID> (control->getTag ()));
}

CView* VST3Editor::createView (const UIAttributes& attributes, const IUIDescription* desc)
{
	const std::string* name = attributes.getAttributeValue ("custom-view-name");
	if (!delegate || !name)
		return nullptr;
	return delegate->createCustomView (name->c_str (), attributes, desc, this);
}

CView* VST3Editor::verifyView (CView* view, const UIAttributes& attributes, const IUIDescription* desc)
{
	if (delegate)
		view = delegate->verifyView (view, attributes, desc, this);
	auto* control = dynamic_cast<CControl*> (view);
	if (!control || control->getTag () == -1 || control->getListener () != this)
		return view;
	auto& listener = paramChangeListeners[control->getTag ()];
	if (!listener)
		listener = std::make_unique<ParameterChangeListener> (
		    controller->getParameterObject (static_cast<ParamID> (control->getTag ())));
	listener->addControl (control);
	return view;
}

IController* VST3Editor::createSubController (const char* name, const IUIDescription* desc)
{
	return delegate ? delegate->createSubController (name, desc, this) : nullptr;
}

} // namespace VSTGUI
