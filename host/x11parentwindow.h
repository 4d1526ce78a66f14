// A host's editor window on X11: a top-level window to embed a plug-in view into, with a
// screenshot of any window and synthetic pointer input through the XTEST extension.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct xcb_connection_t;

namespace kt3host {

class X11ParentWindow
{
public:
	// Opens the display named by DISPLAY and maps a window of that size at the screen's origin
	// (the test display runs no window manager that could move it).
	X11ParentWindow (int width, int height);
	~X11ParentWindow ();
	X11ParentWindow (const X11ParentWindow&) = delete;
	X11ParentWindow& operator= (const X11ParentWindow&) = delete;

	bool isOpen () const { return window != 0; }
	const std::string& error () const { return errorText; }
	uint32_t id () const { return window; }

	// The children of this window (an embedded view's window among them).
	std::vector<uint32_t> children ();
	bool isMapped (uint32_t windowId);
	// The window's width and height; 0 x 0 when there is no such window.
	std::pair<int, int> size (uint32_t windowId);
	// The window's pixels as 0x00RRGGBB, row by row; empty when it cannot be read.
	std::vector<uint32_t> capture (uint32_t windowId, int width, int height);

	// Sets the X resources of the display (the root window's RESOURCE_MANAGER text, where
	// desktops put "Xft.dpi"); an empty text removes them.
	void setDesktopResources (const std::string& resources);

	// Synthetic input at window coordinates of this window; button 1 is the left button.
	void movePointer (int x, int y);
	void pressButton (uint8_t button);
	void releaseButton (uint8_t button);
	// Waits until the server has processed every request sent so far.
	void sync ();

private:
	xcb_connection_t* connection {nullptr};
	uint32_t window {0};
	uint32_t root {0};
	std::string errorText;
};

} // namespace kt3host
