// KT3ControllerWithUI: the registered controller; the reverb's parameter set with the
// editor view.
#pragma once

#include "reverbcontroller.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class KT3ControllerWithUI : public ReverbController
{
public:
	IPlugView* PLUGIN_API createView (FIDString name) SMTG_OVERRIDE;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
