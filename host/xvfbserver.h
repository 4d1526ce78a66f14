// A private X server for tests that need a display: Xvfb on a display number it picks itself,
// with DISPLAY pointing at it while it runs.
#pragma once

#include <string>
#include <sys/types.h>

namespace kt3host {

class XvfbServer
{
public:
	// Starts Xvfb (24-bit screen of the given size) and waits until it takes connections.
	explicit XvfbServer (const std::string& screen = "640x480x24");
	// Stops the server and restores the previous DISPLAY.
	~XvfbServer ();
	XvfbServer (const XvfbServer&) = delete;
	XvfbServer& operator= (const XvfbServer&) = delete;

	bool running () const { return pid > 0 && !display.empty (); }
	const std::string& error () const { return errorText; }

private:
	pid_t pid {-1};
	std::string display;
	std::string previousDisplay;
	bool hadDisplay {false};
	std::string errorText;
};

} // namespace kt3host
