// ReverbController: the controller base plus the reverb's four parameters, Size, HF Damp, Mix
// and Output, under the IDs the processor stores them by.
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
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
