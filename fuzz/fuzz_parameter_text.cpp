// Every parameter's text reading (getParamValueByString) on an arbitrary 16-bit text. An
// accepted text gives a finite value in 0..1. Its display text reads back: a step of the
// bypass switch exactly; a scaled value to within half of the last shown digit (the display
// rounds to two decimals), after which the display text is a fixed point. The input's first
// eight bytes, read as a double, are also given as a normalised value and as a plain one: the
// display text is that of the value limited to 0..1 (not a number: 0), the plain value is
// finite and the normalised value is in 0..1.
#include "fuzzcheck.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace kt3fuzz;

namespace {

bool inUnitRange (ParamValue value)
{
	return std::isfinite (value) && value >= 0.0 && value <= 1.0;
}

// Reads the display text of `value` back; it must be accepted and in range.
ParamValue readBack (IEditController* edit, ParamID id, ParamValue value)
{
	String128 display {};
	require (edit->getParamStringByValue (id, value, display) == kResultOk, "toString answers");
	ParamValue again = -1.0;
	require (edit->getParamValueByString (id, display, again) == kResultOk,
	         "a display text is accepted");
	require (inUnitRange (again), "a display text reads to a value in 0..1");
	return again;
}

// The display text of the input read as a value, and its conversions both ways.
void requireLimited (IEditController* edit, ParamID id, double value)
{
	const double limited = std::isnan (value) ? 0.0 : std::clamp (value, 0.0, 1.0);
	String128 shown {}, expected {};
	require (edit->getParamStringByValue (id, value, shown) == kResultOk &&
	             edit->getParamStringByValue (id, limited, expected) == kResultOk,
	         "toString answers");
	require (std::memcmp (shown, expected, sizeof shown) == 0,
	         "a value outside 0..1 shows as the limited value");
	require (std::isfinite (edit->normalizedParamToPlain (id, value)), "plain values are finite");
	require (inUnitRange (edit->plainParamToNormalized (id, value)),
	         "a plain value converts to a normalised one in 0..1");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8* data, size_t size)
{
	std::vector<char16> text (size / 2 + 1, 0);
	for (size_t i = 0; i + 1 < size; i += 2)
		text[i / 2] = static_cast<char16> (data[i] | data[i + 1] << 8);

	double asValue = 0.0;
	if (size > 0)
		std::memcpy (&asValue, data, std::min (size, sizeof asValue));

	Controller<> controller;
	IEditController* edit = controller.edit;
	for (int32 index = 0; index < edit->getParameterCount (); ++index)
	{
		ParameterInfo info {};
		require (edit->getParameterInfo (index, info) == kResultOk, "getParameterInfo");
		requireLimited (edit, info.id, asValue);
		ParamValue value = -1.0;
		if (edit->getParamValueByString (info.id, text.data (), value) != kResultOk)
			continue;
		require (inUnitRange (value), "an accepted text reads to a value in 0..1");

		const ParamValue shown = readBack (edit, info.id, value);
		if (info.stepCount > 0)
			require (shown == value, "a step's display text reads back exactly");
		else
		{
			const double plainError = std::fabs (edit->normalizedParamToPlain (info.id, shown) -
			                                     edit->normalizedParamToPlain (info.id, value));
			require (plainError <= 0.005 + 1e-9, "a display text reads back to within 0.005");
		}
		require (readBack (edit, info.id, shown) == shown, "a read-back display text is stable");
	}
	return 0;
}
