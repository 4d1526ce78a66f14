// The module's entry points and the hooks a module defines behind them.
#pragma once

#include <string>

// Defined by the module: set-up after load and tear-down before unload; true on success.
bool InitModule ();
bool DeinitModule ();

namespace Steinberg {

// The folder of the module's bundle resources: <bundle>/Contents/Resources.
std::string getBundleResourcesPath ();

} // namespace Steinberg
