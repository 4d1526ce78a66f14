#include "plugframe.h"

#include <algorithm>
#include <chrono>
#include <poll.h>

namespace kt3host {

using namespace Steinberg;

namespace {

uint64_t nowMs ()
{
	using namespace std::chrono;
	return static_cast<uint64_t> (duration_cast<milliseconds> (steady_clock::now ().time_since_epoch ()).count ());
}

// Takes the handler's entry out of the list and drops the reference it held.
template <typename Entry, typename Handler>
tresult removeEntryOf (std::vector<Entry>& list, Handler* handler)
{
	auto it = std::find_if (list.begin (), list.end (), [&] (const Entry& e) { return e.handler == handler; });
	if (it == list.end ())
		return kInvalidArgument;
	list.erase (it);
	handler->release ();
	return kResultTrue;
}

} // namespace

PlugFrame::PlugFrame () = default;

PlugFrame::~PlugFrame ()
{
	// A view that forgot to unregister leaves its references here.
	for (Handler& h : handlers)
		h.handler->release ();
	for (Timer& t : timers)
		t.handler->release ();
}

tresult PLUGIN_API PlugFrame::resizeView (IPlugView* view, ViewRect* newSize)
{
	if (!view || !newSize)
		return kInvalidArgument;
	resizeRequests.push_back (*newSize);
	return view->onSize (newSize);
}

tresult PLUGIN_API PlugFrame::registerEventHandler (Linux::IEventHandler* handler, Linux::FileDescriptor fd)
{
	if (!handler || fd < 0)
		return kInvalidArgument;
	handler->addRef ();
	handlers.push_back ({handler, fd});
	return kResultTrue;
}

tresult PLUGIN_API PlugFrame::unregisterEventHandler (Linux::IEventHandler* handler)
{
	return removeEntryOf (handlers, handler);
}

tresult PLUGIN_API PlugFrame::registerTimer (Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds)
{
	if (!handler || milliseconds == 0)
		return kInvalidArgument;
	handler->addRef ();
	timers.push_back ({handler, milliseconds, nowMs () + milliseconds});
	return kResultTrue;
}

tresult PLUGIN_API PlugFrame::unregisterTimer (Linux::ITimerHandler* handler)
{
	return removeEntryOf (timers, handler);
}

void PlugFrame::runOnce (uint64_t maxWaitMs)
{
	const uint64_t start = nowMs ();
	uint64_t wait = maxWaitMs;
	for (const Timer& t : timers)
		wait = std::min (wait, t.due > start ? t.due - start : 0);

	std::vector<pollfd> fds;
	for (const Handler& h : handlers)
		fds.push_back ({h.fd, POLLIN, 0});
	poll (fds.data (), fds.size (), static_cast<int> (wait));

	// Callbacks may unregister handlers: keep each one alive while calling it, and skip gone ones.
	const std::vector<Handler> polled = handlers;
	for (size_t i = 0; i < fds.size (); ++i)
	{
		if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
			continue;
		const bool live = std::any_of (handlers.begin (), handlers.end (),
		                               [&] (const Handler& h) { return h.handler == polled[i].handler; });
		if (!live)
			continue;
		IPtr<Linux::IEventHandler> keep (polled[i].handler);
		keep->onFDIsSet (polled[i].fd);
	}

	const uint64_t now = nowMs ();
	std::vector<Linux::ITimerHandler*> due;
	for (Timer& t : timers)
	{
		if (t.due <= now)
		{
			t.due = now + t.interval;
			due.push_back (t.handler);
		}
	}
	for (Linux::ITimerHandler* handler : due)
	{
		const bool live = std::any_of (timers.begin (), timers.end (), [&] (const Timer& t) { return t.handler == handler; });
		if (!live)
			continue;
		IPtr<Linux::ITimerHandler> keep (handler);
		keep->onTimer ();
	}
}

void PlugFrame::runFor (uint32_t milliseconds)
{
	runUntil ([] () { return false; }, milliseconds);
}

bool PlugFrame::runUntil (const std::function<bool ()>& done, uint32_t timeoutMs)
{
	const uint64_t end = nowMs () + timeoutMs;
	while (!done ())
	{
		const uint64_t now = nowMs ();
		if (now >= end)
			return done ();
		runOnce (end - now);
	}
	return true;
}

} // namespace kt3host
