#include "printabletext.h"

namespace kt3host {

namespace {

void appendEscaped (std::string& out, unsigned char byte)
{
	static const char digits[] = "0123456789abcdef";
	out += "\\x";
	out += digits[byte >> 4];
	out += digits[byte & 15];
}

// The length of the well-formed UTF-8 sequence at `at` (2 to 4 bytes, no overlong forms or
// surrogates, at most U+10FFFF, no C1 control), or 0.
size_t utf8SequenceAt (const std::string& text, size_t at)
{
	const auto byte = [&] (size_t i) { return static_cast<unsigned char> (text[at + i]); };
	const unsigned char lead = byte (0);
	const size_t length = lead >= 0xc2 && lead <= 0xdf ? 2 : lead >= 0xe0 && lead <= 0xef ? 3 : lead >= 0xf0 && lead <= 0xf4 ? 4 : 0;
	if (length == 0 || at + length > text.size ())
		return 0;
	for (size_t i = 1; i < length; ++i)
		if ((byte (i) & 0xc0) != 0x80)
			return 0;
	const unsigned char second = byte (1);
	if ((lead == 0xc2 && second < 0xa0) || (lead == 0xe0 && second < 0xa0) || (lead == 0xed && second > 0x9f) ||
	    (lead == 0xf0 && second < 0x90) || (lead == 0xf4 && second > 0x8f))
		return 0;
	return length;
}

} // namespace

std::string printable (const std::string& text)
{
	std::string out;
	out.reserve (text.size ());
	for (size_t i = 0; i < text.size ();)
	{
		const auto c = static_cast<unsigned char> (text[i]);
		if (c >= 0x20 && c < 0x7f)
			out += text[i++];
		else if (const size_t length = c >= 0x80 ? utf8SequenceAt (text, i) : 0)
		{
			out.append (text, i, length);
			i += length;
		}
		else
			appendEscaped (out, text[i++]);
	}
	return out;
}

} // namespace kt3host
