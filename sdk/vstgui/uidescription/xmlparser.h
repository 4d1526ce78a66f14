// The XML reader under Xml::Document: a document's UTF-8 bytes to a flat tree of elements with
// their attributes, or a refusal when the bytes are not well-formed XML. Text, CDATA sections,
// comments, processing instructions, the declaration and a DOCTYPE without internal subset are
// checked and dropped: the description is made of elements and attributes alone. No entity
// is declared or expanded beyond the five predefined ones and character references.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace VSTGUI::Xml {

struct Attribute
{
	std::string_view name;
	std::string_view value;
};

// One element. Its attributes are tree.attributes[firstAttribute, firstAttribute + count);
// children and siblings are indices into tree.elements, kNone where there is none.
struct ElementRecord
{
	static constexpr size_t kNone = ~size_t (0);

	std::string_view name;
	size_t firstAttribute = 0;
	size_t attributeCount = 0;
	size_t firstChild = kNone;
	size_t nextSibling = kNone;
};

// The elements in document order, the root first. Names and values view text, where the
// values are decoded in place (a decoded value is never longer than its source), so the tree
// holds no string of its own and no structure that nests per level.
struct Tree
{
	std::vector<char> text;
	std::vector<ElementRecord> elements;
	std::vector<Attribute> attributes;
};

// Reads tree.text into tree.elements and tree.attributes, which must be empty. False when the
// text is not a well-formed document; the tree is then only fit to be cleared. Time and memory
// are linear in the text's size, nesting needs no stack. Throws std::bad_alloc.
bool parse (Tree& tree);

} // namespace VSTGUI::Xml
