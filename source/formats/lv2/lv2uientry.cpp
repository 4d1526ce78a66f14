// The LV2 UI entry: the descriptor of the X11 UI kLv2UiUri, forwarding to Lv2UiEditor,
// its idle interface and its options interface (ui:scaleFactor). Hosts call every function
// here on their UI thread.
#include "lv2ports.h"
#include "lv2uieditor.h"

#include "vstgui/lib/platform/linux/resourcefolder.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

using Steinberg::Vst::Orvix::Lv2UiEditor;

namespace {

// The URIDs options are read by; zero when the host gives no usable urid:map.
struct OptionKeys
{
	LV2_URID scaleFactor {0};
	LV2_URID floatType {0};
};

// The UI's handle.
struct Instance
{
	std::unique_ptr<Lv2UiEditor> editor;
	OptionKeys keys;
};

Lv2UiEditor* editorOf (LV2UI_Handle handle)
{
	return static_cast<Instance*> (handle)->editor.get ();
}

// The editor's description and bitmaps: Resources in the bundle the host names, or else beside
// this binary's real path (a host that loads it through a link or passes no usable bundle
// path). Empty when neither has one.
std::string findResourceFolder (const char* bundlePath)
{
	std::error_code error;
	if (bundlePath && *bundlePath && std::filesystem::is_directory (std::filesystem::path (bundlePath) / "Resources", error))
		return (std::filesystem::path (bundlePath) / "Resources").string ();
	return VSTGUI::resourcesBesideBinary (reinterpret_cast<const void*> (&findResourceFolder));
}

// The data of the feature `uri`, or null; features with a null URI (a faulty host) are skipped.
void* featureData (const LV2_Feature* const* features, const char* uri)
{
	for (; features && *features; ++features)
		if ((*features)->URI && std::strcmp ((*features)->URI, uri) == 0)
			return (*features)->data;
	return nullptr;
}

OptionKeys optionKeysOf (const LV2_Feature* const* features)
{
	const auto* map = static_cast<const LV2_URID_Map*> (featureData (features, LV2_URID__map));
	if (!map || !map->map)
		return {};
	return {map->map (map->handle, LV2_UI__scaleFactor), map->map (map->handle, LV2_ATOM__Float)};
}

bool isScaleFactor (const LV2_Options_Option& option, const OptionKeys& keys)
{
	return keys.scaleFactor != 0 && option.key == keys.scaleFactor;
}

// The value of a ui:scaleFactor option, if it is a finite float atom.
std::optional<float> scaleFactorIn (const LV2_Options_Option& option, const OptionKeys& keys)
{
	if (!isScaleFactor (option, keys) || option.type != keys.floatType || option.size != sizeof (float) ||
	    !option.value)
		return {};
	float value;
	std::memcpy (&value, option.value, sizeof value);
	return std::isfinite (value) ? std::optional<float> (value) : std::nullopt;
}

// The last usable ui:scaleFactor among the host's opts:options, if any.
std::optional<float> initialScaleFactor (const LV2_Feature* const* features, const OptionKeys& keys)
{
	std::optional<float> factor;
	const auto* options = static_cast<const LV2_Options_Option*> (featureData (features, LV2_OPTIONS__options));
	for (; options && options->key; ++options)
		if (const std::optional<float> value = scaleFactorIn (*options, keys))
			factor = value;
	return factor;
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
	const auto* resize = static_cast<const LV2UI_Resize*> (featureData (features, LV2_UI__resize));
	auto instance = std::make_unique<Instance> ();
	instance->keys = optionKeysOf (features);
	instance->editor =
	    Lv2UiEditor::open (parent, write, host, touch, resize, initialScaleFactor (features, instance->keys));
	if (!instance->editor)
		return nullptr;
	*widget = reinterpret_cast<LV2UI_Widget> (uintptr_t (instance->editor->window ()));
	if (resize && resize->ui_resize)
	{
		const Steinberg::ViewRect size = instance->editor->size ();
		resize->ui_resize (resize->handle, size.getWidth (), size.getHeight ());
	}
	return instance.release ();
}

void cleanup (LV2UI_Handle handle)
{
	delete static_cast<Instance*> (handle);
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

// opts:interface: ui:scaleFactor only; other keys are refused. get reports the factor the host
// set, and none (an unknown error) before it set one.
uint32_t getOptions (LV2UI_Handle handle, LV2_Options_Option* options)
{
	const auto* instance = static_cast<const Instance*> (handle);
	const float* factor = instance->editor->hostScaleFactor ();
	uint32_t status = LV2_OPTIONS_SUCCESS;
	for (; options && options->key; ++options)
	{
		if (!isScaleFactor (*options, instance->keys))
			status |= LV2_OPTIONS_ERR_BAD_KEY;
		else if (!factor)
			status |= LV2_OPTIONS_ERR_UNKNOWN;
		else
		{
			options->type = instance->keys.floatType;
			options->size = sizeof (float);
			options->value = factor;
		}
	}
	return status;
}

uint32_t setOptions (LV2UI_Handle handle, const LV2_Options_Option* options)
{
	auto* instance = static_cast<Instance*> (handle);
	uint32_t status = LV2_OPTIONS_SUCCESS;
	for (; options && options->key; ++options)
	{
		if (!isScaleFactor (*options, instance->keys))
			status |= LV2_OPTIONS_ERR_BAD_KEY;
		else if (const std::optional<float> factor = scaleFactorIn (*options, instance->keys))
			instance->editor->setScaleFactor (*factor);
		else
			status |= LV2_OPTIONS_ERR_BAD_VALUE;
	}
	return status;
}

const LV2UI_Idle_Interface kIdleInterface {idle};
const LV2_Options_Interface kOptionsInterface {getOptions, setOptions};

const void* extensionData (const char* uri)
{
	if (uri && std::strcmp (uri, LV2_UI__idleInterface) == 0)
		return &kIdleInterface;
	if (uri && std::strcmp (uri, LV2_OPTIONS__interface) == 0)
		return &kOptionsInterface;
	return nullptr;
}

const LV2UI_Descriptor kDescriptor {Steinberg::Vst::Orvix::kLv2UiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
{
	return index == 0 ? &kDescriptor : nullptr;
}
