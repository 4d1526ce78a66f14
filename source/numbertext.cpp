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

// Runs `convert` (a strto*_l function) in the "C" locale over the 7-bit start of the text;
// true when it converted a number.
template <typename Number, typename Convert>
bool readNumber (const TChar* text, Number& number, Convert convert)
{
	const locale_t locale = cLocale ();
	if (!locale)
		return false;
	const std::string digits = narrow (text);
	char* end = nullptr;
	number = convert (digits.c_str (), &end, locale);
	return end != digits.c_str ();
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
	double number = 0.0;
	const auto convert = [] (const char* digits, char** end, locale_t locale) {
		return strtod_l (digits, end, locale);
	};
	if (!readNumber (text, number, convert) || !std::isfinite (number))
		return false;
	value = number;
	return true;
}

bool readInt64 (const TChar* text, int64& value)
{
	long long number = 0;
	const auto convert = [] (const char* digits, char** end, locale_t locale) {
		return strtoll_l (digits, end, 10, locale);
	};
	if (!readNumber (text, number, convert))
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
