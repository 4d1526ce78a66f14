#include "uiattributes.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>
#include <sstream>

namespace VSTGUI {

namespace {

std::string trim (const std::string& s)
{
	const auto first = s.find_first_not_of (" \t\r\n");
	if (first == std::string::npos)
		return {};
	const auto last = s.find_last_not_of (" \t\r\n");
	return s.substr (first, last - first + 1);
}

// Recursive descent over + - * / and parentheses; fails on anything else.
class Expression
{
public:
	explicit Expression (const std::string& text) : text (text) {}

	std::optional<double> evaluate ()
	{
		auto v = sum ();
		skipSpaces ();
		if (!v || pos != text.size ())
			return {};
		return v;
	}

private:
	void skipSpaces ()
	{
		while (pos < text.size () && std::isspace (static_cast<unsigned char> (text[pos])))
			++pos;
	}
	bool take (char c)
	{
		skipSpaces ();
		if (pos < text.size () && text[pos] == c)
		{
			++pos;
			return true;
		}
		return false;
	}
	std::optional<double> sum ()
	{
		auto v = product ();
		while (v)
		{
			if (take ('+'))
			{
				auto r = product ();
				v = r ? std::optional<double> (*v + *r) : std::nullopt;
			}
			else if (take ('-'))
			{
				auto r = product ();
				v = r ? std::optional<double> (*v - *r) : std::nullopt;
			}
			else
				break;
		}
		return v;
	}
	std::optional<double> product ()
	{
		auto v = factor ();
		while (v)
		{
			if (take ('*'))
			{
				auto r = factor ();
				v = r ? std::optional<double> (*v * *r) : std::nullopt;
			}
			else if (take ('/'))
			{
				auto r = factor ();
				v = (r && *r != 0.) ? std::optional<double> (*v / *r) : std::nullopt;
			}
			else
				break;
		}
		return v;
	}
	std::optional<double> factor ()
	{
		if (take ('('))
		{
			auto v = sum ();
			return (v && take (')')) ? v : std::nullopt;
		}
		if (take ('-'))
		{
			auto v = factor ();
			return v ? std::optional<double> (-*v) : std::nullopt;
		}
		skipSpaces ();
		const size_t start = pos;
		while (pos < text.size () && (std::isdigit (static_cast<unsigned char> (text[pos])) || text[pos] == '.'))
			++pos;
		if (pos == start)
			return {};
		return parseDouble (text.substr (start, pos - start));
	}

	const std::string& text;
	size_t pos {0};
};

std::optional<int32_t> toTag (double v)
{
	if (!std::isfinite (v) || v < std::numeric_limits<int32_t>::min () || v > std::numeric_limits<int32_t>::max ())
		return {};
	return static_cast<int32_t> (v);
}

} // namespace

const std::string* UIAttributes::getAttributeValue (const std::string& name) const
{
	auto it = values.find (name);
	return it == values.end () ? nullptr : &it->second;
}

std::optional<CPoint> UIAttributes::getPointAttribute (const std::string& name) const
{
	const std::string* v = getAttributeValue (name);
	return v ? parsePoint (*v) : std::nullopt;
}

std::optional<bool> UIAttributes::getBooleanAttribute (const std::string& name) const
{
	const std::string* v = getAttributeValue (name);
	return v ? parseBoolean (*v) : std::nullopt;
}

std::optional<double> UIAttributes::getDoubleAttribute (const std::string& name) const
{
	const std::string* v = getAttributeValue (name);
	return v ? parseDouble (*v) : std::nullopt;
}

std::optional<int32_t> UIAttributes::getIntegerAttribute (const std::string& name) const
{
	const std::string* v = getAttributeValue (name);
	return v ? parseLeadingInteger (*v) : std::nullopt;
}

std::optional<CPoint> parsePoint (const std::string& text)
{
	const auto comma = text.find (',');
	if (comma == std::string::npos || text.find (',', comma + 1) != std::string::npos)
		return {};
	const auto x = parseDouble (text.substr (0, comma));
	const auto y = parseDouble (text.substr (comma + 1));
	if (!x || !y)
		return {};
	return CPoint (*x, *y);
}

std::optional<bool> parseBoolean (const std::string& text)
{
	if (text == "true")
		return true;
	if (text == "false")
		return false;
	return {};
}

std::optional<double> parseDouble (const std::string& text)
{
	const std::string t = trim (text);
	if (t.empty ())
		return {};
	std::istringstream in (t);
	in.imbue (std::locale::classic ());
	double v = 0.;
	in >> v;
	if (in.fail () || !in.eof ())
		return {};
	return v;
}

std::optional<int32_t> parseLeadingInteger (const std::string& text)
{
	const char* begin = text.c_str ();
	char* end = nullptr;
	const long v = std::strtol (begin, &end, 10);
	if (end == begin || v < std::numeric_limits<int32_t>::min () || v > std::numeric_limits<int32_t>::max ())
		return {};
	return static_cast<int32_t> (v);
}

std::optional<int32_t> parseTagValue (const std::string& text)
{
	if (!text.empty ())
	{
		const char* begin = text.c_str ();
		char* end = nullptr;
		const long v = std::strtol (begin, &end, 10);
		if (*end == '\0' && !std::isspace (static_cast<unsigned char> (text[0])))
			return toTag (static_cast<double> (v));
	}
	if (text.size () == 6 && text.front () == '\'' && text.back () == '\'')
	{
		uint32_t packed = 0;
		for (size_t i = 1; i < 5; ++i)
			packed = (packed << 8) | static_cast<unsigned char> (text[i]);
		return static_cast<int32_t> (packed);
	}
	if (auto v = Expression (text).evaluate ())
		return toTag (*v);
	return {};
}

} // namespace VSTGUI
