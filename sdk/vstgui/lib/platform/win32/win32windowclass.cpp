#include "win32windowclass.h"

namespace VSTGUI {

Win32WindowClass::Win32WindowClass (const wchar_t* name, WNDPROC windowProc) : name (name), windowProc (windowProc)
{
}

HINSTANCE Win32WindowClass::moduleInstance ()
{
	HMODULE module = nullptr;
	GetModuleHandleExW (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
	                    reinterpret_cast<LPCWSTR> (&Win32WindowClass::moduleInstance), &module);
	return module;
}

bool Win32WindowClass::acquire ()
{
	std::lock_guard<std::mutex> lock (mutex);
	if (users > 0)
	{
		++users;
		return true;
	}
	WNDCLASSEXW windowClass {};
	windowClass.cbSize = sizeof (windowClass);
	windowClass.lpfnWndProc = windowProc;
	windowClass.hInstance = moduleInstance ();
	windowClass.hCursor = LoadCursorW (nullptr, reinterpret_cast<LPCWSTR> (IDC_ARROW));
	windowClass.lpszClassName = name;
	if (!RegisterClassExW (&windowClass))
	{
		// Left behind by an earlier load of this module at the same address that was never
		// released: its procedure may be stale, so register it afresh.
		if (GetLastError () != ERROR_CLASS_ALREADY_EXISTS || !UnregisterClassW (name, windowClass.hInstance) ||
		    !RegisterClassExW (&windowClass))
			return false;
	}
	users = 1;
	return true;
}

void Win32WindowClass::release ()
{
	std::lock_guard<std::mutex> lock (mutex);
	if (users > 0 && --users == 0)
		UnregisterClassW (name, moduleInstance ());
}

} // namespace VSTGUI
