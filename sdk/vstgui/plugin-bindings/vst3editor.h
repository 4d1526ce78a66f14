// The editor built from a UI description: it creates the template's views, binds every control
// whose tag names a parameter to that parameter (edits go to the controller with begin,
// perform and end edit; parameter changes move the controls) and asks the controller, when it
// is a VST3EditorDelegate, for custom views and sub-controllers.
#pragma once

#include "public.sdk/source/vst/vstguieditor.h"
#include "vstgui/lib/cvstguitimer.h"
#include "vstgui/uidescription/icontroller.h"
#include "vstgui/uidescription/uidescription.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <map>
#include <memory>
#include <string>

namespace VSTGUI {

class VST3Editor;
// The frame's window in the host's parent window.
#if defined(_WIN32)
class Win32Frame;
using PlatformFrame = Win32Frame;
#else
class X11Frame;
using PlatformFrame = X11Frame;
#endif

class VST3EditorDelegate
{
public:
	virtual ~VST3EditorDelegate () = default;
	virtual CView* createCustomView (const char* /*name*/, const UIAttributes&, const IUIDescription*, VST3Editor*)
	{
		return nullptr;
	}
	virtual CView* verifyView (CView* view, const UIAttributes&, const IUIDescription*, VST3Editor*) { return view; }
	// The editor owns what this returns.
	virtual IController* createSubController (const char* /*name*/, const IUIDescription*, VST3Editor*)
	{
		return nullptr;
	}
	virtual void didOpen (VST3Editor*) {}
	virtual void willClose (VST3Editor*) {}
};

// Shown at a content scale factor from 1 to 4: the host's (IPlugViewContentScaleSupport), else
// the desktop's, as the platform frame reads it. The description's coordinates times the factor
// are the window's pixels; the size the host sees and sets is in pixels.
class VST3Editor : public Steinberg::Vst::VSTGUIEditor,
                   public Steinberg::IPlugViewContentScaleSupport,
                   public IController
{
public:
	// Flushes the parameters' deferred change notifications.
	static constexpr uint32_t kUpdateInterval = 100;

	VST3Editor (Steinberg::Vst::EditController* controller, const char* templateName, const char* xmlFile);
	~VST3Editor () override;

	bool open (void* parent, Steinberg::FIDString platformType) override;
	void close () override;
	// Builds the views without a window, for rendering into a buffer; timers run on the loop.
	bool openOffscreen (IRunLoop* runLoop);

	CFrame* getFrame () const { return frame.get (); }
	const UIDescription* getUIDescription () const { return description.get (); }
	double getContentScaleFactor () const { return contentScale; }
	// The frame's window in the host's parent window while open, for hosts that embed it by ID.
	PlatformFrame* getPlatformFrame () const { return platformFrame.get (); }

	Steinberg::tresult PLUGIN_API onSize (Steinberg::ViewRect* newSize) override;
	Steinberg::tresult PLUGIN_API canResize () override { return Steinberg::kResultFalse; }
	Steinberg::tresult PLUGIN_API checkSizeConstraint (Steinberg::ViewRect* rect) override;

	//---IPlugViewContentScaleSupport, UI thread: any finite factor, limited to 1 to 4; an open
	// editor resizes its window and asks the host's frame to resize the view.
	Steinberg::tresult PLUGIN_API setContentScaleFactor (ScaleFactor factor) override;
	// Followed unless the host has set a factor.
	void desktopScaleChanged (double factor) override;

	Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override;
	REFCOUNT_METHODS (Steinberg::Vst::VSTGUIEditor)

	void valueChanged (CControl* control) override;
	void controlBeginEdit (CControl* control) override;
	void controlEndEdit (CControl* control) override;
	CView* createView (const UIAttributes& attributes, const IUIDescription* description) override;
	CView* verifyView (CView* view, const UIAttributes& attributes, const IUIDescription* description) override;
	IController* createSubController (const char* name, const IUIDescription* description) override;

private:
	class ParameterChangeListener;

	bool createFrame (IRunLoop* runLoop);
	void applyScale (double factor);
	CPoint scaled (const CPoint& size) const;
	void applyFocusDrawing ();
	ParameterChangeListener* listenerFor (int32_t tag) const;

	VST3EditorDelegate* delegate;
	std::unique_ptr<UIDescription> description;
	std::string templateName;
	bool templateFound {false};
	CPoint templateSize;
	CPoint minSize;
	CPoint maxSize;
	double contentScale {1.};
	bool scaleFromHost {false};
	std::unique_ptr<CFrame> frame;
	std::unique_ptr<PlatformFrame> platformFrame;
	std::map<int32_t, std::unique_ptr<ParameterChangeListener>> paramChangeListeners;
	CVSTGUITimer updateTimer;
};

} // namespace VSTGUI
