#include "numbertext.h"
#include "pluginterfaces/base/ustring.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

// Created once and kept for the life of the process; the *_l calls and uselocale take it
// per call and per thread, so the process locale is neither read nor changed.
locale_t cLocale ()
{
	static const locale_t locale = newlocale (LC_ALL_MASK, "C", locale_t (0));
	return locale;
}

// Number texts are 7-bit: the first code unit beyond that ends the text.
std::string narrow (const TChar* text)
{
	std::string out;
	for (; text && *text && *text < 0x80; ++text)
		out += static_cast<char> (*text);
	return out;
}

void widen (const char* text, String128 out)
{
	UString (out, 128).fromAscii (text);
}

} // namespace

void printFixed (double value, int32 precision, String128 out)
{
	char buffer[128] = {};
	const locale_t previous = uselocale (cLocale ());
	std::snprintf (buffer, sizeof buffer, "%.*f", static_cast<int> (precision), value);
	uselocale (previous);
	widen (buffer, out);
}

void printInt64 (int64 value, String128 out)
{
	char buffer[32] = {};
	std::snprintf (buffer, sizeof buffer, "%lld", static_cast<long long> (value));
	widen (buffer, out);
}

bool readDouble (const TChar* text, double& value)
{
	const locale_t locale = cLocale ();
	if (!locale)
		return false;
	const std::string digits = narrow (text);
	char* end = nullptr;
	const double number = strtod_l (digits.c_str (), &end, locale);
	if (end == digits.c_str () || !std::isfinite (number))
		return false;
	value = number;
	return true;
}

bool readInt64 (const TChar* text, int64& value)
{
	const locale_t locale = cLocale ();
	if (!locale)
		return false;
	const std::string digits = narrow (text);
	char* end = nullptr;
	const long long number = strtoll_l (digits.c_str (), &end, 10, locale);
	if (end == digits.c_str ())
		return false;
	value = number;
	return true;
}

int64 truncateToInt64 (double value)
{
	constexpr double kTwoTo63 = 9223372036854775808.0;
	if (std::isnan (value))
		return 0;
	if (value >= kTwoTo63)
		return std::numeric_limits<int64>::max ();
	if (value < -kTwoTo63)
		return std::numeric_limits<int64>::min ();
	return static_cast<int64> (value);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
