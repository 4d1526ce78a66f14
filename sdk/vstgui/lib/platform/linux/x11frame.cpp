#include "x11frame.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace VSTGUI {

namespace {

constexpr uint32_t kXEmbedVersion = 1;
constexpr uint32_t kXEmbedEmbeddedNotify = 0;

int32_t modifiersOf (uint16_t state)
{
	int32_t m = 0;
	if (state & XCB_MOD_MASK_SHIFT)
		m |= kShift;
	if (state & XCB_MOD_MASK_CONTROL)
		m |= kControl;
	if (state & (XCB_MOD_MASK_1 | XCB_MOD_MASK_5))
		m |= kAlt;
	return m;
}

int32_t heldButtonsOf (uint16_t state)
{
	int32_t b = 0;
	if (state & XCB_BUTTON_MASK_1)
		b |= kLButton;
	if (state & XCB_BUTTON_MASK_2)
		b |= kMButton;
	if (state & XCB_BUTTON_MASK_3)
		b |= kRButton;
	return b;
}

int32_t buttonOf (uint8_t detail)
{
	switch (detail)
	{
		case 1: return kLButton;
		case 2: return kMButton;
		case 3: return kRButton;
		default: return 0;
	}
}

} // namespace

X11Frame::X11Frame (CFrame* frame, uint32_t parentWindow, IRunLoop* runLoop)
: frame (frame), runLoop (runLoop)
{
	const CPoint size = frame->getPixelSize ();
	backBuffer = CPixelBuffer (static_cast<int> (size.x), static_cast<int> (size.y));
	connection = xcb_connect (nullptr, nullptr);
	// Read before the window exists: the round trip would take the window's first events off the
	// connection's descriptor, where the run loop would never see them.
	if (!xcb_connection_has_error (connection))
		desktopScale = readDesktopScaleFactor ();
	if (xcb_connection_has_error (connection) || !runLoop || !createWindow (parentWindow))
	{
		window = 0;
		return;
	}
	eventHandlerRegistered = runLoop->registerEventHandler (xcb_get_file_descriptor (connection), this);
	flush ();
	frame->setPlatformCallback (this);
	frame->invalid ();
}

X11Frame::~X11Frame ()
{
	frame->setPlatformCallback (nullptr);
	if (runLoop)
	{
		if (eventHandlerRegistered)
			runLoop->unregisterEventHandler (this);
		if (paintTimerRunning)
			runLoop->unregisterTimer (this);
	}
	if (window)
	{
		xcb_free_gc (connection, graphicsContext);
		xcb_destroy_window (connection, window);
		xcb_flush (connection);
	}
	xcb_disconnect (connection);
}

uint32_t X11Frame::internAtom (const char* name)
{
	auto cookie = xcb_intern_atom (connection, 0, static_cast<uint16_t> (strlen (name)), name);
	xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply (connection, cookie, nullptr);
	const uint32_t atom = reply ? reply->atom : 0;
	free (reply);
	return atom;
}

bool X11Frame::createWindow (uint32_t parent)
{
	xcb_get_geometry_reply_t* geometry =
	    xcb_get_geometry_reply (connection, xcb_get_geometry (connection, parent), nullptr);
	xcb_get_window_attributes_reply_t* attributes =
	    xcb_get_window_attributes_reply (connection, xcb_get_window_attributes (connection, parent), nullptr);
	const bool parentExists = geometry && attributes;
	if (parentExists)
	{
		depth = geometry->depth;
		window = xcb_generate_id (connection);
		const uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_BACKING_STORE |
		                      XCB_CW_EVENT_MASK | XCB_CW_COLORMAP;
		const uint32_t values[] = {
		    XCB_BACK_PIXMAP_NONE, 0, XCB_BACKING_STORE_WHEN_MAPPED,
		    XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE | XCB_EVENT_MASK_BUTTON_PRESS |
		        XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
		        XCB_EVENT_MASK_BUTTON_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
		        XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_EXPOSURE |
		        XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_FOCUS_CHANGE,
		    attributes->colormap,
		};
		xcb_create_window (connection, depth, window, parent, 0, 0,
		                   static_cast<uint16_t> (backBuffer.width), static_cast<uint16_t> (backBuffer.height),
		                   0, XCB_WINDOW_CLASS_INPUT_OUTPUT, attributes->visual, mask, values);
		graphicsContext = xcb_generate_id (connection);
		xcb_create_gc (connection, graphicsContext, window, 0, nullptr);

		// The window maps itself once it sees its own XEmbed info arrive (or is told it is embedded).
		xembedInfoAtom = internAtom ("_XEMBED_INFO");
		xembedAtom = internAtom ("_XEMBED");
		const uint32_t info[] = {kXEmbedVersion, 0};
		xcb_change_property (connection, XCB_PROP_MODE_REPLACE, window, xembedInfoAtom, xembedInfoAtom, 32, 2, info);

		// Only 32-bit pixels in the server's little-endian layout can take the back buffer as is.
		const xcb_setup_t* setup = xcb_get_setup (connection);
		for (auto it = xcb_setup_pixmap_formats_iterator (setup); it.rem; xcb_format_next (&it))
			if (it.data->depth == depth)
				canCopy = it.data->bits_per_pixel == 32 && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
		xcb_flush (connection);
	}
	free (geometry);
	free (attributes);
	return parentExists && !xcb_connection_has_error (connection);
}

void X11Frame::updateSize ()
{
	const CPoint size = frame->getPixelSize ();
	if (!window || (size.x == backBuffer.width && size.y == backBuffer.height))
		return;
	backBuffer = CPixelBuffer (static_cast<int> (size.x), static_cast<int> (size.y));
	const uint32_t sides[] = {static_cast<uint32_t> (size.x), static_cast<uint32_t> (size.y)};
	xcb_configure_window (connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, sides);
	flush ();
	frame->invalid ();
}

namespace {

// The value of "Xft.dpi:" in the resource text (lines of "name:\tvalue").
std::optional<double> xftDpiIn (const std::string& resources)
{
	const std::string key = "Xft.dpi:";
	for (size_t line = 0; line < resources.size ();)
	{
		const size_t end = std::min (resources.find ('\n', line), resources.size ());
		if (resources.compare (line, key.size (), key) == 0)
		{
			const std::string value = resources.substr (line + key.size (), end - line - key.size ());
			char* stop = nullptr;
			const double dpi = std::strtod (value.c_str (), &stop);
			if (stop != value.c_str () && std::isfinite (dpi) && dpi > 0.)
				return dpi;
		}
		line = end + 1;
	}
	return std::nullopt;
}

} // namespace

std::optional<double> X11Frame::readDesktopScaleFactor ()
{
	const xcb_screen_t* screen = xcb_setup_roots_iterator (xcb_get_setup (connection)).data;
	if (!screen)
		return std::nullopt;
	// The resources are a few kilobytes; a megabyte is plenty.
	constexpr uint32_t kMaxWords = 1 << 18;
	xcb_get_property_reply_t* reply = xcb_get_property_reply (
	    connection, xcb_get_property (connection, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, kMaxWords),
	    nullptr);
	std::optional<double> dpi;
	if (reply && reply->format == 8)
		dpi = xftDpiIn (std::string (static_cast<const char*> (xcb_get_property_value (reply)),
		                             static_cast<size_t> (xcb_get_property_value_length (reply))));
	free (reply);
	if (!dpi)
		return std::nullopt;
	return std::round (*dpi / 96. * 4.) / 4.;
}

CPoint X11Frame::toFrame (int x, int y) const
{
	const double scale = frame->getScaleFactor ();
	return CPoint (x / scale, y / scale);
}

void X11Frame::onFrameInvalidated ()
{
	// The paint timer stays registered once started, as the frame is painted often.
	if (!paintTimerRunning)
		paintTimerRunning = runLoop->registerTimer (kPaintInterval, this);
}

void X11Frame::onEvent ()
{
	while (xcb_generic_event_t* event = xcb_poll_for_event (connection))
	{
		handleEvent (event);
		free (event);
	}
	flush ();
}

// Writing may read what the server sent meanwhile into the connection's queue, where the run
// loop, which watches the descriptor, would not see it: those events are handled here.
void X11Frame::flush ()
{
	xcb_flush (connection);
	while (xcb_generic_event_t* event = xcb_poll_for_queued_event (connection))
	{
		handleEvent (event);
		free (event);
		xcb_flush (connection);
	}
}

void X11Frame::onTimer ()
{
	if (mapped && frame->hasDirtyRects ())
		paint ();
}

void X11Frame::handleEvent (const xcb_generic_event_t* event)
{
	switch (event->response_type & 0x7f)
	{
		case XCB_EXPOSE:
		{
			auto* e = reinterpret_cast<const xcb_expose_event_t*> (event);
			frame->invalidRect (CRect (toFrame (e->x, e->y), toFrame (e->width, e->height)));
			break;
		}
		case XCB_PROPERTY_NOTIFY:
		{
			auto* e = reinterpret_cast<const xcb_property_notify_event_t*> (event);
			if (e->window == window && e->atom == xembedInfoAtom && !mapped)
			{
				xcb_map_window (connection, window);
				mapped = true;
			}
			break;
		}
		case XCB_CLIENT_MESSAGE:
		{
			auto* e = reinterpret_cast<const xcb_client_message_event_t*> (event);
			if (e->type == xembedAtom && e->format == 32 && e->data.data32[1] == kXEmbedEmbeddedNotify && !mapped)
			{
				xcb_map_window (connection, window);
				mapped = true;
			}
			break;
		}
		case XCB_BUTTON_PRESS:
		case XCB_BUTTON_RELEASE:
		{
			auto* e = reinterpret_cast<const xcb_button_press_event_t*> (event);
			handleButton ((event->response_type & 0x7f) == XCB_BUTTON_PRESS, e->detail, e->event_x,
			              e->event_y, e->state, e->time);
			break;
		}
		case XCB_MOTION_NOTIFY:
		{
			auto* e = reinterpret_cast<const xcb_motion_notify_event_t*> (event);
			CPoint where = toFrame (e->event_x, e->event_y);
			frame->onMouseMoved (where, heldButtonsOf (e->state) | modifiersOf (e->state));
			break;
		}
		case XCB_LEAVE_NOTIFY:
		{
			// Not while a button is held: the drag goes on outside the window.
			auto* e = reinterpret_cast<const xcb_leave_notify_event_t*> (event);
			if (e->mode == XCB_NOTIFY_MODE_NORMAL && !heldButtonsOf (e->state))
				frame->onMouseExited ();
			break;
		}
		default: break;
	}
}

void X11Frame::handleButton (bool press, uint8_t detail, int16_t x, int16_t y, uint16_t state, uint32_t time)
{
	CPoint where = toFrame (x, y);
	const int32_t modifiers = modifiersOf (state);
	if (detail == 4 || detail == 5)
	{
		// Wheel notches arrive as a press and a release; one notch per press.
		if (press)
			frame->onWheel (where, detail == 4 ? 1.f : -1.f, modifiers);
		return;
	}
	const int32_t button = buttonOf (detail);
	if (!button)
		return;
	if (press)
	{
		// Keep the moves and the release while the button is down, even outside the window.
		xcb_grab_pointer (connection, 0, window,
		                  XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
		                      XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_BUTTON_MOTION,
		                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, time);
		frame->onMouseDown (where, button | modifiers);
	}
	else
	{
		xcb_ungrab_pointer (connection, time);
		frame->onMouseUp (where, button | modifiers);
	}
}

void X11Frame::paint ()
{
	CDrawContext context (backBuffer, frame->getScaleFactor ());
	CRect area;
	for (const CRect& r : frame->drawDirtyRects (context))
		area.unite (r);
	context.setClipRect (area);
	if (!area.isEmpty ())
		copyToWindow (context.clipPixels ());
	flush ();
}

void X11Frame::copyToWindow (const CDrawContext::PixelSpan& pixels)
{
	if (!canCopy)
		return;
	const int left = pixels.left;
	const int top = pixels.top;
	const int bottom = pixels.bottom;
	const int width = pixels.right - left;
	if (width <= 0 || bottom <= top)
		return;
	// Split into bands that fit the server's request size limit.
	const size_t maxBytes = static_cast<size_t> (xcb_get_maximum_request_length (connection)) * 4 - 64;
	const int bandRows = std::max (1, static_cast<int> (maxBytes / (static_cast<size_t> (width) * 4)));
	std::vector<uint32_t> band;
	for (int y = top; y < bottom; y += bandRows)
	{
		const int rows = std::min (bandRows, bottom - y);
		band.resize (static_cast<size_t> (width) * rows);
		for (int r = 0; r < rows; ++r)
			std::copy_n (backBuffer.row (y + r) + left, width, band.data () + static_cast<size_t> (r) * width);
		xcb_put_image (connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, graphicsContext,
		               static_cast<uint16_t> (width), static_cast<uint16_t> (rows), static_cast<int16_t> (left),
		               static_cast<int16_t> (y), 0, depth, static_cast<uint32_t> (band.size () * 4),
		               reinterpret_cast<const uint8_t*> (band.data ()));
	}
}

} // namespace VSTGUI
