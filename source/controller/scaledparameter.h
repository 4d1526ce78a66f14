// ScaledParameter: a continuous parameter whose plain value runs linearly from a minimum at
// normalised 0 to a maximum at 1, shown with its precision (two decimals unless set otherwise)
// or as a whole number.
#pragma once

#include "baseparameter.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ScaledParameter : public BaseParameter
{
public:
	ScaledParameter (const TChar* title, const TChar* units, int32 stepCount,
	                 ParamValue defaultValueNormalized, int32 flags, ParamID id,
	                 ParamValue minPlain, ParamValue maxPlain, bool displayAsInteger,
	                 UnitID unitId);

	// The plain value without its unit: cut toward zero when shown as a whole number.
	// A typed-in text reads as a plain value, limited to the plain range (by toNormalized).
	void toString (ParamValue valueNormalized, String128 string) const SMTG_OVERRIDE;
	ParamValue toPlain (ParamValue valueNormalized) const SMTG_OVERRIDE;
	ParamValue toNormalized (ParamValue plainValue) const SMTG_OVERRIDE;

protected:
	ParamValue minPlain;
	ParamValue maxPlain;
	bool displayAsInteger;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
