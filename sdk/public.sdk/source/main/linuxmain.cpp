// Linux module entry: hosts call ModuleEntry after dlopen and ModuleExit before dlclose
// (InitDll and ExitDll, in dllentry.cpp, serve hosts that call them instead).
#include "public.sdk/source/main/moduleentry.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <cstdlib>
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

namespace {

bool isDirectory (const std::string& path)
{
	struct stat info {};
	return stat (path.c_str (), &info) == 0 && S_ISDIR (info.st_mode);
}

std::string folderOf (const std::string& path)
{
	const auto slash = path.find_last_of ('/');
	return slash == std::string::npos ? std::string () : path.substr (0, slash);
}

} // namespace

std::string getBundleResourcesPath ()
{
	// The loaded .so, found by the address of one of its own functions, with every symbolic
	// link resolved: a VST 2 host may load it through a link in its own plug-in folder.
	Dl_info info {};
	if (!dladdr (reinterpret_cast<void*> (&getBundleResourcesPath), &info) || !info.dli_fname)
		return {};
	char* resolved = realpath (info.dli_fname, nullptr);
	if (!resolved)
		return {};
	const std::string module = resolved;
	std::free (resolved);

	// Inside a bundle, <bundle>/Contents/<arch>-linux/<name>.so: Resources lies two folders up.
	const std::string contents = folderOf (folderOf (module));
	if (contents.size () >= 9 && contents.compare (contents.size () - 9, 9, "/Contents") == 0 &&
	    isDirectory (contents + "/Resources"))
		return contents + "/Resources";
	// A copy of the .so beside its bundle: <folder>/<name>.so next to <folder>/<name>.vst3.
	std::string stem = module.substr (module.find_last_of ('/') + 1);
	stem = stem.substr (0, stem.rfind (".so"));
	const std::string beside = folderOf (module) + "/" + stem + ".vst3/Contents/Resources";
	if (isDirectory (beside))
		return beside;
	return contents + "/Resources";
}

} // namespace Steinberg
