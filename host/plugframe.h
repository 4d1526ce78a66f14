// The host side of an editor window on Linux: the IPlugFrame given to a view, which also
// offers the Linux IRunLoop. The run loop serves registered file descriptors and timers
// while the host runs it, on the calling thread.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace kt3host {

class PlugFrame : public Steinberg::FObject, public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop
{
public:
	PlugFrame ();
	~PlugFrame () override;

	// Serves events and timers for that long.
	void runFor (uint32_t milliseconds);
	// Serves events and timers until done () holds or the time is up; returns done ().
	bool runUntil (const std::function<bool ()>& done, uint32_t timeoutMs);

	size_t eventHandlerCount () const { return handlers.size (); }
	size_t timerCount () const { return timers.size (); }
	// The sizes views asked for through resizeView.
	std::vector<Steinberg::ViewRect> resizeRequests;

	//---IPlugFrame
	Steinberg::tresult PLUGIN_API resizeView (Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;

	//---Linux::IRunLoop
	Steinberg::tresult PLUGIN_API registerEventHandler (Steinberg::Linux::IEventHandler* handler,
	                                                    Steinberg::Linux::FileDescriptor fd) override;
	Steinberg::tresult PLUGIN_API unregisterEventHandler (Steinberg::Linux::IEventHandler* handler) override;
	Steinberg::tresult PLUGIN_API registerTimer (Steinberg::Linux::ITimerHandler* handler,
	                                             Steinberg::Linux::TimerInterval milliseconds) override;
	Steinberg::tresult PLUGIN_API unregisterTimer (Steinberg::Linux::ITimerHandler* handler) override;

	OBJ_METHODS (PlugFrame, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (Steinberg::IPlugFrame)
		DEF_INTERFACE (Steinberg::Linux::IRunLoop)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	struct Handler
	{
		Steinberg::Linux::IEventHandler* handler;
		int fd;
	};
	struct Timer
	{
		Steinberg::Linux::ITimerHandler* handler;
		uint64_t interval;
		uint64_t due;
	};
	// Waits at most until the next timer is due (or maxWaitMs), then serves what is ready.
	void runOnce (uint64_t maxWaitMs);

	std::vector<Handler> handlers;
	std::vector<Timer> timers;
};

} // namespace kt3host
