#include "win32frame.h"
#include "win32windowclass.h"

#include <windowsx.h>

#include <cmath>
#include <optional>

namespace VSTGUI {

namespace {

constexpr DWORD kWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// The modifiers as X11Frame maps them: Shift, Control, and Alt (which mouse messages do not
// carry, so it is read from the keyboard state the message came with).
int32_t modifiersOf (WPARAM keys)
{
	int32_t m = 0;
	if (keys & MK_SHIFT)
		m |= kShift;
	if (keys & MK_CONTROL)
		m |= kControl;
	if (GetKeyState (VK_MENU) < 0)
		m |= kAlt;
	return m;
}

int32_t heldButtonsOf (WPARAM keys)
{
	int32_t b = 0;
	if (keys & MK_LBUTTON)
		b |= kLButton;
	if (keys & MK_MBUTTON)
		b |= kMButton;
	if (keys & MK_RBUTTON)
		b |= kRButton;
	return b;
}

// Client coordinates of a mouse message; negative outside the window while captured.
CPoint pointOf (LPARAM lParam)
{
	return CPoint (GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam));
}

} // namespace

Win32WindowClass& Win32Frame::windowClass ()
{
	static Win32WindowClass frameWindows (L"KT3EditorFrame", &Win32Frame::windowProc);
	return frameWindows;
}

Win32Frame::Win32Frame (CFrame* frame, HWND parent) : frame (frame)
{
	const CRect& size = frame->getViewSize ();
	backBuffer = CPixelBuffer (static_cast<int> (size.getWidth ()), static_cast<int> (size.getHeight ()));
	if (!parent || !IsWindow (parent))
		return;
	classAcquired = windowClass ().acquire ();
	if (!classAcquired)
		return;
	window = CreateWindowExW (0, windowClass ().getName (), L"", kWindowStyle, 0, 0, backBuffer.width,
	                          backBuffer.height, parent, nullptr, Win32WindowClass::moduleInstance (), this);
	if (window)
		frame->setPlatformCallback (this);
}

Win32Frame::~Win32Frame ()
{
	frame->setPlatformCallback (nullptr);
	if (window)
	{
		// Destroying the window releases the capture; the frame's views end their edits as they go.
		SetWindowLongPtrW (window, GWLP_USERDATA, 0);
		DestroyWindow (window);
	}
	if (classAcquired)
		windowClass ().release ();
}

LRESULT CALLBACK Win32Frame::windowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
	if (message == WM_NCCREATE)
	{
		auto* create = reinterpret_cast<const CREATESTRUCTW*> (lParam);
		SetWindowLongPtrW (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (create->lpCreateParams));
	}
	auto* self = reinterpret_cast<Win32Frame*> (GetWindowLongPtrW (window, GWLP_USERDATA));
	if (!self)
		return DefWindowProcW (window, message, wParam, lParam);
	if (message == WM_NCDESTROY)
	{
		// Destroyed with the host's window, before the frame: nothing is left to destroy.
		SetWindowLongPtrW (window, GWLP_USERDATA, 0);
		self->frame->setPlatformCallback (nullptr);
		self->window = nullptr;
		self->capturing = false;
		return DefWindowProcW (window, message, wParam, lParam);
	}
	// The frame's event is the last thing a message handler does: the host may close the
	// editor from inside it (on an edit it is told about), which deletes this object.
	if (const std::optional<LRESULT> result = self->handleMessage (message, wParam, lParam))
		return *result;
	return DefWindowProcW (window, message, wParam, lParam);
}

std::optional<LRESULT> Win32Frame::handleMessage (UINT message, WPARAM wParam, LPARAM lParam)
{
	switch (message)
	{
		case WM_PAINT: paint (); return 0;
		case WM_ERASEBKGND: return 1; // the paint covers every pixel
		case WM_LBUTTONDOWN: buttonDown (kLButton, wParam, lParam); return 0;
		case WM_MBUTTONDOWN: buttonDown (kMButton, wParam, lParam); return 0;
		case WM_RBUTTONDOWN: buttonDown (kRButton, wParam, lParam); return 0;
		case WM_LBUTTONUP: buttonUp (kLButton, wParam, lParam); return 0;
		case WM_MBUTTONUP: buttonUp (kMButton, wParam, lParam); return 0;
		case WM_RBUTTONUP: buttonUp (kRButton, wParam, lParam); return 0;
		case WM_MOUSEMOVE:
		{
			CPoint where = pointOf (lParam);
			frame->onMouseMoved (where, heldButtonsOf (wParam) | modifiersOf (wParam));
			return 0;
		}
		case WM_MOUSEWHEEL:
			if (wheel (wParam, lParam))
				return 0;
			return std::nullopt; // unused notches go on to the parent
		case WM_CAPTURECHANGED:
			// Taken by another window (or released by the system) while a button is down: the
			// drag ends as cancelled, since its release will not come here.
			if (capturing && reinterpret_cast<HWND> (lParam) != window)
			{
				capturing = false;
				frame->onMouseCancel ();
			}
			return 0;
		default: return std::nullopt;
	}
}

void Win32Frame::onFrameInvalidated ()
{
	for (const CRect& r : frame->getDirtyRects ())
	{
		const RECT rect {static_cast<LONG> (std::floor (r.left)), static_cast<LONG> (std::floor (r.top)),
		                 static_cast<LONG> (std::ceil (r.right)), static_cast<LONG> (std::ceil (r.bottom))};
		InvalidateRect (window, &rect, FALSE);
	}
}

void Win32Frame::paint ()
{
	// What the system wants painted joins the frame's own rectangles, which all lie in the
	// update region already; taken before BeginPaint validates the region.
	RECT update;
	if (GetUpdateRect (window, &update, FALSE))
		frame->invalidRect (CRect (update.left, update.top, update.right, update.bottom));
	PAINTSTRUCT ps;
	HDC dc = BeginPaint (window, &ps);
	if (dc)
	{
		CDrawContext context (backBuffer);
		frame->drawDirtyRects (context);
		BITMAPINFO info {};
		info.bmiHeader.biSize = sizeof (info.bmiHeader);
		info.bmiHeader.biWidth = backBuffer.width;
		info.bmiHeader.biHeight = -backBuffer.height; // top-down rows, as the buffer holds them
		info.bmiHeader.biPlanes = 1;
		info.bmiHeader.biBitCount = 32;
		info.bmiHeader.biCompression = BI_RGB;
		// The whole buffer, clipped by the paint DC to the update region.
		SetDIBitsToDevice (dc, 0, 0, static_cast<DWORD> (backBuffer.width), static_cast<DWORD> (backBuffer.height), 0,
		                   0, 0, static_cast<UINT> (backBuffer.height), backBuffer.pixels.data (), &info,
		                   DIB_RGB_COLORS);
	}
	EndPaint (window, &ps);
}

void Win32Frame::buttonDown (int32_t button, WPARAM wParam, LPARAM lParam)
{
	// The moves and the release keep coming here while a button is down, even outside the window.
	if (!capturing)
	{
		SetCapture (window);
		capturing = true;
	}
	CPoint where = pointOf (lParam);
	frame->onMouseDown (where, button | modifiersOf (wParam));
}

void Win32Frame::buttonUp (int32_t button, WPARAM wParam, LPARAM lParam)
{
	if (capturing && !heldButtonsOf (wParam))
	{
		capturing = false;
		ReleaseCapture ();
	}
	CPoint where = pointOf (lParam);
	frame->onMouseUp (where, button | modifiersOf (wParam));
}

bool Win32Frame::wheel (WPARAM wParam, LPARAM lParam)
{
	POINT p {GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam)};
	ScreenToClient (window, &p);
	// Positive away from the user, one per notch (X11 button 4); high-resolution wheels give parts.
	const float distance = static_cast<float> (GET_WHEEL_DELTA_WPARAM (wParam)) / WHEEL_DELTA;
	return frame->onWheel (CPoint (p.x, p.y), distance, modifiersOf (GET_KEYSTATE_WPARAM (wParam)));
}

} // namespace VSTGUI
