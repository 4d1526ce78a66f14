#include "uidescription.h"
#include "icontroller.h"
#include "viewfactory.h"

#include "../lib/cviewcontainer.h"
#if defined(_WIN32)
#include "../lib/platform/win32/win32resources.h"
#else
#include "../lib/platform/linux/resourcefolder.h"
#endif

#include "xmldocument.h"

#include <map>
#include <new>

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

UIAttributes attributesOf (const Xml::Element& element)
{
	UIAttributes attributes;
	for (const Xml::Attribute& a : element.attributes ())
		attributes.setAttribute (std::string (a.name), std::string (a.value));
	return attributes;
}

// Empty when absent.
std::string valueOf (const Xml::Element& element, std::string_view name)
{
	return std::string (element.attribute (name).value_or (""));
}

} // namespace

struct UIDescription::Impl
{
	std::string fileName;
	std::string filePath;
	Xml::Document document;
	std::map<std::string, Xml::Element> templates;
	std::map<std::string, UIAttributes> templateAttributes;
	std::map<std::string, std::string> bitmapPaths;
	mutable std::map<std::string, CBitmapPtr> bitmapCache;
	std::map<std::string, CColor> colors;
	std::map<std::string, int32_t> tags;
	std::map<std::string, UIAttributes> customAttributes;

	bool readSection (const Xml::Element& section);
	bool readEntries (const Xml::Element& section, std::string_view entryName,
	                  void (Impl::*read) (const Xml::Element&));
	void readBitmap (const Xml::Element& element);
	void readColor (const Xml::Element& element);
	void readControlTag (const Xml::Element& element);
	void addBuiltinColors ();
	std::optional<std::vector<uint8_t>> readDescription ();
	// One image file; its platform's way of finding it.
	CBitmapPtr loadImage (const std::string& path) const;
	CBitmapPtr loadBitmap (const std::string& path) const;
	CView* createViewFromElement (const Xml::Element& element, IController* controller,
	                              const IUIDescription* description, int depth) const;
};

UIDescription::UIDescription (const std::string& fileName) : impl (std::make_unique<Impl> ())
{
	impl->fileName = fileName;
}

UIDescription::~UIDescription () = default;

#if defined(_WIN32)

// On Windows the description and the bitmaps are resources of the module, found by name.
std::optional<std::vector<uint8_t>> UIDescription::Impl::readDescription ()
{
	return readModuleResource (fileName, kDescriptionResourceType, kMaxFileBytes);
}

CBitmapPtr UIDescription::Impl::loadImage (const std::string& path) const
{
	const std::optional<std::vector<uint8_t>> bytes =
	    readModuleResource (path, kBitmapResourceType, CBitmap::kMaxFileBytes);
	return bytes ? CBitmap::decodePNG (bytes->data (), bytes->size ()) : nullptr;
}

#else

// Elsewhere they are files: in the resource folder, else (for a description opened by path)
// beside the description.
std::optional<std::vector<uint8_t>> UIDescription::Impl::readDescription ()
{
	filePath = findResource (fileName);
	if (filePath.empty ())
		filePath = fileName;
	return readResourceFile (filePath, kMaxFileBytes);
}

CBitmapPtr UIDescription::Impl::loadImage (const std::string& path) const
{
	std::string file = findResource (path);
	if (file.empty () && !filePath.empty () && filePath[0] == '/' && path.find ('/') == std::string::npos)
		file = findFileIgnoringCase (filePath.substr (0, filePath.find_last_of ('/')), path);
	return file.empty () ? nullptr : CBitmap::loadPNG (file);
}

#endif

// The file's image at scale 1 and, when there is one, its image at scale 2 from the file named
// with "#2x" before the extension (VSTGUI's convention); a 2x file of the wrong size is ignored.
CBitmapPtr UIDescription::Impl::loadBitmap (const std::string& path) const
{
	CBitmapPtr bitmap = loadImage (path);
	if (!bitmap)
		return nullptr;
	const size_t dot = path.find_last_of ('.');
	const size_t name = path.find_last_of ("/\\");
	const size_t stemEnd = dot == std::string::npos || (name != std::string::npos && dot < name) ? path.size () : dot;
	bitmap->addScaledImage (2., loadImage (path.substr (0, stemEnd) + "#2x" + path.substr (stemEnd)));
	return bitmap;
}

bool UIDescription::parse ()
{
	const std::optional<std::vector<uint8_t>> bytes = impl->readDescription ();
	if (!bytes || !impl->document.parse (bytes->data (), bytes->size ()))
		return false;
	const Xml::Element root = impl->document.root ();
	if (root.name () != kRootName)
		return false;
	try
	{
		for (Xml::Element section = root.firstChild (); section; section = section.nextSibling ())
			if (!impl->readSection (section))
				return false;
		impl->addBuiltinColors ();
	}
	catch (const std::bad_alloc&)
	{
		// No room for the entries' copies: refused like a broken description, not thrown at the host.
		return false;
	}
	return true;
}

bool UIDescription::Impl::readSection (const Xml::Element& section)
{
	const std::string_view name = section.name ();
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
		const std::string templateName = valueOf (section, "name");
		templates[templateName] = section;
		templateAttributes[templateName] = attributesOf (section);
		return true;
	}
	if (name == "custom")
	{
		for (Xml::Element set = section.firstChild (); set; set = set.nextSibling ())
			if (set.name () == "attributes")
				customAttributes[valueOf (set, "name")] = attributesOf (set);
		return true;
	}
	return name == "fonts" || name == "gradients";
}

bool UIDescription::Impl::readEntries (const Xml::Element& section, std::string_view entryName,
                                       void (Impl::*read) (const Xml::Element&))
{
	for (Xml::Element entry = section.firstChild (); entry; entry = entry.nextSibling ())
	{
		if (entry.name () != entryName)
			return false;
		if (read)
			(this->*read) (entry);
	}
	return true;
}

void UIDescription::Impl::readBitmap (const Xml::Element& element)
{
	bitmapPaths[valueOf (element, "name")] = valueOf (element, "path");
}

void UIDescription::Impl::readColor (const Xml::Element& element)
{
	std::optional<CColor> color;
	if (auto rgba = element.attribute ("rgba"))
		color = parseHexColor (std::string (*rgba));
	else if (auto rgb = element.attribute ("rgb"))
		color = parseHexColor (std::string (*rgb));
	else
	{
		auto channel = [&] (const char* name, int fallback) {
			const auto v = parseLeadingInteger (valueOf (element, name)).value_or (fallback);
			return static_cast<uint8_t> (std::max (0, std::min (255, v)));
		};
		color = CColor {channel ("red", 0), channel ("green", 0), channel ("blue", 0), channel ("alpha", 255)};
	}
	if (color)
		colors[valueOf (element, "name")] = *color;
}

void UIDescription::Impl::readControlTag (const Xml::Element& element)
{
	if (auto tag = parseTagValue (valueOf (element, "tag")))
		tags[valueOf (element, "name")] = *tag;
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
	return impl->createViewFromElement (it->second, controller, this, 0);
}

CView* UIDescription::Impl::createViewFromElement (const Xml::Element& element, IController* controller,
                                                   const IUIDescription* description, int depth) const
{
	if (depth > kMaxViewDepth)
		return nullptr;
	const UIAttributes attributes = attributesOf (element);
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
		for (Xml::Element child = element.firstChild (); child; child = child.nextSibling ())
			if (child.name () == "view")
				container->addView (createViewFromElement (child, controller, description, depth + 1));
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
	CBitmapPtr bitmap = impl->loadBitmap (entry->second);
	impl->bitmapCache[name] = bitmap;
	return bitmap;
}

CBitmapPtr UIDescription::loadBitmapFile (const std::string& path) const
{
	return impl->loadBitmap (path);
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
