// Linux module entry: hosts call ModuleEntry after dlopen and ModuleExit before dlclose
// (InitDll and ExitDll, in dllentry.cpp, serve hosts that call them instead).
#include "public.sdk/source/main/moduleentry.h"

#include <dlfcn.h>
#include <string>

// The module finds itself by address (getBundleResourcesPath), so the handle is not kept.
KT3_EXPORT bool ModuleEntry (void* /*sharedLibraryHandle*/)
{
	return InitModule ();
}

KT3_EXPORT bool ModuleExit ()
{
	return DeinitModule ();
}

namespace Steinberg {

std::string getBundleResourcesPath ()
{
	// The path of the loaded .so, found by the address of one of its own functions:
	// <bundle>/Contents/<arch>-linux/<name>.so, so Resources lies two folders up.
	Dl_info info {};
	if (!dladdr (reinterpret_cast<void*> (&getBundleResourcesPath), &info) || !info.dli_fname)
		return {};
	std::string path = info.dli_fname;
	for (int up = 0; up < 2; ++up)
	{
		const auto slash = path.find_last_of ('/');
		if (slash == std::string::npos)
			return {};
		path.erase (slash);
	}
	return path + "/Resources";
}

} // namespace Steinberg
