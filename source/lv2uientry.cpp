// The LV2 UI entry: the descriptor of the X11 UI urn:orvix:kt3:ui, forwarding to Lv2UiEditor,
// and its idle interface. Hosts call every function here on their UI thread.
#include "lv2ports.h"
#include "lv2uieditor.h"

#include "vstgui/lib/platform/linux/resourcefolder.h"

#include <lv2/ui/ui.h>

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>

using Steinberg::Vst::Orvix::Lv2UiEditor;

namespace {

Lv2UiEditor* editorOf (LV2UI_Handle handle)
{
	return static_cast<Lv2UiEditor*> (handle);
}

// <folder>/Resources when it is a folder (symbolic links followed), else empty.
std::string resourcesIn (const std::filesystem::path& folder)
{
	std::error_code error;
	const std::filesystem::path resources = folder / "Resources";
	return std::filesystem::is_directory (resources, error) ? resources.string () : std::string ();
}

// The editor's description and bitmaps: Resources in the bundle the host names, or else in the
// folder of this binary's real path (a host that loads it through a link or passes no usable
// bundle path). Empty when neither has one.
std::string findResourceFolder (const char* bundlePath)
{
	if (bundlePath && *bundlePath)
	{
		const std::string fromBundle = resourcesIn (bundlePath);
		if (!fromBundle.empty ())
			return fromBundle;
	}
	Dl_info info {};
	if (!dladdr (reinterpret_cast<void*> (&findResourceFolder), &info) || !info.dli_fname)
		return {};
	std::error_code error;
	const std::filesystem::path binary = std::filesystem::canonical (info.dli_fname, error);
	return error ? std::string () : resourcesIn (binary.parent_path ());
}

// The data of the feature `uri`, or null; features with a null URI (a faulty host) are skipped.
void* featureData (const LV2_Feature* const* features, const char* uri)
{
	for (; features && *features; ++features)
		if ((*features)->URI && std::strcmp ((*features)->URI, uri) == 0)
			return (*features)->data;
	return nullptr;
}

// ui:parent's data is the X11 window ID itself; none, 0 or more than 32 bits is no window.
uint32_t parentWindowOf (const LV2_Feature* const* features)
{
	const auto id = reinterpret_cast<uintptr_t> (featureData (features, LV2_UI__parent));
	return id <= UINT32_MAX ? static_cast<uint32_t> (id) : 0;
}

LV2UI_Handle instantiate (const LV2UI_Descriptor*, const char* pluginUri, const char* bundlePath,
                          LV2UI_Write_Function write, LV2UI_Controller host, LV2UI_Widget* widget,
                          const LV2_Feature* const* features)
{
	using namespace Steinberg::Vst::Orvix;
	if (!pluginUri || std::strcmp (pluginUri, kLv2PluginUri) != 0 || !widget)
		return nullptr;
	const uint32_t parent = parentWindowOf (features);
	const std::string resources = findResourceFolder (bundlePath);
	if (parent == 0 || resources.empty ())
		return nullptr;
	VSTGUI::setResourceFolder (resources);
	const auto* touch = static_cast<const LV2UI_Touch*> (featureData (features, LV2_UI__touch));
	std::unique_ptr<Lv2UiEditor> editor = Lv2UiEditor::open (parent, write, host, touch);
	if (!editor)
		return nullptr;
	*widget = reinterpret_cast<LV2UI_Widget> (uintptr_t (editor->window ()));
	if (const auto* resize = static_cast<const LV2UI_Resize*> (featureData (features, LV2_UI__resize)))
	{
		const Steinberg::ViewRect size = editor->size ();
		if (resize->ui_resize)
			resize->ui_resize (resize->handle, size.getWidth (), size.getHeight ());
	}
	return editor.release ();
}

void cleanup (LV2UI_Handle handle)
{
	delete editorOf (handle);
}

void portEvent (LV2UI_Handle handle, uint32_t index, uint32_t bufferSize, uint32_t format, const void* buffer)
{
	editorOf (handle)->portEvent (index, bufferSize, format, buffer);
}

int idle (LV2UI_Handle handle)
{
	editorOf (handle)->idle ();
	return 0; // the editor stays open until cleanup
}

const LV2UI_Idle_Interface kIdleInterface {idle};

const void* extensionData (const char* uri)
{
	return uri && std::strcmp (uri, LV2_UI__idleInterface) == 0 ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor kDescriptor {Steinberg::Vst::Orvix::kLv2UiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
{
	return index == 0 ? &kDescriptor : nullptr;
}
