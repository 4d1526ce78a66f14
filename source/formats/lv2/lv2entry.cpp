// The LV2 entry: the plug-in's descriptor and its state interface, forwarding to Lv2Plugin.
// The threads of each call are those Lv2Plugin names.
#include "lv2plugin.h"

#include <string_view>

using Steinberg::Vst::Orvix::Lv2Plugin;

namespace {

Lv2Plugin* pluginOf (LV2_Handle handle)
{
	return static_cast<Lv2Plugin*> (handle);
}

LV2_Handle instantiate (const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features)
{
	return Lv2Plugin::create (rate, features);
}

void connectPort (LV2_Handle handle, uint32_t port, void* data)
{
	pluginOf (handle)->connectPort (port, data);
}

void activate (LV2_Handle handle)
{
	pluginOf (handle)->activate ();
}

void run (LV2_Handle handle, uint32_t frames)
{
	pluginOf (handle)->run (frames);
}

void deactivate (LV2_Handle handle)
{
	pluginOf (handle)->deactivate ();
}

void cleanup (LV2_Handle handle)
{
	delete pluginOf (handle);
}

LV2_State_Status save (LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                       uint32_t, const LV2_Feature* const*)
{
	return store ? pluginOf (handle)->save (store, state) : LV2_STATE_ERR_UNKNOWN;
}

LV2_State_Status restore (LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state,
                          uint32_t, const LV2_Feature* const*)
{
	return retrieve ? pluginOf (handle)->restore (retrieve, state) : LV2_STATE_ERR_UNKNOWN;
}

const void* extensionData (const char* uri)
{
	static const LV2_State_Interface state {save, restore};
	return uri && std::string_view (uri) == LV2_STATE__interface ? &state : nullptr;
}

const LV2_Descriptor descriptor {Steinberg::Vst::Orvix::kLv2PluginUri, instantiate, connectPort, activate,
                                 run, deactivate, cleanup, extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor (uint32_t index)
{
	return index == 0 ? &descriptor : nullptr;
}
