#include "xmlparser.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace VSTGUI::Xml {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t kNone = ElementRecord::kNone;

bool isSpace (char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The code points a document may hold, literally or by reference.
bool isChar (uint32_t c)
{
	return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
	       (c >= 0x10000 && c <= 0x10FFFF);
}

bool isNameStart (uint32_t c)
{
	return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || (c >= 0xC0 && c <= 0xD6) ||
	       (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
	       (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
	       (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
	       (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar (uint32_t c)
{
	return isNameStart (c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7 ||
	       (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// The characters of a public identifier.
bool isPublicIdChar (char c)
{
	return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
	       std::string_view (" \r\n-'()+,./:=?;!*#@$_%").find (c) != std::string_view::npos;
}

bool equalsIgnoringAsciiCase (std::string_view a, std::string_view b)
{
	auto lower = [] (char c) { return c >= 'A' && c <= 'Z' ? char (c - 'A' + 'a') : c; };
	return a.size () == b.size () && std::equal (a.begin (), a.end (), b.begin (), [&] (char x, char y) {
		       return lower (x) == lower (y);
	       });
}

struct CodePoint
{
	uint32_t code;
	size_t length; // 0: no shortest-form UTF-8 sequence starts here
};

CodePoint decodeUtf8 (std::string_view text, size_t at)
{
	const auto byte = [&] (size_t i) { return static_cast<uint8_t> (text[at + i]); };
	const uint8_t lead = byte (0);
	if (lead < 0x80)
		return {lead, 1};
	size_t length = 0;
	uint32_t code = 0;
	uint32_t smallest = 0;
	if ((lead & 0xE0) == 0xC0)
		length = 2, code = lead & 0x1F, smallest = 0x80;
	else if ((lead & 0xF0) == 0xE0)
		length = 3, code = lead & 0x0F, smallest = 0x800;
	else if ((lead & 0xF8) == 0xF0)
		length = 4, code = lead & 0x07, smallest = 0x10000;
	else
		return {0, 0};
	if (text.size () - at < length)
		return {0, 0};
	for (size_t i = 1; i < length; ++i)
	{
		if ((byte (i) & 0xC0) != 0x80)
			return {0, 0};
		code = (code << 6) | (byte (i) & 0x3F);
	}
	return code < smallest ? CodePoint {0, 0} : CodePoint {code, length};
}

// Writes the code point as UTF-8; returns the bytes written.
size_t encodeUtf8 (uint32_t code, char* out)
{
	if (code < 0x80)
	{
		out[0] = char (code);
		return 1;
	}
	size_t length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
	for (size_t i = length - 1; i > 0; --i, code >>= 6)
		out[i] = char (0x80 | (code & 0x3F));
	const uint8_t leads[] = {0, 0, 0xC0, 0xE0, 0xF0};
	out[0] = char (leads[length] | code);
	return length;
}

int digitValue (char c, bool hex)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (hex && c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (hex && c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}

class Parser
{
public:
	explicit Parser (Tree& tree) : tree (tree), text (tree.text.data (), tree.text.size ()) {}

	bool parseDocument ();

private:
	struct OpenElement
	{
		size_t element;
		size_t lastChild;
	};

	bool atEnd () const { return pos == text.size (); }
	bool lookingAt (std::string_view s) const
	{
		return text.size () - pos >= s.size () && text.compare (pos, s.size (), s) == 0;
	}
	bool skip (std::string_view s)
	{
		if (!lookingAt (s))
			return false;
		pos += s.size ();
		return true;
	}
	bool skipSpace ()
	{
		const size_t start = pos;
		while (!atEnd () && isSpace (text[pos]))
			++pos;
		return pos != start;
	}
	bool skipPast (std::string_view terminator)
	{
		const size_t at = text.find (terminator, pos);
		if (at == std::string_view::npos)
			return false;
		pos = at + terminator.size ();
		return true;
	}

	bool charactersAreValid () const;
	std::string_view readName ();
	std::optional<std::string_view> readQuoted ();
	std::optional<uint32_t> readReference ();
	bool parseDeclaration ();
	bool readPseudoAttribute (std::string_view name, std::string_view& value);
	bool parseDoctype ();
	bool parseCommentOrInstruction ();
	bool parseElements ();
	bool checkText (size_t end);
	bool parseStartTag ();
	bool parseAttribute ();
	bool attributeNamesAreUnique (const ElementRecord& element);
	bool parseEndTag ();

	Tree& tree;
	// The document; attribute values are decoded over their own source, behind pos.
	const std::string_view text;
	size_t pos = 0;
	std::vector<OpenElement> open;
	std::vector<std::string_view> names;
};

bool Parser::parseDocument ()
{
	if (!charactersAreValid ())
		return false;
	skip (kByteOrderMark);
	if ((lookingAt ("<?xml ") || lookingAt ("<?xml\t") || lookingAt ("<?xml\n") || lookingAt ("<?xml\r") ||
	     lookingAt ("<?xml?")) &&
	    !parseDeclaration ())
		return false;
	bool doctypeSeen = false;
	for (;;)
	{
		skipSpace ();
		if (lookingAt ("<!DOCTYPE"))
		{
			if (doctypeSeen || !parseDoctype ())
				return false;
			doctypeSeen = true;
		}
		else if (lookingAt ("<!--") || lookingAt ("<?"))
		{
			if (!parseCommentOrInstruction ())
				return false;
		}
		else
			break;
	}
	if (!lookingAt ("<") || !parseElements ())
		return false;
	for (;;)
	{
		skipSpace ();
		if (atEnd ())
			return true;
		if (!parseCommentOrInstruction ())
			return false;
	}
}

// UTF-8 throughout, and no code point a document may not hold (NUL and other controls).
bool Parser::charactersAreValid () const
{
	for (size_t at = 0; at < text.size ();)
	{
		const CodePoint c = decodeUtf8 (text, at);
		if (c.length == 0 || !isChar (c.code))
			return false;
		at += c.length;
	}
	return true;
}

// Empty when no name starts at pos.
std::string_view Parser::readName ()
{
	const size_t start = pos;
	while (!atEnd ())
	{
		const CodePoint c = decodeUtf8 (text, pos);
		if (c.length == 0 || !(pos == start ? isNameStart (c.code) : isNameChar (c.code)))
			break;
		pos += c.length;
	}
	return text.substr (start, pos - start);
}

// A literal in single or double quotes, without them.
std::optional<std::string_view> Parser::readQuoted ()
{
	if (atEnd () || (text[pos] != '"' && text[pos] != '\''))
		return {};
	const size_t end = text.find (text[pos], pos + 1);
	if (end == std::string_view::npos)
		return {};
	const std::string_view literal = text.substr (pos + 1, end - pos - 1);
	pos = end + 1;
	return literal;
}

// The code point of the entity or character reference at pos (at its '&'), which it passes.
std::optional<uint32_t> Parser::readReference ()
{
	++pos;
	if (skip ("#"))
	{
		const bool hex = skip ("x");
		const size_t digits = pos;
		uint32_t code = 0;
		for (int d; !atEnd () && (d = digitValue (text[pos], hex)) >= 0; ++pos)
			code = std::min<uint32_t> (code * (hex ? 16 : 10) + uint32_t (d), 0x110000);
		if (pos == digits || !skip (";") || !isChar (code))
			return {};
		return code;
	}
	const std::pair<std::string_view, char> predefined[] = {
	    {"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"apos;", '\''}, {"quot;", '"'},
	};
	for (const auto& [name, c] : predefined)
		if (skip (name))
			return uint32_t (c);
	return {};
}

// <?xml version="1.x" encoding="UTF-8" standalone="yes"?>, the last two optional: this reader
// takes no other encoding.
bool Parser::parseDeclaration ()
{
	pos += 5;
	std::string_view value;
	if (!skipSpace () || !readPseudoAttribute ("version", value) || value.size () < 3 ||
	    value.substr (0, 2) != "1." || value.find_first_not_of ("0123456789", 2) != std::string_view::npos)
		return false;
	bool space = skipSpace ();
	if (space && lookingAt ("encoding"))
	{
		if (!readPseudoAttribute ("encoding", value) || !equalsIgnoringAsciiCase (value, "UTF-8"))
			return false;
		space = skipSpace ();
	}
	if (space && lookingAt ("standalone"))
	{
		if (!readPseudoAttribute ("standalone", value) || (value != "yes" && value != "no"))
			return false;
		skipSpace ();
	}
	return skip ("?>");
}

bool Parser::readPseudoAttribute (std::string_view name, std::string_view& value)
{
	if (!skip (name))
		return false;
	skipSpace ();
	if (!skip ("="))
		return false;
	skipSpace ();
	const std::optional<std::string_view> quoted = readQuoted ();
	if (!quoted)
		return false;
	value = *quoted;
	return true;
}

// <!DOCTYPE name>, with a SYSTEM or PUBLIC identifier or none. Nothing is loaded. An internal
// subset is refused: it could declare entities, which this reader does not expand.
bool Parser::parseDoctype ()
{
	pos += 9;
	if (!skipSpace () || readName ().empty ())
		return false;
	if (skipSpace () && (lookingAt ("SYSTEM") || lookingAt ("PUBLIC")))
	{
		const bool isPublic = lookingAt ("PUBLIC");
		pos += 6;
		if (!skipSpace ())
			return false;
		if (isPublic)
		{
			const std::optional<std::string_view> id = readQuoted ();
			if (!id || !std::all_of (id->begin (), id->end (), isPublicIdChar) || !skipSpace ())
				return false;
		}
		if (!readQuoted ())
			return false;
		skipSpace ();
	}
	return skip (">");
}

// A comment (without "--" inside) or a processing instruction (not named "xml" in any case,
// which only the declaration at the very start may be).
bool Parser::parseCommentOrInstruction ()
{
	if (skip ("<!--"))
	{
		const size_t dashes = text.find ("--", pos);
		if (dashes == std::string_view::npos)
			return false;
		pos = dashes + 2;
		return skip (">");
	}
	if (!skip ("<?"))
		return false;
	const std::string_view target = readName ();
	if (target.empty () || equalsIgnoringAsciiCase (target, "xml"))
		return false;
	if (skip ("?>"))
		return true;
	return skipSpace () && skipPast ("?>");
}

// The root element and all it holds, with the open elements on an explicit stack.
bool Parser::parseElements ()
{
	if (!parseStartTag ())
		return false;
	while (!open.empty ())
	{
		const size_t markup = text.find ('<', pos);
		if (markup == std::string_view::npos || !checkText (markup))
			return false;
		bool ok = true;
		if (lookingAt ("</"))
			ok = parseEndTag ();
		else if (lookingAt ("<!--") || lookingAt ("<?"))
			ok = parseCommentOrInstruction ();
		else if (skip ("<![CDATA["))
			ok = skipPast ("]]>");
		else
			ok = parseStartTag ();
		if (!ok)
			return false;
	}
	return true;
}

// Text from pos to end: every reference known and valid, no "]]>". It is not kept.
bool Parser::checkText (size_t end)
{
	if (text.substr (pos, end - pos).find ("]]>") != std::string_view::npos)
		return false;
	while (pos < end)
	{
		if (text[pos] != '&')
			++pos;
		else if (!readReference ())
			return false;
	}
	return true;
}

bool Parser::parseStartTag ()
{
	++pos;
	ElementRecord element;
	element.name = readName ();
	element.firstAttribute = tree.attributes.size ();
	if (element.name.empty ())
		return false;
	for (;;)
	{
		const bool space = skipSpace ();
		if (atEnd ())
			return false;
		if (text[pos] == '>' || lookingAt ("/>"))
			break;
		if (!space || !parseAttribute ())
			return false;
	}
	element.attributeCount = tree.attributes.size () - element.firstAttribute;
	if (!attributeNamesAreUnique (element))
		return false;

	const size_t index = tree.elements.size ();
	tree.elements.push_back (element);
	if (!open.empty ())
	{
		OpenElement& parent = open.back ();
		size_t& link = parent.lastChild == kNone ? tree.elements[parent.element].firstChild
		                                         : tree.elements[parent.lastChild].nextSibling;
		link = index;
		parent.lastChild = index;
	}
	if (skip ("/>"))
		return true;
	++pos;
	open.push_back ({index, kNone});
	return true;
}

// name="value" or name='value'. The value's references are decoded and its tabs, line feeds
// and carriage returns become spaces, a CR LF pair one space.
bool Parser::parseAttribute ()
{
	Attribute attribute;
	attribute.name = readName ();
	if (attribute.name.empty ())
		return false;
	skipSpace ();
	if (!skip ("="))
		return false;
	skipSpace ();
	if (atEnd () || (text[pos] != '"' && text[pos] != '\''))
		return false;
	const char quote = text[pos++];
	char* const value = tree.text.data () + pos;
	size_t length = 0;
	for (;;)
	{
		if (atEnd ())
			return false;
		const char c = text[pos];
		if (c == quote)
			break;
		if (c == '<')
			return false;
		if (c == '&')
		{
			const std::optional<uint32_t> code = readReference ();
			if (!code)
				return false;
			length += encodeUtf8 (*code, value + length);
			continue;
		}
		if (c == '\r' && lookingAt ("\r\n"))
			++pos;
		value[length++] = isSpace (c) ? ' ' : c;
		++pos;
	}
	++pos;
	attribute.value = std::string_view (value, length);
	tree.attributes.push_back (attribute);
	return true;
}

// Sorted rather than compared in pairs, so an element of many attributes costs n log n.
bool Parser::attributeNamesAreUnique (const ElementRecord& element)
{
	names.clear ();
	for (size_t i = 0; i < element.attributeCount; ++i)
		names.push_back (tree.attributes[element.firstAttribute + i].name);
	std::sort (names.begin (), names.end ());
	return std::adjacent_find (names.begin (), names.end ()) == names.end ();
}

bool Parser::parseEndTag ()
{
	pos += 2;
	const std::string_view name = readName ();
	skipSpace ();
	if (name.empty () || name != tree.elements[open.back ().element].name || !skip (">"))
		return false;
	open.pop_back ();
	return true;
}

} // namespace

bool parse (Tree& tree)
{
	return Parser (tree).parseDocument ();
}

} // namespace VSTGUI::Xml
