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

// Sent to child windows after their top-level window's DPI changed (Windows 10 1703 on).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

} // namespace

Win32WindowClass& Win32Frame::windowClass ()
{
	static Win32WindowClass frameWindows (L"KT3EditorFrame", &Win32Frame::windowProc);
	return frameWindows;
}

Win32Frame::Win32Frame (CFrame* frame, HWND parent) : frame (frame)
{
	const CPoint size = frame->getPixelSize ();
	backBuffer = CPixelBuffer (static_cast<int> (size.x), static_cast<int> (size.y));
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

void Win32Frame::updateSize ()
{
	const CPoint size = frame->getPixelSize ();
	if (!window || (size.x == backBuffer.width && size.y == backBuffer.height))
		return;
	backBuffer = CPixelBuffer (static_cast<int> (size.x), static_cast<int> (size.y));
	SetWindowPos (window, nullptr, 0, 0, backBuffer.width, backBuffer.height,
	              SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
	frame->invalid ();
}

std::optional<double> Win32Frame::desktopScaleFactor () const
{
	// Looked up at run time: older Windows lack it.
	using GetDpiForWindowFunction = UINT (WINAPI*) (HWND);
	static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction> (
	    reinterpret_cast<void*> (GetProcAddress (GetModuleHandleW (L"user32.dll"), "GetDpiForWindow")));
	const UINT dpi = window && getDpiForWindow ? getDpiForWindow (window) : 0;
	if (dpi == 0)
		return std::nullopt;
	return dpi / 96.;
}

CPoint Win32Frame::toFrame (LONG x, LONG y) const
{
	const double scale = frame->getScaleFactor ();
	return CPoint (x / scale, y / scale);
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
			if (!trackingLeave)
			{
				TRACKMOUSEEVENT track {sizeof (track), TME_LEAVE, window, 0};
				trackingLeave = TrackMouseEvent (&track) != 0;
			}
			CPoint where = toFrame (GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam));
			frame->onMouseMoved (where, heldButtonsOf (wParam) | modifiersOf (wParam));
			return 0;
		}
		case WM_MOUSELEAVE:
			trackingLeave = false;
			frame->onMouseExited ();
			return 0;
		case kDpiChangedAfterParent:
			if (const std::optional<double> factor = desktopScaleFactor ())
				if (VSTGUIEditorInterface* editor = frame->getEditor ())
					editor->desktopScaleChanged (*factor);
			return 0;
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
	const double scale = frame->getScaleFactor ();
	for (const CRect& r : frame->getDirtyRects ())
	{
		const RECT rect {static_cast<LONG> (std::floor (r.left * scale)), static_cast<LONG> (std::floor (r.top * scale)),
		                 static_cast<LONG> (std::ceil (r.right * scale)), static_cast<LONG> (std::ceil (r.bottom * scale))};
		InvalidateRect (window, &rect, FALSE);
	}
}

void Win32Frame::paint ()
{
	// What the system wants painted joins the frame's own rectangles, which all lie in the
	// update region already; taken before BeginPaint validates the region.
	RECT update;
	if (GetUpdateRect (window, &update, FALSE))
		frame->invalidRect (CRect (toFrame (update.left, update.top), toFrame (update.right, update.bottom)));
	PAINTSTRUCT ps;
	HDC dc = BeginPaint (window, &ps);
	if (dc)
	{
		CDrawContext context (backBuffer, frame->getScaleFactor ());
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
	if (GetFocus () != window)
		SetFocus (window);
	// The moves and the release keep coming here while a button is down, even outside the window.
	if (!capturing)
	{
		SetCapture (window);
		capturing = true;
	}
	CPoint where = toFrame (GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam));
	frame->onMouseDown (where, button | modifiersOf (wParam));
}

void Win32Frame::buttonUp (int32_t button, WPARAM wParam, LPARAM lParam)
{
	if (capturing && !heldButtonsOf (wParam))
	{
		capturing = false;
		ReleaseCapture ();
	}
	CPoint where = toFrame (GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam));
	frame->onMouseUp (where, button | modifiersOf (wParam));
}

bool Win32Frame::wheel (WPARAM wParam, LPARAM lParam)
{
	POINT p {GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam)};
	ScreenToClient (window, &p);
	// Positive away from the user, one per notch (X11 button 4); high-resolution wheels give parts.
	const float distance = static_cast<float> (GET_WHEEL_DELTA_WPARAM (wParam)) / WHEEL_DELTA;
	return frame->onWheel (toFrame (p.x, p.y), distance, modifiersOf (GET_KEYSTATE_WPARAM (wParam)));
}

} // namespace VSTGUI
