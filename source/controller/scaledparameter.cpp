#include "scaledparameter.h"
#include "numbertext.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

ScaledParameter::ScaledParameter (const TChar* title, const TChar* units, int32 stepCount,
                                  ParamValue defaultValueNormalized, int32 flags, ParamID id,
                                  ParamValue minPlain, ParamValue maxPlain, bool displayAsInteger,
                                  UnitID unitId)
: BaseParameter (title, units, stepCount, defaultValueNormalized, flags, id, unitId)
, minPlain (minPlain)
, maxPlain (maxPlain)
, displayAsInteger (displayAsInteger)
{
	precision = 2;
}

ParamValue ScaledParameter::toPlain (ParamValue valueNormalized) const
{
	return (maxPlain - minPlain) * limit (valueNormalized) + minPlain;
}

ParamValue ScaledParameter::toNormalized (ParamValue plainValue) const
{
	return limit ((plainValue - minPlain) / (maxPlain - minPlain));
}

void ScaledParameter::toString (ParamValue valueNormalized, String128 string) const
{
	if (displayAsInteger)
		printInt64 (truncateToInt64 (toPlain (valueNormalized)), string);
	else
		printFixed (toPlain (valueNormalized), precision, string);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
