// The frame's window on Windows: a child of the host's window, served by the host's message
// loop. Invalidated rectangles become the window's update region; WM_PAINT paints them into a
// back buffer and copies it to the window. Mouse messages become frame mouse events. The
// window is the frame's size times its scale factor; messages carry pixels, the frame gets its
// own coordinates. A click gives the window the keyboard focus, so that wheel messages, which
// go to the focus window, reach it on every Windows version.
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
	// Gives the window and its back buffer the frame's size at its current factor.
	void updateSize ();
	// The factor of the monitor the window is on (its DPI over 96); none where Windows cannot
	// say (before Windows 10 1607, per-window DPI is unknown).
	std::optional<double> desktopScaleFactor () const;

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
	CPoint toFrame (LONG x, LONG y) const;

	CFrame* frame;
	HWND window {nullptr};
	bool classAcquired {false};
	// The mouse is captured from a press until the last button is up.
	bool capturing {false};
	// WM_MOUSELEAVE was asked for since the pointer last entered.
	bool trackingLeave {false};
	CPixelBuffer backBuffer;
};

} // namespace VSTGUI
