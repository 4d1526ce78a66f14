// BaseParameter: a parameter whose info comes whole from one constructor and whose typed-in
// text reads as a plain number limited to the normalised range.
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class BaseParameter : public Parameter
{
public:
	// The title is cut to 127 code units; units may be null. The current value starts at 0,
	// not at the default, until the processor's state or the host sets it.
	BaseParameter (const TChar* title, const TChar* units, int32 stepCount,
	               ParamValue defaultValueNormalized, int32 flags, ParamID id, UnitID unitId);

	// As the SDK's (clamped to 0..1, dependents told of a change), but a value that is not
	// a number is refused and changes nothing.
	bool setNormalized (ParamValue value) SMTG_OVERRIDE;
	// A switch (step count 1) shows "On" above 0.5 and "Off" otherwise; any other parameter
	// shows its normalised value with the precision.
	void toString (ParamValue valueNormalized, String128 string) const SMTG_OVERRIDE;
	bool fromString (const TChar* string, ParamValue& valueNormalized) const SMTG_OVERRIDE;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
