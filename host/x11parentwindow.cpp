#include "x11parentwindow.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <cstring>

namespace kt3host {

X11ParentWindow::X11ParentWindow (int width, int height)
{
	int screenNumber = 0;
	connection = xcb_connect (nullptr, &screenNumber);
	if (xcb_connection_has_error (connection))
	{
		errorText = "cannot connect to the X display";
		return;
	}
	auto screens = xcb_setup_roots_iterator (xcb_get_setup (connection));
	for (int i = 0; i < screenNumber; ++i)
		xcb_screen_next (&screens);
	root = screens.data->root;
	window = xcb_generate_id (connection);
	const uint32_t values[] = {screens.data->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
	xcb_create_window (connection, XCB_COPY_FROM_PARENT, window, root, 0, 0, static_cast<uint16_t> (width),
	                   static_cast<uint16_t> (height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
	                   screens.data->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
	xcb_map_window (connection, window);
	sync ();
}

X11ParentWindow::~X11ParentWindow ()
{
	if (window)
		xcb_destroy_window (connection, window);
	xcb_disconnect (connection);
}

void X11ParentWindow::setDesktopResources (const std::string& resources)
{
	if (resources.empty ())
		xcb_delete_property (connection, root, XCB_ATOM_RESOURCE_MANAGER);
	else
		xcb_change_property (connection, XCB_PROP_MODE_REPLACE, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 8,
		                     static_cast<uint32_t> (resources.size ()), resources.data ());
	sync ();
}

std::vector<uint32_t> X11ParentWindow::children ()
{
	std::vector<uint32_t> result;
	xcb_query_tree_reply_t* tree = xcb_query_tree_reply (connection, xcb_query_tree (connection, window), nullptr);
	if (!tree)
		return result;
	const xcb_window_t* list = xcb_query_tree_children (tree);
	result.assign (list, list + xcb_query_tree_children_length (tree));
	free (tree);
	return result;
}

bool X11ParentWindow::isMapped (uint32_t windowId)
{
	xcb_get_window_attributes_reply_t* attributes =
	    xcb_get_window_attributes_reply (connection, xcb_get_window_attributes (connection, windowId), nullptr);
	const bool mapped = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
	free (attributes);
	return mapped;
}

std::pair<int, int> X11ParentWindow::size (uint32_t windowId)
{
	xcb_get_geometry_reply_t* geometry =
	    xcb_get_geometry_reply (connection, xcb_get_geometry (connection, windowId), nullptr);
	const std::pair<int, int> sides = geometry ? std::make_pair (int (geometry->width), int (geometry->height))
	                                           : std::make_pair (0, 0);
	free (geometry);
	return sides;
}

std::vector<uint32_t> X11ParentWindow::capture (uint32_t windowId, int width, int height)
{
	std::vector<uint32_t> pixels;
	xcb_get_image_reply_t* image = xcb_get_image_reply (
	    connection,
	    xcb_get_image (connection, XCB_IMAGE_FORMAT_Z_PIXMAP, windowId, 0, 0, static_cast<uint16_t> (width),
	                   static_cast<uint16_t> (height), ~0u),
	    nullptr);
	if (!image)
		return pixels;
	const int length = xcb_get_image_data_length (image);
	if (length == width * height * 4)
	{
		pixels.resize (static_cast<size_t> (width) * height);
		std::memcpy (pixels.data (), xcb_get_image_data (image), static_cast<size_t> (length));
		for (uint32_t& p : pixels)
			p &= 0xffffff;
	}
	free (image);
	return pixels;
}

void X11ParentWindow::movePointer (int x, int y)
{
	// The window sits at the root's origin (no window manager), so its coordinates are the root's.
	xcb_test_fake_input (connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, static_cast<int16_t> (x),
	                     static_cast<int16_t> (y), 0);
	sync ();
}

void X11ParentWindow::pressButton (uint8_t button)
{
	xcb_test_fake_input (connection, XCB_BUTTON_PRESS, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
	sync ();
}

void X11ParentWindow::releaseButton (uint8_t button)
{
	xcb_test_fake_input (connection, XCB_BUTTON_RELEASE, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
	sync ();
}

void X11ParentWindow::sync ()
{
	free (xcb_get_input_focus_reply (connection, xcb_get_input_focus (connection), nullptr));
}

} // namespace kt3host
