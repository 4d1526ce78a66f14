// The description's XML reader: what a well-formed document gives (elements, attributes and
// their decoded values), what it refuses, and hostile shapes at the description's size limit.
#include "offscreeneditor.h"
#include "scratchresources.h"

#include "vstgui/uidescription/uidescription.h"
#include "vstgui/uidescription/xmldocument.h"

#include <chrono>

using namespace VSTGUI;

namespace {

bool parses (Xml::Document& document, const std::string& text)
{
	return document.parse (reinterpret_cast<const uint8_t*> (text.data ()), text.size ());
}

bool parses (const std::string& text)
{
	Xml::Document document;
	return parses (document, text);
}

// The value of the root's attribute a.
std::string rootValue (const std::string& quotedValue)
{
	Xml::Document document;
	if (!parses (document, "<r a=" + quotedValue + "/>"))
		return "(refused)";
	return std::string (document.root ().attribute ("a").value_or ("(absent)"));
}

std::vector<std::string> childNames (const Xml::Element& element)
{
	std::vector<std::string> names;
	for (Xml::Element child = element.firstChild (); child; child = child.nextSibling ())
		names.emplace_back (child.name ());
	return names;
}

// Seconds the parse of text takes; expects the outcome given.
double secondsToParse (const std::string& text, bool expected)
{
	Xml::Document document;
	const auto start = std::chrono::steady_clock::now ();
	EXPECT_EQ (parses (document, text), expected);
	return std::chrono::duration<double> (std::chrono::steady_clock::now () - start).count ();
}

} // namespace

TEST (EditorXml, ElementsAttributesAndChildrenInDocumentOrder)
{
	Xml::Document document;
	ASSERT_TRUE (parses (document, "<root z=\"1\" a='2' m=\"\">text<b/>more<a x=\"y\"></a><c><d/></c>"
	                               "<!-- c --><?pi data?><![CDATA[<e/>]]></root>"));
	const Xml::Element root = document.root ();
	ASSERT_TRUE (root);
	EXPECT_EQ (root.name (), "root");
	std::vector<std::pair<std::string, std::string>> attributes;
	for (const Xml::Attribute& a : root.attributes ())
		attributes.emplace_back (a.name, a.value);
	EXPECT_EQ (attributes, (std::vector<std::pair<std::string, std::string>> {{"z", "1"}, {"a", "2"}, {"m", ""}}));
	// Present but empty differs from absent.
	EXPECT_EQ (root.attribute ("m"), std::string_view ());
	EXPECT_FALSE (root.attribute ("n"));
	// Text, comments, instructions and CDATA give no element.
	EXPECT_EQ (childNames (root), (std::vector<std::string> {"b", "a", "c"}));
	const Xml::Element a = root.firstChild ().nextSibling ();
	EXPECT_EQ (a.attribute ("x"), "y");
	EXPECT_FALSE (a.firstChild ());
	EXPECT_EQ (childNames (a.nextSibling ()), std::vector<std::string> {"d"});
	EXPECT_FALSE (a.nextSibling ().nextSibling ());
	// Names of other scripts, colons, dots and dashes.
	ASSERT_TRUE (parses (document, "<\xC3\xA9t\xC3\xA9 ns:a-b.c_1=\"v\"/>"));
	EXPECT_EQ (document.root ().name (), "\xC3\xA9t\xC3\xA9");
	EXPECT_EQ (document.root ().attribute ("ns:a-b.c_1"), "v");
	// A failed parse leaves no element behind.
	EXPECT_FALSE (parses (document, "<a><b></a>"));
	EXPECT_FALSE (document.root ());
}

TEST (EditorXml, PrologAndEpilogueForms)
{
	const char* const documents[] = {
	    "<r/>",
	    "\xEF\xBB\xBF<r/>",
	    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><r/>",
	    "<?xml version='1.1' encoding='utf-8' standalone='yes'?>\n<r/>\n",
	    "<?xml version = \"1.0\" ?><r/>",
	    "<!-- before --><?style sheet?>\n<!DOCTYPE r>\n<!-- between --><r/><!-- after --><?pi?>\r\n\t ",
	    "<!DOCTYPE r SYSTEM \"r.dtd\"><r/>",
	    "<!DOCTYPE r PUBLIC \"-//KT3//Description 1.0//EN\" 'r>.dtd' ><r/>",
	    "<?xml-stylesheet href=\"a\"?><r/>",
	    "<r\n\tattr\r\n=\n'1'\n></r\n>",
	};
	for (const char* text : documents)
	{
		SCOPED_TRACE (text);
		Xml::Document document;
		ASSERT_TRUE (parses (document, text));
		EXPECT_EQ (document.root ().name (), "r");
	}
}

TEST (EditorXml, AttributeValuesAreDecodedAndTheirWhitespaceTurnedIntoSpaces)
{
	EXPECT_EQ (rootValue ("\"&lt;&gt;&amp;&apos;&quot;\""), "<>&'\"");
	EXPECT_EQ (rootValue ("\"'single' inside\""), "'single' inside");
	EXPECT_EQ (rootValue ("'\"double\" inside'"), "\"double\" inside");
	EXPECT_EQ (rootValue ("\"a > b\""), "a > b");
	// Character references, decimal and hex, of one to four UTF-8 bytes; leading zeros.
	EXPECT_EQ (rootValue ("\"&#65;&#x42;&#x00000043;&#233;&#x20AC;&#x1F600;&#x10FFFF;\""),
	           "ABC\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
	EXPECT_EQ (rootValue ("\"&#xe9;&#xE9;\""), "\xC3\xA9\xC3\xA9");
	// Literal tab, line feed, carriage return and CR LF each become one space; referenced ones stay.
	EXPECT_EQ (rootValue ("\"a\tb\nc\rd\r\ne  f\""), "a b c d e  f");
	EXPECT_EQ (rootValue ("\"a&#9;b&#10;c&#13;d&#x20;e\""), "a\tb\nc\rd e");
	// Raw UTF-8 passes as it is.
	EXPECT_EQ (rootValue ("\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
	// Text may hold references and CDATA anything but its end.
	EXPECT_TRUE (parses ("<r>a &amp; b &#x3C; &#60;<![CDATA[ <x> & ]] ]> ]]></r>"));
}

TEST (EditorXml, DocumentsThatAreNotWellFormedAreRefused)
{
	const std::pair<const char*, std::string> cases[] = {
	    {"empty", ""},
	    {"byte order mark only", "\xEF\xBB\xBF"},
	    {"no root, only a comment", "<!-- c -->"},
	    // Tags.
	    {"mismatched end tag", "<a><b></a></b>"},
	    {"unclosed element", "<a><b></b>"},
	    {"unclosed root", "<a>"},
	    {"end tag without a start", "<a></a></b>"},
	    {"end tag with attributes", "<a></a x=\"1\">"},
	    {"start tag cut", "<a"},
	    {"second root", "<a/><b/>"},
	    {"text before the root", "x<a/>"},
	    {"text after the root", "<a/>x"},
	    {"CDATA outside the root", "<![CDATA[x]]><a/>"},
	    // Names.
	    {"name starting with a digit", "<1a/>"},
	    {"space before the name", "< a/>"},
	    {"attribute name starting with a digit", "<a 1b=\"x\"/>"},
	    {"markup declaration in content", "<a><!ELEMENT a ANY></a>"},
	    // Attributes.
	    {"duplicate attribute", "<a x=\"1\" y=\"2\" x=\"3\"/>"},
	    {"no space between attributes", "<a x=\"1\"y=\"2\"/>"},
	    {"unquoted value", "<a x=1/>"},
	    {"no equals sign", "<a x \"1\"/>"},
	    {"unterminated value", "<a x=\"1/>"},
	    {"'<' in a value", "<a x=\"a<b\"/>"},
	    // References.
	    {"unknown entity", "<a x=\"&nbsp;\"/>"},
	    {"unknown entity in text", "<a>&copy;</a>"},
	    {"entity without ';'", "<a x=\"&lt\"/>"},
	    {"bare '&'", "<a>fish & chips</a>"},
	    {"NUL by reference", "<a x=\"&#0;\"/>"},
	    {"control character by reference", "<a x=\"&#1;\"/>"},
	    {"surrogate by reference", "<a x=\"&#xD800;\"/>"},
	    {"non-character by reference", "<a x=\"&#xFFFE;\"/>"},
	    {"past the last code point", "<a x=\"&#x110000;\"/>"},
	    {"huge decimal reference", "<a x=\"&#99999999999999999999999;\"/>"},
	    {"reference without digits", "<a x=\"&#;\"/>"},
	    {"hex reference without digits", "<a x=\"&#x;\"/>"},
	    {"upper-case X in a hex reference", "<a x=\"&#X41;\"/>"},
	    {"hex digits in a decimal reference", "<a x=\"&#4a;\"/>"},
	    // Comments, CDATA, instructions.
	    {"unterminated comment", "<a><!-- c </a>"},
	    {"'--' in a comment", "<a><!-- a -- b --></a>"},
	    {"comment ending in '--->'", "<a><!-- a ---></a>"},
	    {"unterminated CDATA", "<a><![CDATA[ x </a>"},
	    {"']]>' in text", "<a>x ]]> y</a>"},
	    {"unterminated instruction", "<a><?pi x </a>"},
	    {"instruction without a target", "<a><? x ?></a>"},
	    {"instruction named xml in content", "<a><?xml version=\"1.0\"?></a>"},
	    {"reserved instruction name in another case", "<?XML version=\"1.0\"?><a/>"},
	    // Declaration and DOCTYPE.
	    {"declaration after white space", " <?xml version=\"1.0\"?><a/>"},
	    {"declaration without version", "<?xml encoding=\"UTF-8\"?><a/>"},
	    {"declaration with a bad version", "<?xml version=\"2.0\"?><a/>"},
	    {"declaration of another encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>"},
	    {"declaration with unknown pseudo-attribute", "<?xml version=\"1.0\" colour=\"red\"?><a/>"},
	    {"DOCTYPE with an internal subset",
	     "<!DOCTYPE a [<!ENTITY e \"expanded\">]><a x=\"&e;\"/>"},
	    {"DOCTYPE after the root", "<a/><!DOCTYPE a>"},
	    {"two DOCTYPEs", "<!DOCTYPE a><!DOCTYPE a><a/>"},
	    {"DOCTYPE without a name", "<!DOCTYPE><a/>"},
	    {"DOCTYPE with a bad public identifier", "<!DOCTYPE a PUBLIC \"{x}\" \"a.dtd\"><a/>"},
	    // Bytes.
	    {"NUL byte", std::string ("<a x=\"\0\"/>", 10)},
	    {"control character", "<a>\x01</a>"},
	    {"lone continuation byte", "<a>\x80</a>"},
	    {"overlong encoding", "<a>\xC0\xBC</a>"},
	    {"encoded surrogate", "<a>\xED\xA0\x80</a>"},
	    {"past the last code point, encoded", "<a>\xF4\x90\x80\x80</a>"},
	    {"sequence cut by the end", "<a/>\xE2\x82"},
	    {"UTF-16 byte order mark", std::string ("\xFF\xFE<\0a\0/\0>\0", 10)},
	};
	for (const auto& [what, text] : cases)
	{
		SCOPED_TRACE (what);
		EXPECT_FALSE (parses (text));
	}
}

TEST (EditorXml, EveryTruncationIsRefused)
{
	// Every construct before and inside the root, which ends the document: any cut leaves
	// something open.
	const std::string text =
	    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE r SYSTEM \"r.dtd\">"
	    "<!-- c --><?pi x?><r a=\"&amp;&#233;&#x1F600;\" b='\xE2\x82\xAC'><e/>t&lt;<![CDATA[x]]><f g=\"1\"></f></r>";
	ASSERT_TRUE (parses (text));
	for (size_t size = 0; size < text.size (); ++size)
	{
		SCOPED_TRACE (size);
		// A copy of exactly that size, so a read past the end is caught by the sanitizers.
		const std::vector<uint8_t> cut (text.begin (), text.begin () + static_cast<ptrdiff_t> (size));
		Xml::Document document;
		EXPECT_FALSE (document.parse (cut.data (), cut.size ()));
	}
}

TEST (EditorXml, HostileShapesAtTheDescriptionLimitParseInLinearTime)
{
	// A step quadratic in the input would take hours on each of these; a linear one takes well
	// under a second, a few times more under the sanitizers.
	const double limit = 10;
	const size_t n = UIDescription::kMaxFileBytes / 8;
	auto repeat = [] (const std::string& s, size_t times) {
		std::string out;
		out.reserve (s.size () * times);
		for (size_t i = 0; i < times; ++i)
			out += s;
		return out;
	};
	// Half a million levels: no recursion, every level reached, and the document is freed
	// without recursing either.
	{
		const std::string deep = repeat ("<a>", n) + repeat ("</a>", n);
		Xml::Document document;
		ASSERT_TRUE (parses (document, deep));
		size_t depth = 0;
		for (Xml::Element e = document.root (); e; e = e.firstChild ())
			++depth;
		EXPECT_EQ (depth, n);
		EXPECT_LT (secondsToParse (deep, true), limit);
		EXPECT_LT (secondsToParse (repeat ("<a>", n * 2), false), limit);
	}
	// One element of a quarter million attributes, then the same with a duplicate at the end.
	std::string attributes;
	for (size_t i = 0; i < n / 2; ++i)
		attributes += " a" + std::to_string (i) + "=''";
	EXPECT_LT (secondsToParse ("<r" + attributes + "/>", true), limit);
	EXPECT_LT (secondsToParse ("<r" + attributes + " a0=''/>", false), limit);
	// Half a million siblings, references, comments and CDATA sections.
	EXPECT_LT (secondsToParse ("<r>" + repeat ("<a/>", n) + "</r>", true), limit);
	EXPECT_LT (secondsToParse ("<r a=\"" + repeat ("&amp;", n / 2) + "\">" + repeat ("&#x41;", n / 2) + "</r>", true),
	           limit);
	EXPECT_LT (secondsToParse ("<r>" + repeat ("<!---->x<![CDATA[]]>", n / 4) + "</r>", true), limit);
}

TEST (EditorXml, DescriptionValuesReachTheViewsDecoded)
{
	ScratchResources r;
	r.writeDescription ("FX_KT3.uidesc",
	                    "<template name=\"Editor\" size=\"100,&#x20;50\" class=\"CViewContainer\">"
	                    "<view class=\"CAnimKnob\" origin=\"10,\n10\" size=\"20, 20\" control-tag=\"Root::Size\""
	                    " tooltip=\"size &amp; &quot;room&quot;\tin m\"/></template>"
	                    "<control-tags><control-tag name=\"Root::Size\" tag=\"&#48;\"/></control-tags>");
	OffscreenEditor e (0.7, 0.7, 0.9, r.folder);
	ASSERT_NE (e.frame, nullptr);
	EXPECT_EQ (e.frame->getViewSize (), CRect (0, 0, 100, 50));
	auto* knob = dynamic_cast<CAnimKnob*> (e.panel ()->getView (0));
	ASSERT_NE (knob, nullptr);
	EXPECT_EQ (knob->getViewSize (), CRect (10, 10, 30, 30));
	EXPECT_EQ (knob->getTag (), 0);
	EXPECT_EQ (knob->getTooltipText (), "size & \"room\" in m");
}

TEST (EditorXml, DescriptionsThatAreNotWellFormedGiveNoEditor)
{
	const std::string knob = "<view class=\"CAnimKnob\" origin=\"10, 10\" size=\"20, 20\" ";
	const std::pair<const char*, std::string> cases[] = {
	    {"duplicate attribute", knob + "control-tag=\"Root::Size\" control-tag=\"Root::Mix\"/>"},
	    {"unknown entity", knob + "tooltip=\"&nbsp;\"/>"},
	    {"'<' in a value", knob + "tooltip=\"a<b\"/>"},
	};
	for (const auto& [what, view] : cases)
	{
		SCOPED_TRACE (what);
		ScratchResources r;
		r.writeDescription ("FX_KT3.uidesc",
		                    "<template name=\"Editor\" size=\"100, 50\" class=\"CViewContainer\">" + view + "</template>");
		OffscreenEditor e (0.7, 0.7, 0.9, r.folder);
		EXPECT_EQ (e.frame, nullptr);
	}
}
