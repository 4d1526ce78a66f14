#include "baseparameter.h"
#include "numbertext.h"

#include "pluginterfaces/base/ustring.h"
#include <algorithm>
#include <cmath>

namespace Steinberg {
namespace Vst {
namespace Orvix {

BaseParameter::BaseParameter (const TChar* title, const TChar* units, int32 stepCount,
                              ParamValue defaultValueNormalized, int32 flags, ParamID id,
                              UnitID unitId)
{
	if (title)
		UString (info.title, str16BufferSize (String128)).assign (title);
	if (units)
		UString (info.units, str16BufferSize (String128)).assign (units);
	info.stepCount = stepCount;
	info.defaultNormalizedValue = defaultValueNormalized;
	info.flags = flags;
	info.id = id;
	info.unitId = unitId;
	valueNormalized = limit (defaultValueNormalized);
}

ParamValue BaseParameter::limit (ParamValue valueNormalized)
{
	if (std::isnan (valueNormalized))
		return 0.0;
	return std::min (1.0, std::max (0.0, valueNormalized));
}

ParamValue BaseParameter::toPlain (ParamValue valueNormalized) const
{
	return limit (valueNormalized);
}

ParamValue BaseParameter::toNormalized (ParamValue plainValue) const
{
	return limit (plainValue);
}

bool BaseParameter::setNormalized (ParamValue value)
{
	if (std::isnan (value))
		return false;
	return Parameter::setNormalized (value);
}

void BaseParameter::toString (ParamValue valueNormalized, String128 string) const
{
	const ParamValue value = limit (valueNormalized);
	if (info.stepCount == 1)
		UString (string, str16BufferSize (String128)).assign (value > 0.5 ? "On" : "Off");
	else
		printFixed (value, precision, string);
}

bool BaseParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	double number = 0.0;
	if (!readDouble (string, number))
		return false;
	valueNormalized = toNormalized (number);
	return true;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
