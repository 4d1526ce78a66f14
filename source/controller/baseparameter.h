// BaseParameter: a parameter whose info comes whole from one constructor and whose typed-in
// text reads as a plain number limited to the normalised range. The conversions run on the
// host's UI thread, through the controller's getParamStringByValue, getParamValueByString,
// normalizedParamToPlain and plainParamToNormalized.
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class BaseParameter : public Parameter
{
public:
	// The title is cut to 127 code units; units may be null. The current value starts at the
	// default (limited to 0..1), so a host that shows the value before any state arrives shows
	// the default.
	BaseParameter (const TChar* title, const TChar* units, int32 stepCount,
	               ParamValue defaultValueNormalized, int32 flags, ParamID id, UnitID unitId);

	// As the SDK's (clamped to 0..1, dependents told of a change), but a value that is not
	// a number is refused and changes nothing.
	bool setNormalized (ParamValue value) SMTG_OVERRIDE;
	// A switch (step count 1) shows "On" above 0.5 and "Off" otherwise; any other parameter
	// shows its plain value with the precision. Values are limited first (see limit).
	void toString (ParamValue valueNormalized, String128 string) const SMTG_OVERRIDE;
	bool fromString (const TChar* string, ParamValue& valueNormalized) const SMTG_OVERRIDE;
	// The normalised value limited to 0..1, so a host's out-of-range or not-a-number value
	// never gives a plain value outside the range or one that is not finite.
	ParamValue toPlain (ParamValue valueNormalized) const SMTG_OVERRIDE;
	// The normalised value of a plain one, limited to 0..1 the same way.
	ParamValue toNormalized (ParamValue plainValue) const SMTG_OVERRIDE;

	// A normalised value limited to 0..1; not a number gives 0, the parameter's minimum
	// (the first step of a stepped parameter), as no value lies nearer to it than another.
	static ParamValue limit (ParamValue valueNormalized);
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
