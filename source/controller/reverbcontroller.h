// ReverbController: the controller base plus the reverb's four parameters, Size, HF Damp, Mix
// and Output, under the IDs the processor stores them by, and the program-change parameter of
// the factory presets, which backs the root unit's program list.
#pragma once

#include "basecontroller.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ReverbController : public BaseController
{
public:
	ReverbController ();

	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API terminate () SMTG_OVERRIDE;
	// Host's UI thread. A value for the program-change parameter also sets Size, HF Damp, Mix
	// and Output to the factory preset it selects, hands them to the processor (whose state then
	// holds them at once) and tells the host that they changed, after this call.
	tresult PLUGIN_API setParamNormalized (ParamID tag, ParamValue value) SMTG_OVERRIDE;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
