// The module's only export, clap_entry: the plug-in factory with KT3's descriptor. The host may
// call the entry's and the factory's functions from any thread; they keep no state, and
// create_plugin only builds the instance, which init then sets up on the main thread.
#include "clapinstance.h"
#include "kt3ids.h"
#include "kt3version.h"

#include "clap/entry.h"
#include "clap/plugin-factory.h"

#include <cstring>

using namespace Steinberg::Vst::Orvix;

namespace {

const char* const kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_REVERB,
                                 CLAP_PLUGIN_FEATURE_STEREO, nullptr};

const clap_plugin_descriptor_t kDescriptor {
    CLAP_VERSION_INIT,
    kClapPluginId,
    "KT3",
    KT3_VENDOR,
    KT3_VENDOR_URL,
    "",
    "mailto:" KT3_VENDOR_EMAIL,
    KT3_VERSION_NUMBERS,
    "Compact stereo reverb",
    const_cast<const char**> (kFeatures),
};

uint32_t pluginCount (const clap_plugin_factory_t*)
{
	return 1;
}

const clap_plugin_descriptor_t* pluginDescriptor (const clap_plugin_factory_t*, uint32_t index)
{
	return index == 0 ? &kDescriptor : nullptr;
}

const clap_plugin_t* createPlugin (const clap_plugin_factory_t*, const clap_host_t* host, const char* id)
{
	if (!host || !id || std::strcmp (id, kDescriptor.id) != 0 || !clap_version_is_compatible (host->clap_version))
		return nullptr;
	return createClapInstance (host, &kDescriptor);
}

const clap_plugin_factory_t kFactory {pluginCount, pluginDescriptor, createPlugin};

bool init (const char*)
{
	return true;
}

void deinit () {}

const void* getFactory (const char* id)
{
	return id && std::strcmp (id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

} // namespace

CLAP_EXPORT extern const clap_plugin_entry_t clap_entry {CLAP_VERSION_INIT, init, deinit, getFactory};
