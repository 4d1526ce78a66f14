#include "numbertext.h"
#include "pluginterfaces/base/ustring.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

#if defined(_WIN32)
#include <cctype>
#include <charconv>
#endif

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

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

#if defined(_WIN32)

// Windows has neither uselocale nor strtod_l with the C library's own rounding, so the texts
// are made with the same correctly rounded conversions as on Linux, and the locale is kept
// out by hand: the decimal separator that snprintf writes is replaced by a point, and numbers
// are read with std::from_chars, which knows no locale.

// The "C" locale, created once for the integer reader.
_locale_t cLocale ()
{
	static const _locale_t locale = _create_locale (LC_ALL, "C");
	return locale;
}

bool isCSpace (char c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

void printFixed (double value, int32 precision, String128 out)
{
	char buffer[128] = {};
	std::snprintf (buffer, sizeof buffer, "%.*f", static_cast<int> (precision), value);
	// Sign and whole digits, then whatever the locale writes as its separator, then digits.
	std::string text (buffer);
	size_t wholeEnd = text[0] == '-' ? 1 : 0;
	while (wholeEnd < text.size () && std::isdigit (static_cast<unsigned char> (text[wholeEnd])))
		++wholeEnd;
	size_t fractionStart = wholeEnd;
	while (fractionStart < text.size () && !std::isdigit (static_cast<unsigned char> (text[fractionStart])))
		++fractionStart;
	if (wholeEnd > 0 && fractionStart < text.size () && fractionStart > wholeEnd)
		text.replace (wholeEnd, fractionStart - wholeEnd, ".");
	widen (text.c_str (), out);
}

// Reads what strtod reads in the "C" locale: leading white space, a sign, then a decimal or a
// hexadecimal ("0x") number; the rest of the text is ignored.
bool readDouble (const TChar* text, double& value)
{
	const std::string digits = narrow (text);
	const char* p = digits.c_str ();
	const char* const last = p + digits.size ();
	while (p < last && isCSpace (*p))
		++p;
	const bool negative = p < last && *p == '-';
	if (p < last && (*p == '-' || *p == '+'))
		++p;
	auto format = std::chars_format::general;
	if (last - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
	    (std::isxdigit (static_cast<unsigned char> (p[2])) || p[2] == '.'))
	{
		p += 2;
		format = std::chars_format::hex;
	}
	double number = 0.0;
	const std::from_chars_result read = std::from_chars (p, last, number, format);
	if (read.ptr == p || read.ec == std::errc::result_out_of_range || !std::isfinite (number))
		return false;
	value = negative ? -number : number;
	return true;
}

bool readInt64 (const TChar* text, int64& value)
{
	if (!cLocale ())
		return false;
	const std::string digits = narrow (text);
	char* end = nullptr;
	const long long number = _strtoi64_l (digits.c_str (), &end, 10, cLocale ());
	if (end == digits.c_str ())
		return false;
	value = number;
	return true;
}

#else

// Created once and kept for the life of the process; the *_l calls and uselocale take it
// per call and per thread, so the process locale is neither read nor changed.
locale_t cLocale ()
{
	static const locale_t locale = newlocale (LC_ALL_MASK, "C", locale_t (0));
	return locale;
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

#endif

void printInt64 (int64 value, String128 out)
{
	char buffer[32] = {};
	std::snprintf (buffer, sizeof buffer, "%lld", static_cast<long long> (value));
	widen (buffer, out);
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
