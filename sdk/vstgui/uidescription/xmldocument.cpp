#include "xmldocument.h"

#include <new>

namespace VSTGUI::Xml {

const ElementRecord& Element::record () const
{
	return document->tree.elements[index];
}

Element Element::at (size_t i) const
{
	return i == ElementRecord::kNone ? Element () : Element (document, i);
}

std::string_view Element::name () const
{
	return record ().name;
}

Element::Attributes Element::attributes () const
{
	const Attribute* first = document->tree.attributes.data () + record ().firstAttribute;
	return {first, first + record ().attributeCount};
}

std::optional<std::string_view> Element::attribute (std::string_view name) const
{
	for (const Attribute& a : attributes ())
		if (a.name == name)
			return a.value;
	return {};
}

Element Element::firstChild () const
{
	return at (record ().firstChild);
}

Element Element::nextSibling () const
{
	return at (record ().nextSibling);
}

bool Document::parse (const uint8_t* data, size_t size)
{
	tree = {};
	try
	{
		tree.text.assign (data, data + size);
		if (Xml::parse (tree))
			return true;
	}
	catch (const std::bad_alloc&)
	{
		// As for a document that is not well-formed: no element, and the caller refuses it.
	}
	tree = {};
	return false;
}

Element Document::root () const
{
	return tree.elements.empty () ? Element () : Element (this, 0);
}

} // namespace VSTGUI::Xml
