#include "clapmodule.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kt3host {

ClapModule::ClapModule (const std::string& path)
{
#if defined(_WIN32)
	handle = LoadLibraryA (path.c_str ());
	if (!handle)
	{
		errorText = "LoadLibrary failed for '" + path + "'";
		return;
	}
	entry = reinterpret_cast<const clap_plugin_entry_t*> (
	    GetProcAddress (static_cast<HMODULE> (handle), "clap_entry"));
#else
	handle = dlopen (path.c_str (), RTLD_NOW | RTLD_LOCAL);
	if (!handle)
	{
		const char* reason = dlerror ();
		errorText = reason ? reason : "dlopen failed";
		return;
	}
	entry = static_cast<const clap_plugin_entry_t*> (dlsym (handle, "clap_entry"));
#endif
	if (!entry || !entry->init || !entry->get_factory)
	{
		errorText = "'" + path + "' has no usable clap_entry";
		entry = nullptr;
		return;
	}
	if (!clap_version_is_compatible (entry->clap_version) || !entry->init (path.c_str ()))
	{
		errorText = "clap_entry refused to initialise";
		entry = nullptr;
		return;
	}
	pluginFactory = static_cast<const clap_plugin_factory_t*> (entry->get_factory (CLAP_PLUGIN_FACTORY_ID));
	if (!pluginFactory)
		errorText = "no plug-in factory";
}

ClapModule::~ClapModule ()
{
	if (entry && entry->deinit)
		entry->deinit ();
	if (!handle)
		return;
#if defined(_WIN32)
	FreeLibrary (static_cast<HMODULE> (handle));
#else
	dlclose (handle);
#endif
}

} // namespace kt3host
