// A component handler that behaves as some DAWs do: it holds a lock of its own while it calls
// the controller (whileLocked) and takes that lock again in restartComponent. A restart from
// inside such a call would wait for ever there; here it is counted in `deadlocks` instead.
// Like those DAWs it offers its run loop (on Linux as Linux::IRunLoop, on Windows the thread's
// message queue), which serveUntil runs on the calling thread.
#pragma once

#include "edithandler.h"

#include <functional>
#include <mutex>
#include <thread>

#if !defined(_WIN32)
#include "plugframe.h"
#endif

namespace kt3host {

class LockingHandler : public EditHandler
{
public:
	template <typename Call>
	void whileLocked (Call&& call)
	{
		std::lock_guard<std::mutex> hold (lock);
		holder = std::this_thread::get_id ();
		call ();
		holder = {};
	}

	// Serves the run loop until done () holds or the time is up; returns done ().
	bool serveUntil (const std::function<bool ()>& done, uint32_t timeoutMs);

	int deadlocks = 0;

	Steinberg::tresult PLUGIN_API restartComponent (Steinberg::int32 flags) override;
#if !defined(_WIN32)
	// Adds Linux::IRunLoop.
	Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override;
#endif

private:
	std::mutex lock;
	std::thread::id holder;
#if !defined(_WIN32)
	Steinberg::IPtr<PlugFrame> runLoop = Steinberg::owned (new PlugFrame);
#endif
};

} // namespace kt3host
