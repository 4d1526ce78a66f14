#include "lv2host.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

namespace kt3host {

UridMap::UridMap ()
{
	lv2Map.handle = this;
	lv2Map.map = [] (LV2_URID_Map_Handle handle, const char* uri) {
		return static_cast<UridMap*> (handle)->map (uri);
	};
}

LV2_URID UridMap::map (const char* uri)
{
	const auto found = ids.emplace (uri, static_cast<LV2_URID> (ids.size () + 1));
	return found.first->second;
}

Lv2World::Lv2World (const std::string& bundle) : lilvWorld (lilv_world_new ())
{
	// The core vocabulary names the plug-in classes, such as lv2:ReverbPlugin.
	for (const std::string& path : {std::string ("/usr/lib/lv2/core.lv2"), bundle})
	{
		LilvNode* uri = lilv_new_file_uri (lilvWorld, nullptr, (path + "/").c_str ());
		lilv_world_load_bundle (lilvWorld, uri);
		lilv_node_free (uri);
	}
	lilv_world_load_specifications (lilvWorld);
	lilv_world_load_plugin_classes (lilvWorld);
}

Lv2World::~Lv2World ()
{
	lilv_world_free (lilvWorld);
}

const LilvPlugin* Lv2World::plugin (const char* uri) const
{
	LilvNode* node = lilv_new_uri (lilvWorld, uri);
	const LilvPlugin* found = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (lilvWorld), node);
	lilv_node_free (node);
	return found;
}

Lv2Instance::Lv2Instance (const LilvPlugin* plugin, double rate, int maxBlock, bool withMap)
: blockLength (maxBlock)
{
	const LV2_Options_Option options[] = {
	    {LV2_OPTIONS_INSTANCE, 0, uridMap.map (LV2_BUF_SIZE__maxBlockLength), sizeof (int),
	     uridMap.map (LV2_ATOM__Int), &blockLength},
	    {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
	const LV2_Feature mapFeature {LV2_URID__map, uridMap.feature ()};
	const LV2_Feature optionsFeature {LV2_OPTIONS__options, const_cast<LV2_Options_Option*> (options)};
	std::vector<const LV2_Feature*> features;
	if (withMap)
		features.push_back (&mapFeature);
	if (maxBlock > 0)
		features.push_back (&optionsFeature);
	features.push_back (nullptr);
	instance = plugin ? lilv_plugin_instantiate (plugin, rate, features.data ()) : nullptr;
	if (!instance)
		return;
	resize (512);
	for (unsigned port = 4; port < 9; ++port)
		lilv_instance_connect_port (instance, port, &controls[port]);
}

Lv2Instance::~Lv2Instance ()
{
	if (instance)
		lilv_instance_free (instance);
}

void Lv2Instance::resize (size_t frames)
{
	for (unsigned port = 0; port < 4; ++port)
	{
		buffers[port].assign (frames, 0.0f);
		lilv_instance_connect_port (instance, port, buffers[port].data ());
	}
}

} // namespace kt3host
