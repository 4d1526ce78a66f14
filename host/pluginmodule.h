// A VST 3 bundle loaded as a host loads it. Linux: dlopen the module, ModuleEntry, then
// GetPluginFactory; ModuleExit and dlclose when it is unloaded. Windows: LoadLibrary, InitDll,
// GetPluginFactory; ExitDll and FreeLibrary.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include <string>

namespace kt3host {

// The bundle's folder for modules of the architecture this program runs on, as a host picks it.
#if defined(_WIN32) && defined(__x86_64__)
constexpr const char* kArchitectureFolder = "x86_64-win";
#elif defined(__linux__) && defined(__x86_64__)
constexpr const char* kArchitectureFolder = "x86_64-linux";
#elif defined(__linux__) && defined(__aarch64__)
constexpr const char* kArchitectureFolder = "aarch64-linux";
#else
#error "no VST 3 bundle folder is known for this architecture"
#endif

class PluginModule
{
public:
	// Loads <bundle>/Contents/<kArchitectureFolder>/<name>.so (Windows: <name>.vst3), given
	// the bundle, that module file or a link to either; on failure `error ()` says why.
	explicit PluginModule (const std::string& bundleOrModule);
	~PluginModule ();
	PluginModule (const PluginModule&) = delete;
	PluginModule& operator= (const PluginModule&) = delete;

	bool loaded () const { return handle != nullptr; }
	const std::string& error () const { return errorText; }
	// An exported function of the module, or null.
	void* symbol (const char* name) const;
	// A new reference to the module's factory (the caller releases it), or null.
	Steinberg::IPluginFactory* factory () const;
	const std::string& modulePath () const { return path; }
	// The bundle the module is in; empty for a module file outside a bundle.
	const std::string& bundlePath () const { return bundle; }

private:
	void* handle = nullptr;
	std::string path;
	std::string bundle;
	std::string errorText;
};

} // namespace kt3host
