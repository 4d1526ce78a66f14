#include "win32runloop.h"
#include "win32windowclass.h"

#include <algorithm>
#include <chrono>

namespace VSTGUI {

Win32WindowClass& Win32RunLoop::windowClass ()
{
	static Win32WindowClass timerWindows (L"KT3EditorTimers", &Win32RunLoop::windowProc);
	return timerWindows;
}

LRESULT CALLBACK Win32RunLoop::windowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
	if (message == WM_TIMER)
	{
		if (auto* loop = reinterpret_cast<Win32RunLoop*> (GetWindowLongPtrW (window, GWLP_USERDATA)))
			loop->fire (wParam);
		return 0;
	}
	return DefWindowProcW (window, message, wParam, lParam);
}

Win32RunLoop::Win32RunLoop ()
{
	if (!windowClass ().acquire ())
		return;
	window = CreateWindowExW (0, windowClass ().getName (), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
	                          Win32WindowClass::moduleInstance (), nullptr);
	if (!window)
	{
		windowClass ().release ();
		return;
	}
	SetWindowLongPtrW (window, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (this));
}

Win32RunLoop::~Win32RunLoop ()
{
	if (!window)
		return;
	// Destroying the window kills its timers and drops their queued messages.
	SetWindowLongPtrW (window, GWLP_USERDATA, 0);
	DestroyWindow (window);
	windowClass ().release ();
}

void Win32RunLoop::fire (UINT_PTR id)
{
	auto it = std::find_if (timers.begin (), timers.end (), [&] (const Timer& t) { return t.id == id; });
	// The handler may unregister any timer, itself included, or end this run loop: nothing of
	// this object is touched after the call.
	if (it != timers.end ())
		it->handler->onTimer ();
}

bool Win32RunLoop::registerEventHandler (int, IEventHandler*)
{
	return false;
}

bool Win32RunLoop::unregisterEventHandler (IEventHandler*)
{
	return false;
}

bool Win32RunLoop::registerTimer (uint64_t intervalMs, ITimerHandler* handler)
{
	if (!window || !handler)
		return false;
	unregisterTimer (handler);
	// Windows raises intervals under USER_TIMER_MINIMUM to it and caps them at USER_TIMER_MAXIMUM.
	const auto interval = static_cast<UINT> (std::min<uint64_t> (intervalMs, USER_TIMER_MAXIMUM));
	const UINT_PTR id = nextId++;
	if (!SetTimer (window, id, interval, nullptr))
		return false;
	timers.push_back ({id, handler});
	return true;
}

bool Win32RunLoop::unregisterTimer (ITimerHandler* handler)
{
	auto it = std::find_if (timers.begin (), timers.end (), [&] (const Timer& t) { return t.handler == handler; });
	if (it == timers.end ())
		return false;
	KillTimer (window, it->id);
	timers.erase (it);
	return true;
}

uint64_t Win32RunLoop::getTicks () const
{
	using namespace std::chrono;
	return static_cast<uint64_t> (duration_cast<milliseconds> (steady_clock::now ().time_since_epoch ()).count ());
}

} // namespace VSTGUI
