// The IPlugFrame that KT3's entries for other plug-in formats (VST 2.4, LV2) give the editor
// view: resizeView asks the real host for the new size through a function and, when the host
// agrees, gives the view that size with onSize, as a VST 3 host does. It offers no run loop, so
// the view keeps serving its events and timers from the host's idle calls. The view holds it
// unreferenced: it must outlive the view.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <functional>
#include <utility>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class HostResizeFrame : public FObject, public IPlugFrame
{
public:
	// True when the host has taken the size width x height for its window.
	using AskHost = std::function<bool (int32 width, int32 height)>;

	explicit HostResizeFrame (AskHost askHost) : askHost (std::move (askHost)) {}

	// UI thread, from the view while it is attached (a change of its content scale factor).
	tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* newSize) SMTG_OVERRIDE
	{
		if (!view || !newSize || !askHost || !askHost (newSize->getWidth (), newSize->getHeight ()))
			return kResultFalse;
		view->onSize (newSize);
		return kResultTrue;
	}

	OBJ_METHODS (HostResizeFrame, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (IPlugFrame)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	AskHost askHost;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
