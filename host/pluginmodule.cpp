#include "pluginmodule.h"

#include <dlfcn.h>

namespace kt3host {

using namespace Steinberg;

namespace {

std::string moduleFileOf (const std::string& bundlePath)
{
	std::string name = bundlePath;
	while (!name.empty () && name.back () == '/')
		name.pop_back ();
	const auto slash = name.find_last_of ('/');
	std::string stem = slash == std::string::npos ? name : name.substr (slash + 1);
	const auto dot = stem.rfind (".vst3");
	if (dot != std::string::npos)
		stem.erase (dot);
	return name + "/Contents/x86_64-linux/" + stem + ".so";
}

} // namespace

PluginModule::PluginModule (const std::string& bundlePath) : path (moduleFileOf (bundlePath))
{
	handle = dlopen (path.c_str (), RTLD_NOW | RTLD_LOCAL);
	if (!handle)
	{
		const char* why = dlerror ();
		errorText = why ? why : "cannot load " + path;
		return;
	}
	using Entry = bool (*) (void*);
	auto entry = reinterpret_cast<Entry> (symbol ("ModuleEntry"));
	if (!entry || !symbol ("GetPluginFactory") || !entry (handle))
	{
		errorText = path + ": not a VST 3 module (ModuleEntry or GetPluginFactory failed)";
		dlclose (handle);
		handle = nullptr;
	}
}

PluginModule::~PluginModule ()
{
	if (!handle)
		return;
	using Exit = bool (*) ();
	if (auto exit = reinterpret_cast<Exit> (symbol ("ModuleExit")))
		exit ();
	dlclose (handle);
}

void* PluginModule::symbol (const char* name) const
{
	return handle ? dlsym (handle, name) : nullptr;
}

IPluginFactory* PluginModule::factory () const
{
	using GetFactory = IPluginFactory* (PLUGIN_API*) ();
	auto get = reinterpret_cast<GetFactory> (symbol ("GetPluginFactory"));
	return get ? get () : nullptr;
}

} // namespace kt3host
