// The module's entry points and the hooks a module defines behind them.
#pragma once

#include <string>

// Marks an entry point of the module: a plain C name, exported by name. On Windows the module
// definition file lists the exports, so nothing else leaves the DLL.
#if defined(_WIN32)
#define KT3_EXPORT extern "C"
#else
#define KT3_EXPORT extern "C" __attribute__ ((visibility ("default")))
#endif

// Defined by the module: set-up after load and tear-down before unload; true on success.
bool InitModule ();
bool DeinitModule ();

namespace Steinberg {

#if !defined(_WIN32)
// The folder of the module's bundle resources: <bundle>/Contents/Resources, found from the
// module's real path, also when it is loaded through a symbolic link or as a copy placed beside
// its bundle. (On Windows the editor's resources are part of the DLL.)
std::string getBundleResourcesPath ();
#endif

} // namespace Steinberg
