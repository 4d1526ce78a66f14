// The views' run loop on Windows: repeating timers are Win32 timers on a message-only window
// that the run loop owns, served by the host's message loop on the thread that made it. There
// are no file descriptors to watch.
#pragma once

#include "../../irunloop.h"

#include <windows.h>

#include <vector>

namespace VSTGUI {

class Win32WindowClass;

class Win32RunLoop : public IRunLoop
{
public:
	// UI thread, as every method. Check isValid: the window may not be available.
	Win32RunLoop ();
	~Win32RunLoop () override;
	Win32RunLoop (const Win32RunLoop&) = delete;
	Win32RunLoop& operator= (const Win32RunLoop&) = delete;

	bool isValid () const { return window != nullptr; }

	bool registerEventHandler (int fd, IEventHandler* handler) override;
	bool unregisterEventHandler (IEventHandler* handler) override;
	// A handler registered again restarts with the new interval.
	bool registerTimer (uint64_t intervalMs, ITimerHandler* handler) override;
	bool unregisterTimer (ITimerHandler* handler) override;
	uint64_t getTicks () const override;

	size_t timerCount () const { return timers.size (); }

private:
	struct Timer
	{
		UINT_PTR id;
		ITimerHandler* handler;
	};
	static Win32WindowClass& windowClass ();
	static LRESULT CALLBACK windowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam);
	void fire (UINT_PTR id);

	HWND window {nullptr};
	std::vector<Timer> timers;
	// Every registration gets a new id, so a WM_TIMER still queued for a timer that is gone
	// finds nothing.
	UINT_PTR nextId {1};
};

} // namespace VSTGUI
