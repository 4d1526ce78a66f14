// InitDll and ExitDll, the entry points Windows VST 3 hosts call after loading the module and
// before unloading it (Linux hosts that call them instead of ModuleEntry get the same). Each
// runs the module's hook and answers true, however often and in whatever order they come.
#include "public.sdk/source/main/moduleentry.h"

KT3_EXPORT bool InitDll ()
{
	InitModule ();
	return true;
}

KT3_EXPORT bool ExitDll ()
{
	DeinitModule ();
	return true;
}
