#include "decimaltext.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

size_t digitsFrom (const std::string& text, size_t at)
{
	size_t end = at;
	while (end < text.size () && std::isdigit (static_cast<unsigned char> (text[end])))
		++end;
	return end - at;
}

} // namespace

bool parseDecimal (const std::string& text, const std::string& unit, double& value, std::string& error)
{
	size_t at = text.size () > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
	const size_t whole = digitsFrom (text, at);
	at += whole;
	size_t fraction = 0;
	if (at < text.size () && text[at] == '.')
	{
		fraction = digitsFrom (text, at + 1);
		at += 1 + fraction;
	}
	const std::string rest = text.substr (at);
	const std::string expected = unit.empty () ? "a plain decimal number" : "a plain decimal number, optionally followed by " + unit;
	if (whole + fraction == 0)
	{
		error = "'" + text + "' is not " + expected;
		return false;
	}
	if (rest.size () > 1 && rest[0] == ',' && std::isdigit (static_cast<unsigned char> (rest[1])))
	{
		error = "'" + text + "' has a decimal comma; write a point: " + text.substr (0, at) + "." + rest.substr (1);
		return false;
	}
	if (!rest.empty () && (unit.empty () || (rest != unit && rest != " " + unit)))
	{
		error = "'" + text + "' is not " + expected;
		return false;
	}
	value = std::strtod (text.substr (0, at).c_str (), nullptr);
	if (!std::isfinite (value))
	{
		error = "'" + text + "' is too large";
		return false;
	}
	return true;
}

bool parseWholeNumber (const std::string& text, long lowest, long highest, long& value)
{
	if (text.empty () || text.size () > 9 || digitsFrom (text, 0) != text.size ())
		return false;
	value = std::strtol (text.c_str (), nullptr, 10);
	return value >= lowest && value <= highest;
}
