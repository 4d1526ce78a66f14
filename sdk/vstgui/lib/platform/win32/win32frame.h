// The frame's window on Windows: a child of the host's window, served by the host's message
// loop. Invalidated rectangles become the window's update region; WM_PAINT paints them into a
// back buffer and copies it to the window. Mouse messages become frame mouse events.
#pragma once

#include "../../cdrawcontext.h"
#include "../../cframe.h"

#include <windows.h>

#include <optional>

namespace VSTGUI {

class Win32WindowClass;

class Win32Frame : public IPlatformFrameCallback
{
public:
	// UI thread (the thread of the parent window), as every method. Check isValid: the parent
	// may be gone.
	Win32Frame (CFrame* frame, HWND parent);
	~Win32Frame () override;
	Win32Frame (const Win32Frame&) = delete;
	Win32Frame& operator= (const Win32Frame&) = delete;

	bool isValid () const { return window != nullptr; }
	HWND getWindow () const { return window; }

	void onFrameInvalidated () override;

private:
	static Win32WindowClass& windowClass ();
	static LRESULT CALLBACK windowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam);
	// Nothing for messages left to DefWindowProc.
	std::optional<LRESULT> handleMessage (UINT message, WPARAM wParam, LPARAM lParam);
	void paint ();
	void buttonDown (int32_t button, WPARAM wParam, LPARAM lParam);
	void buttonUp (int32_t button, WPARAM wParam, LPARAM lParam);
	bool wheel (WPARAM wParam, LPARAM lParam);

	CFrame* frame;
	HWND window {nullptr};
	bool classAcquired {false};
	// The mouse is captured from a press until the last button is up.
	bool capturing {false};
	CPixelBuffer backBuffer;
};

} // namespace VSTGUI
