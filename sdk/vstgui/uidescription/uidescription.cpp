#include "uidescription.h"
#include "icontroller.h"
#include "viewfactory.h"

#include "../lib/cviewcontainer.h"
#include "../lib/platform/linux/resourcefolder.h"

#include <pugixml.hpp>

#include <map>

namespace VSTGUI {

namespace {

const char* const kRootName = "vstgui-ui-description";
// Views nested deeper than this are not built: building, drawing and deleting a view tree
// recurse once per level, and a hostile description could otherwise exhaust the stack.
constexpr int kMaxViewDepth = 64;

std::optional<CColor> parseHexColor (const std::string& text)
{
	if ((text.size () != 7 && text.size () != 9) || text[0] != '#')
		return {};
	uint8_t bytes[4] = {0, 0, 0, 255};
	for (size_t i = 0; i * 2 + 1 < text.size (); ++i)
	{
		const std::string pair = text.substr (1 + i * 2, 2);
		char* end = nullptr;
		const long v = std::strtol (pair.c_str (), &end, 16);
		if (*end != '\0' || pair.find_first_of ("+- ") != std::string::npos)
			return {};
		bytes[i] = static_cast<uint8_t> (v);
	}
	return CColor {bytes[0], bytes[1], bytes[2], bytes[3]};
}

UIAttributes attributesOf (const pugi::xml_node& node)
{
	UIAttributes attributes;
	for (const pugi::xml_attribute& a : node.attributes ())
		attributes.setAttribute (a.name (), a.value ());
	return attributes;
}

} // namespace

struct UIDescription::Impl
{
	std::string fileName;
	std::string filePath;
	pugi::xml_document document;
	std::map<std::string, pugi::xml_node> templates;
	std::map<std::string, UIAttributes> templateAttributes;
	std::map<std::string, std::string> bitmapPaths;
	mutable std::map<std::string, CBitmapPtr> bitmapCache;
	std::map<std::string, CColor> colors;
	std::map<std::string, int32_t> tags;
	std::map<std::string, UIAttributes> customAttributes;

	bool readSection (const pugi::xml_node& section);
	bool readEntries (const pugi::xml_node& section, const char* entryName,
	                  void (Impl::*read) (const pugi::xml_node&));
	void readBitmap (const pugi::xml_node& node);
	void readColor (const pugi::xml_node& node);
	void readControlTag (const pugi::xml_node& node);
	void addBuiltinColors ();
	std::string findFile (const std::string& name) const;
	CView* createViewFromNode (const pugi::xml_node& node, IController* controller,
	                           const IUIDescription* description, int depth) const;
};

UIDescription::UIDescription (const std::string& fileName) : impl (std::make_unique<Impl> ())
{
	impl->fileName = fileName;
}

UIDescription::~UIDescription () = default;

std::string UIDescription::Impl::findFile (const std::string& name) const
{
	std::string path = findResource (name);
	if (path.empty () && !filePath.empty () && filePath[0] == '/' && name.find ('/') == std::string::npos)
		path = findFileIgnoringCase (filePath.substr (0, filePath.find_last_of ('/')), name);
	return path;
}

bool UIDescription::parse ()
{
	impl->filePath = findResource (impl->fileName);
	if (impl->filePath.empty ())
		impl->filePath = impl->fileName;
	const std::optional<std::vector<uint8_t>> bytes = readResourceFile (impl->filePath, kMaxFileBytes);
	if (!bytes || !impl->document.load_buffer (bytes->data (), bytes->size ()))
		return false;
	const pugi::xml_node root = impl->document.document_element ();
	if (std::string (root.name ()) != kRootName)
		return false;
	for (const pugi::xml_node& section : root.children ())
	{
		if (section.type () != pugi::node_element)
			continue;
		if (!impl->readSection (section))
			return false;
	}
	impl->addBuiltinColors ();
	return true;
}

bool UIDescription::Impl::readSection (const pugi::xml_node& section)
{
	const std::string name = section.name ();
	if (name == "bitmaps")
		return readEntries (section, "bitmap", &Impl::readBitmap);
	if (name == "colors")
		return readEntries (section, "color", &Impl::readColor);
	if (name == "control-tags")
		return readEntries (section, "control-tag", &Impl::readControlTag);
	if (name == "variables")
		return readEntries (section, "var", nullptr);
	if (name == "template")
	{
		const std::string templateName = section.attribute ("name").value ();
		templates[templateName] = section;
		templateAttributes[templateName] = attributesOf (section);
		return true;
	}
	if (name == "custom")
	{
		for (const pugi::xml_node& set : section.children ("attributes"))
		{
			UIAttributes attributes = attributesOf (set);
			const std::string setName = set.attribute ("name").value ();
			customAttributes[setName] = std::move (attributes);
		}
		return true;
	}
	return name == "fonts" || name == "gradients";
}

bool UIDescription::Impl::readEntries (const pugi::xml_node& section, const char* entryName,
                                       void (Impl::*read) (const pugi::xml_node&))
{
	for (const pugi::xml_node& entry : section.children ())
	{
		if (entry.type () != pugi::node_element)
			continue;
		if (std::string (entry.name ()) != entryName)
			return false;
		if (read)
			(this->*read) (entry);
	}
	return true;
}

void UIDescription::Impl::readBitmap (const pugi::xml_node& node)
{
	bitmapPaths[node.attribute ("name").value ()] = node.attribute ("path").value ();
}

void UIDescription::Impl::readColor (const pugi::xml_node& node)
{
	std::optional<CColor> color;
	if (auto rgba = node.attribute ("rgba"))
		color = parseHexColor (rgba.value ());
	else if (auto rgb = node.attribute ("rgb"))
		color = parseHexColor (rgb.value ());
	else
	{
		auto channel = [&] (const char* name, int fallback) {
			const auto v = parseLeadingInteger (node.attribute (name).as_string ("")).value_or (fallback);
			return static_cast<uint8_t> (std::max (0, std::min (255, v)));
		};
		color = CColor {channel ("red", 0), channel ("green", 0), channel ("blue", 0), channel ("alpha", 255)};
	}
	if (color)
		colors[node.attribute ("name").value ()] = *color;
}

void UIDescription::Impl::readControlTag (const pugi::xml_node& node)
{
	if (auto tag = parseTagValue (node.attribute ("tag").value ()))
		tags[node.attribute ("name").value ()] = *tag;
}

void UIDescription::Impl::addBuiltinColors ()
{
	const std::pair<const char*, CColor> builtins[] = {
	    {"~ BlackCColor", {0, 0, 0, 255}},       {"~ WhiteCColor", {255, 255, 255, 255}},
	    {"~ GreyCColor", {127, 127, 127, 255}},  {"~ RedCColor", {255, 0, 0, 255}},
	    {"~ GreenCColor", {0, 255, 0, 255}},     {"~ BlueCColor", {0, 0, 255, 255}},
	    {"~ YellowCColor", {255, 255, 0, 255}},  {"~ CyanCColor", {0, 255, 255, 255}},
	    {"~ MagentaCColor", {255, 0, 255, 255}}, {"~ TransparentCColor", {255, 255, 255, 0}},
	};
	for (const auto& [name, color] : builtins)
		colors.emplace (name, color);
}

const UIAttributes* UIDescription::getTemplateAttributes (const std::string& name) const
{
	auto it = impl->templateAttributes.find (name);
	return it == impl->templateAttributes.end () ? nullptr : &it->second;
}

CView* UIDescription::createView (const std::string& templateName, IController* controller) const
{
	auto it = impl->templates.find (templateName);
	if (it == impl->templates.end ())
		return nullptr;
	return impl->createViewFromNode (it->second, controller, this, 0);
}

CView* UIDescription::Impl::createViewFromNode (const pugi::xml_node& node, IController* controller,
                                                const IUIDescription* description, int depth) const
{
	if (depth > kMaxViewDepth)
		return nullptr;
	const UIAttributes attributes = attributesOf (node);
	IController* subController = nullptr;
	if (const std::string* name = attributes.getAttributeValue ("sub-controller"); name && controller)
		subController = controller->createSubController (name->c_str (), description);
	if (subController)
		controller = subController;

	CView* view = nullptr;
	if (attributes.hasAttribute ("custom-view-name") && controller)
		view = controller->createView (attributes, description);
	if (view)
		ViewFactory::applyAttributes (view, attributes, description, controller);
	else
		view = ViewFactory::createView (attributes, description, controller);

	if (auto* container = dynamic_cast<CViewContainer*> (view))
	{
		for (const pugi::xml_node& child : node.children ("view"))
			container->addView (createViewFromNode (child, controller, description, depth + 1));
	}
	if (controller)
		view = controller->verifyView (view, attributes, description);
	if (view && subController)
		view->setSubController (std::unique_ptr<IController> (subController));
	else
		delete subController;
	return view;
}

CBitmapPtr UIDescription::getBitmap (const std::string& name) const
{
	auto cached = impl->bitmapCache.find (name);
	if (cached != impl->bitmapCache.end ())
		return cached->second;
	auto entry = impl->bitmapPaths.find (name);
	if (entry == impl->bitmapPaths.end ())
		return nullptr;
	CBitmapPtr bitmap;
	const std::string path = impl->findFile (entry->second);
	if (!path.empty ())
		bitmap = CBitmap::loadPNG (path);
	impl->bitmapCache[name] = bitmap;
	return bitmap;
}

std::optional<CColor> UIDescription::getColor (const std::string& text) const
{
	if (text.empty ())
		return kTransparentCColor;
	auto it = impl->colors.find (text);
	if (it != impl->colors.end ())
		return it->second;
	return parseHexColor (text);
}

int32_t UIDescription::getTagForName (const std::string& name) const
{
	auto it = impl->tags.find (name);
	return it == impl->tags.end () ? -1 : it->second;
}

const UIAttributes* UIDescription::getCustomAttributes (const std::string& name) const
{
	auto it = impl->customAttributes.find (name);
	return it == impl->customAttributes.end () ? nullptr : &it->second;
}

void UIDescription::migrateLegacyFocusAttributes ()
{
	auto legacy = impl->customAttributes.find ("VST3Editor");
	if (legacy == impl->customAttributes.end ())
		return;
	const std::pair<const char*, const char*> keys[] = {
	    {"frame-enable-focus-drawing", "enabled"},
	    {"frame-focus-color", "color"},
	    {"frame-focus-width", "width"},
	};
	for (const auto& [from, to] : keys)
	{
		if (const std::string* v = legacy->second.getAttributeValue (from))
		{
			impl->customAttributes["FocusDrawing"].setAttribute (to, *v);
			legacy->second.removeAttribute (from);
		}
	}
}

} // namespace VSTGUI
