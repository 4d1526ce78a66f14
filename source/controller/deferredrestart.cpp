#include "deferredrestart.h"

#if defined(_WIN32)
#include <windows.h>
#include <algorithm>
#include <vector>
#else
#include "base/source/fobject.h"
#endif

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {
// Soon enough for a host's display, late enough to be outside the call that asked.
constexpr uint32 kDelayMs = 10;
} // namespace

#if defined(_WIN32)

// A thread timer: its WM_TIMER reaches onTimer through the host's message loop.
struct DeferredRestart::Timer
{
	UINT_PTR id;
	DeferredRestart* owner;
};

namespace {

// The running timers, by the IDs Windows gave them; only ever touched on the main thread.
std::vector<DeferredRestart::Timer*>& runningTimers ()
{
	static std::vector<DeferredRestart::Timer*> timers;
	return timers;
}

} // namespace

static void CALLBACK onThreadTimer (HWND, UINT, UINT_PTR id, DWORD)
{
	for (DeferredRestart::Timer* timer : runningTimers ())
		if (timer->id == id)
			return timer->owner->deliver ();
}

bool DeferredRestart::startTimer (FUnknown* const*, int32)
{
	const UINT_PTR id = SetTimer (nullptr, 0, kDelayMs, onThreadTimer);
	if (!id)
		return false;
	timer = new Timer {id, this};
	runningTimers ().push_back (timer);
	return true;
}

void DeferredRestart::stopTimer ()
{
	if (!timer)
		return;
	// A WM_TIMER already queued finds no timer with its ID and does nothing.
	KillTimer (nullptr, timer->id);
	auto& timers = runningTimers ();
	timers.erase (std::remove (timers.begin (), timers.end (), timer), timers.end ());
	delete timer;
	timer = nullptr;
}

#else

struct DeferredRestart::Timer : public FObject, public Linux::ITimerHandler
{
	Timer (DeferredRestart* owner, Linux::IRunLoop* loop) : owner (owner), loop (loop) {}

	void PLUGIN_API onTimer () override
	{
		// Delivering unregisters this timer; it stays alive until the call returns.
		IPtr<Timer> self (this);
		if (owner)
			owner->deliver ();
	}

	DeferredRestart* owner;
	IPtr<Linux::IRunLoop> loop;

	OBJ_METHODS (Timer, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (Linux::ITimerHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)
};

bool DeferredRestart::startTimer (FUnknown* const* runLoopSources, int32 sourceCount)
{
	for (int32 i = 0; i < sourceCount; ++i)
	{
		FUnknownPtr<Linux::IRunLoop> loop (runLoopSources[i]);
		if (!loop)
			continue;
		auto* candidate = new Timer (this, loop);
		if (loop->registerTimer (candidate, kDelayMs) == kResultTrue)
		{
			timer = candidate;
			return true;
		}
		candidate->release ();
	}
	return false;
}

void DeferredRestart::stopTimer ()
{
	if (!timer)
		return;
	timer->owner = nullptr; // a call the host had queued does nothing
	timer->loop->unregisterTimer (timer);
	timer->release ();
	timer = nullptr;
}

#endif

DeferredRestart::DeferredRestart () = default;

DeferredRestart::~DeferredRestart ()
{
	cancel ();
}

void DeferredRestart::request (IComponentHandler* newHandler, int32 newFlags, FUnknown* const* runLoopSources,
                               int32 sourceCount)
{
	if (!newHandler || newFlags == 0)
		return;
	if (handler != newHandler)
	{
		cancel ();
		handler = newHandler;
	}
	flags |= newFlags;
	if (!timer)
		startTimer (runLoopSources, sourceCount);
}

void DeferredRestart::reschedule (FUnknown* const* runLoopSources, int32 sourceCount)
{
	if (flags == 0)
		return;
	stopTimer ();
	startTimer (runLoopSources, sourceCount);
}

void DeferredRestart::deliver ()
{
	stopTimer ();
	if (!handler || flags == 0)
		return;
	const int32 delivered = flags;
	flags = 0;
	IPtr<IComponentHandler> target = handler; // the host may change handlers in the call
	target->restartComponent (delivered);
}

void DeferredRestart::cancel ()
{
	stopTimer ();
	flags = 0;
	handler = nullptr;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
