// Windows module entry: DllMain keeps the module's instance handle and gives it to the editor
// library, which reads the UI description and the bitmaps from the module's resources through
// it. VST 3 hosts call InitDll after LoadLibrary and ExitDll before FreeLibrary (dllentry.cpp).
#include "public.sdk/source/main/moduleentry.h"
#include "vstgui/lib/platform/win32/win32resources.h"

#include <windows.h>

// Called by the loader with its lock held: nothing here may load libraries or wait.
extern "C" BOOL WINAPI DllMain (HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
	if (reason == DLL_PROCESS_ATTACH)
		VSTGUI::setResourceInstance (instance); // the module's instance handle, kept there
	return TRUE;
}
