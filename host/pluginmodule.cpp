#include "pluginmodule.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kt3host {

using namespace Steinberg;

namespace {

#if defined(_WIN32)
constexpr const char* kSeparators = "/\\"; // Windows paths take either
constexpr const char* kModuleExtension = ".vst3";
#else
constexpr const char* kSeparators = "/";
constexpr const char* kModuleExtension = ".so";
#endif

// <bundle>/Contents/<architecture>/<name><extension>, the bundle's name without ".vst3".
std::string moduleInBundle (const std::string& bundlePath)
{
	std::string name = bundlePath;
	while (!name.empty () && std::string (kSeparators).find (name.back ()) != std::string::npos)
		name.pop_back ();
	const auto slash = name.find_last_of (kSeparators);
	std::string stem = slash == std::string::npos ? name : name.substr (slash + 1);
	const auto dot = stem.rfind (".vst3");
	if (dot != std::string::npos)
		stem.erase (dot);
	return name + "/Contents/" + kArchitectureFolder + "/" + stem + kModuleExtension;
}

// The module file that `given` names and the bundle it is in. A link is resolved first, as a
// host resolves one in its plug-in folder; a folder is a bundle, a module file is loaded as it
// is, and one in <bundle>/Contents/<architecture>/ belongs to that bundle.
bool locateModule (const std::string& given, std::string& module, std::string& bundle, std::string& error)
{
	namespace fs = std::filesystem;
	std::error_code failed;
	const fs::path real = fs::canonical (fs::u8path (given), failed);
	if (failed)
	{
		error = "'" + given + "' does not exist (or is a broken link)";
		return false;
	}
	if (fs::is_directory (real, failed))
	{
		bundle = real.u8string ();
		module = moduleInBundle (bundle);
		// Loading a FIFO or a device would wait or read without end; a missing module is left
		// to the loader, whose message names what it looked for.
		const fs::file_status status = fs::status (fs::u8path (module), failed);
		if (fs::exists (status) && !fs::is_regular_file (status))
		{
			error = "'" + module + "' is not a regular file";
			return false;
		}
		return true;
	}
	if (fs::is_regular_file (real, failed) && real.extension () == kModuleExtension)
	{
		module = real.u8string ();
		const fs::path folder = real.parent_path ();
		if (folder.filename () == kArchitectureFolder && folder.parent_path ().filename () == "Contents")
			bundle = folder.parent_path ().parent_path ().u8string ();
		return true;
	}
	error = "'" + given + "' is neither a VST 3 bundle (a .vst3 folder) nor a VST 3 module (a " + kModuleExtension +
	        " file)";
	return false;
}

#if defined(_WIN32)

// Windows hosts load the DLL, then call InitDll; ExitDll before FreeLibrary.
constexpr const char* kEntryName = "InitDll";
constexpr const char* kExitName = "ExitDll";

void* openLibrary (const std::string& path, std::string& error)
{
	std::wstring wide (path.size () + 1, L'\0');
	const int n = MultiByteToWideChar (CP_UTF8, 0, path.c_str (), -1, wide.data (), static_cast<int> (wide.size ()));
	wide.resize (n > 0 ? static_cast<size_t> (n - 1) : 0);
	std::replace (wide.begin (), wide.end (), L'/', L'\\'); // LoadLibrary wants backslashes
	HMODULE module = n > 0 ? LoadLibraryW (wide.c_str ()) : nullptr;
	if (!module)
		error = "cannot load " + path + " (error " + std::to_string (GetLastError ()) + ")";
	return reinterpret_cast<void*> (module);
}

void closeLibrary (void* handle)
{
	FreeLibrary (static_cast<HMODULE> (handle));
}

void* librarySymbol (void* handle, const char* name)
{
	return reinterpret_cast<void*> (GetProcAddress (static_cast<HMODULE> (handle), name));
}

bool callEntry (void* entry, void* /*handle*/)
{
	return reinterpret_cast<bool (*) ()> (entry) ();
}

#else

// Linux hosts dlopen the module, then call ModuleEntry with its handle; ModuleExit before dlclose.
constexpr const char* kEntryName = "ModuleEntry";
constexpr const char* kExitName = "ModuleExit";

void* openLibrary (const std::string& path, std::string& error)
{
	void* handle = dlopen (path.c_str (), RTLD_NOW | RTLD_LOCAL);
	if (!handle)
	{
		const char* why = dlerror ();
		error = why ? why : "cannot load " + path;
	}
	return handle;
}

void closeLibrary (void* handle)
{
	dlclose (handle);
}

void* librarySymbol (void* handle, const char* name)
{
	return dlsym (handle, name);
}

bool callEntry (void* entry, void* handle)
{
	return reinterpret_cast<bool (*) (void*)> (entry) (handle);
}

#endif

} // namespace

PluginModule::PluginModule (const std::string& bundleOrModule)
{
	if (!locateModule (bundleOrModule, path, bundle, errorText))
		return;
	handle = openLibrary (path, errorText);
	if (!handle)
		return;
	void* entry = symbol (kEntryName);
	if (!entry || !symbol ("GetPluginFactory") || !callEntry (entry, handle))
	{
		errorText = path + ": not a VST 3 module (" + kEntryName + " or GetPluginFactory failed)";
		closeLibrary (handle);
		handle = nullptr;
	}
}

PluginModule::~PluginModule ()
{
	if (!handle)
		return;
	using Exit = bool (*) ();
	if (auto exit = reinterpret_cast<Exit> (symbol (kExitName)))
		exit ();
	closeLibrary (handle);
}

void* PluginModule::symbol (const char* name) const
{
	return handle ? librarySymbol (handle, name) : nullptr;
}

IPluginFactory* PluginModule::factory () const
{
	using GetFactory = IPluginFactory* (PLUGIN_API*) ();
	auto get = reinterpret_cast<GetFactory> (symbol ("GetPluginFactory"));
	return get ? get () : nullptr;
}

} // namespace kt3host
