// The frame's window on X11: a child of the host's window on its own xcb connection, served
// from the run loop (the connection's file descriptor and a 16 ms paint timer). Input becomes
// frame mouse events; invalidated rectangles are painted into a back buffer and copied to
// the window. The window is the frame's size times its scale factor; events arrive in pixels
// and reach the frame in its own coordinates.
#pragma once

#include "../../cdrawcontext.h"
#include "../../cframe.h"
#include "../../irunloop.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>

namespace VSTGUI {

class X11Frame : public IPlatformFrameCallback, public IEventHandler, public ITimerHandler
{
public:
	static constexpr uint64_t kPaintInterval = 16;

	// Check isValid: the display may be unreachable or the parent window gone.
	X11Frame (CFrame* frame, uint32_t parentWindow, IRunLoop* runLoop);
	~X11Frame () override;
	X11Frame (const X11Frame&) = delete;
	X11Frame& operator= (const X11Frame&) = delete;

	bool isValid () const { return window != 0; }
	uint32_t getWindow () const { return window; }
	// Gives the window and its back buffer the frame's size at its current factor.
	void updateSize ();
	// The desktop's factor: the X resources' Xft.dpi over 96, to the nearest quarter; none
	// when the server has no such resource.
	std::optional<double> desktopScaleFactor () const { return desktopScale; }

	void onFrameInvalidated () override;
	void onEvent () override;
	void onTimer () override;

private:
	bool createWindow (uint32_t parent);
	std::optional<double> readDesktopScaleFactor ();
	uint32_t internAtom (const char* name);
	void handleEvent (const xcb_generic_event_t* event);
	void handleButton (bool press, uint8_t button, int16_t x, int16_t y, uint16_t state, uint32_t time);
	void paint ();
	void flush ();
	void copyToWindow (const CDrawContext::PixelSpan& pixels);
	CPoint toFrame (int x, int y) const;

	CFrame* frame;
	IRunLoop* runLoop;
	xcb_connection_t* connection {nullptr};
	uint32_t window {0};
	uint32_t xembedInfoAtom {0};
	uint32_t xembedAtom {0};
	uint32_t graphicsContext {0};
	uint8_t depth {0};
	bool mapped {false};
	bool paintTimerRunning {false};
	bool eventHandlerRegistered {false};
	bool canCopy {false};
	CPixelBuffer backBuffer;
	std::optional<double> desktopScale;
};

} // namespace VSTGUI
