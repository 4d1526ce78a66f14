// A parsed XML document as the description reads it: elements with their names, their
// attributes in document order and their child elements in order. Text and the other nodes
// are checked by the reader and not kept (see xmlparser.h).
#pragma once

#include "xmlparser.h"

#include <cstdint>
#include <optional>

namespace VSTGUI::Xml {

class Document;

// A view of one element of a document, or none (false); valid while its document lives and
// is not parsed again. Cheap to copy.
class Element
{
public:
	Element () = default;

	explicit operator bool () const { return document != nullptr; }

	std::string_view name () const;

	struct Attributes
	{
		const Attribute* first;
		const Attribute* last;
		const Attribute* begin () const { return first; }
		const Attribute* end () const { return last; }
	};
	// In document order; names are unique within an element.
	Attributes attributes () const;
	// Empty when the element has no attribute of that name.
	std::optional<std::string_view> attribute (std::string_view name) const;

	// None when there is no such element.
	Element firstChild () const;
	Element nextSibling () const;

private:
	friend class Document;
	Element (const Document* document, size_t index) : document (document), index (index) {}
	const ElementRecord& record () const;
	Element at (size_t i) const;

	const Document* document = nullptr;
	size_t index = 0;
};

class Document
{
public:
	Document () = default;
	Document (const Document&) = delete;
	Document& operator= (const Document&) = delete;

	// Replaces the content with the document in the bytes. False, leaving no element, when
	// they are not a well-formed UTF-8 document or memory runs out; never throws. Any thread
	// may parse a document of its own.
	bool parse (const uint8_t* data, size_t size);

	// None when empty.
	Element root () const;

private:
	friend class Element;
	Tree tree;
};

} // namespace VSTGUI::Xml
