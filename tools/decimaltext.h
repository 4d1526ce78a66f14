// Numbers as a user types them on kt3-render's command line: plain decimal, nothing else.
#pragma once

#include <string>

// Reads `text` as a plain decimal number (an optional sign, digits, an optional point and
// digits), followed by nothing or by `unit` (directly or after one space). Hexadecimal,
// exponents, infinities and anything else after the number are refused; on refusal `error`
// says why, suggesting the point for a decimal comma.
bool parseDecimal (const std::string& text, const std::string& unit, double& value, std::string& error);

// Reads `text` as a whole number of digits only, from `lowest` to `highest`.
bool parseWholeNumber (const std::string& text, long lowest, long highest, long& value);
