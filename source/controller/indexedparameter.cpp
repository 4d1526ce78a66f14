#include "indexedparameter.h"
#include "numbertext.h"

#include "pluginterfaces/base/ustring.h"
#include <algorithm>

namespace Steinberg {
namespace Vst {
namespace Orvix {

IndexedParameter::IndexedParameter (const TChar* title, const TChar* units, int32 stepCount,
                                    ParamValue defaultValueNormalized, int32 flags, ParamID id,
                                    UnitID unitId)
: BaseParameter (title, units, stepCount, defaultValueNormalized, flags, id, unitId)
, stepNames (static_cast<size_t> (std::max (stepCount + 1, 0)), StepName {})
{
}

void IndexedParameter::setStepName (int32 index, const TChar* text)
{
	if (!text || index < 0 || index >= static_cast<int32> (stepNames.size ()))
		return;
	StepName& name = stepNames[static_cast<size_t> (index)];
	UString (name.data (), static_cast<int32> (name.size ())).assign (text);
}

ParamValue IndexedParameter::toPlain (ParamValue valueNormalized) const
{
	const double steps = info.stepCount;
	return std::min ((steps + 1.0) * limit (valueNormalized), steps);
}

ParamValue IndexedParameter::toNormalized (ParamValue plainValue) const
{
	return limit (plainValue / info.stepCount);
}

void IndexedParameter::toString (ParamValue valueNormalized, String128 string) const
{
	string[0] = 0;
	if (stepNames.empty ())
		return;
	// toPlain limits the value, so below 0 (or not a number) shows the first step.
	const double plain = toPlain (valueNormalized);
	size_t index = 0;
	if (plain >= 1.0)
		index = std::min (static_cast<size_t> (truncateToInt64 (plain)), stepNames.size () - 1);
	UString (string, str16BufferSize (String128)).assign (stepNames[index].data ());
}

bool IndexedParameter::fromString (const TChar* string, ParamValue& valueNormalized) const
{
	if (!string || string[0] == 0)
		return false;
	for (size_t index = 0; index < stepNames.size (); ++index)
	{
		if (strcmp16 (stepNames[index].data (), string) == 0)
		{
			valueNormalized = toNormalized (static_cast<double> (index));
			return true;
		}
	}
	int64 number = 0;
	if (readInt64 (string, number) && number >= 0 && number <= info.stepCount)
	{
		valueNormalized = toNormalized (static_cast<double> (number));
		return true;
	}
	return false;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
