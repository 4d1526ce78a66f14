// A view's attributes as read from the description, with the value syntax of the format.
#pragma once

#include "../lib/crect.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace VSTGUI {

class UIAttributes
{
public:
	void setAttribute (const std::string& name, const std::string& value) { values[name] = value; }
	void removeAttribute (const std::string& name) { values.erase (name); }
	bool hasAttribute (const std::string& name) const { return values.count (name) != 0; }
	// Null when absent.
	const std::string* getAttributeValue (const std::string& name) const;

	// Each getter is empty when the attribute is absent or its text does not parse.
	std::optional<CPoint> getPointAttribute (const std::string& name) const;
	std::optional<bool> getBooleanAttribute (const std::string& name) const;
	std::optional<double> getDoubleAttribute (const std::string& name) const;
	std::optional<int32_t> getIntegerAttribute (const std::string& name) const;

	const std::map<std::string, std::string>& all () const { return values; }

private:
	std::map<std::string, std::string> values;
};

// "x, y": exactly one comma, each side a number (spaces allowed).
std::optional<CPoint> parsePoint (const std::string& text);
// Only "true" and "false".
std::optional<bool> parseBoolean (const std::string& text);
// A whole decimal number, independent of the locale, surrounding spaces allowed.
std::optional<double> parseDouble (const std::string& text);
// A leading decimal integer as strtol reads it ("7xyz" gives 7).
std::optional<int32_t> parseLeadingInteger (const std::string& text);
// Whole-string integer, four characters in single quotes packed big-endian, or an arithmetic
// expression of + - * / and parentheses, truncated.
std::optional<int32_t> parseTagValue (const std::string& text);

} // namespace VSTGUI
