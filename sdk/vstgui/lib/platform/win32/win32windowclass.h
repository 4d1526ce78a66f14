// A window class of the module that contains this code (not of the process's executable),
// registered while windows of it are in use: the first acquire registers it, the last release
// unregisters it, so that the module can be unloaded and loaded again (Windows keeps a DLL's
// classes, and their window procedures, after the DLL is gone).
#pragma once

#include <windows.h>

#include <mutex>

namespace VSTGUI {

class Win32WindowClass
{
public:
	Win32WindowClass (const wchar_t* name, WNDPROC windowProc);
	Win32WindowClass (const Win32WindowClass&) = delete;
	Win32WindowClass& operator= (const Win32WindowClass&) = delete;

	// UI thread, before creating a window of the class; false if it cannot be registered.
	bool acquire ();
	// UI thread, after destroying the window.
	void release ();
	const wchar_t* getName () const { return name; }

	// The instance handle of the module holding this code.
	static HINSTANCE moduleInstance ();

private:
	const wchar_t* name;
	WNDPROC windowProc;
	std::mutex mutex;
	int users {0};
};

} // namespace VSTGUI
