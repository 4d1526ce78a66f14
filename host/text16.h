// Conversions between the SDK's 16-bit strings and 8-bit text, for hosts and tests.
#pragma once

#include "pluginterfaces/base/ftypes.h"
#include <string>

namespace kt3host {

// Narrows a terminated 16-bit string; code units above 0x7f become '?'.
inline std::string toAscii (const Steinberg::char16* text)
{
	std::string out;
	for (; text && *text; ++text)
		out += *text < 0x80 ? static_cast<char> (*text) : '?';
	return out;
}

// Widens 8-bit text into a terminated 16-bit buffer of `capacity` code units.
inline void toString16 (const std::string& text, Steinberg::char16* out, size_t capacity)
{
	size_t i = 0;
	for (; i + 1 < capacity && i < text.size (); ++i)
		out[i] = static_cast<unsigned char> (text[i]);
	if (capacity > 0)
		out[i] = 0;
}

} // namespace kt3host
