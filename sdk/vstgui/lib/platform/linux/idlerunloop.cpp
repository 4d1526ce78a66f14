#include "idlerunloop.h"

#include <algorithm>
#include <chrono>
#include <poll.h>

namespace VSTGUI {

namespace {

template <typename Entry, typename Handler>
bool removeEntriesOf (std::vector<Entry>& list, Handler* handler)
{
	const auto end = std::remove_if (list.begin (), list.end (), [&] (const Entry& e) { return e.handler == handler; });
	const bool found = end != list.end ();
	list.erase (end, list.end ());
	return found;
}

} // namespace

uint64_t monotonicMilliseconds ()
{
	using namespace std::chrono;
	return static_cast<uint64_t> (
	    duration_cast<milliseconds> (steady_clock::now ().time_since_epoch ()).count ());
}

IdleRunLoop::IdleRunLoop (Clock c) : clock (c ? std::move (c) : Clock (monotonicMilliseconds))
{
}

void IdleRunLoop::idle ()
{
	pollEventSources ();
	fireDueTimers ();
}

void IdleRunLoop::pollEventSources ()
{
	std::vector<pollfd> fds;
	for (const EventSource& s : sources)
		fds.push_back ({s.fd, POLLIN, 0});
	if (fds.empty () || poll (fds.data (), fds.size (), 0) <= 0)
		return;
	const std::vector<EventSource> polled = sources;
	for (size_t i = 0; i < fds.size (); ++i)
	{
		if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
			continue;
		// A handler may have removed another source meanwhile; serve only the live ones.
		auto live = std::find_if (sources.begin (), sources.end (), [&] (const EventSource& s) {
			return s.handler == polled[i].handler;
		});
		if (live != sources.end ())
			live->handler->onEvent ();
	}
}

void IdleRunLoop::fireDueTimers ()
{
	const uint64_t now = clock ();
	std::vector<ITimerHandler*> due;
	for (Timer& t : timers)
	{
		if (now < t.due)
			continue;
		t.due = now + t.interval;
		due.push_back (t.handler);
	}
	for (ITimerHandler* handler : due)
	{
		// Earlier callbacks may have unregistered this timer.
		auto live = std::find_if (timers.begin (), timers.end (),
		                          [&] (const Timer& t) { return t.handler == handler; });
		if (live != timers.end ())
			handler->onTimer ();
	}
}

bool IdleRunLoop::registerEventHandler (int fd, IEventHandler* handler)
{
	if (!handler || fd < 0)
		return false;
	sources.push_back ({fd, handler});
	return true;
}

bool IdleRunLoop::unregisterEventHandler (IEventHandler* handler)
{
	return removeEntriesOf (sources, handler);
}

bool IdleRunLoop::registerTimer (uint64_t intervalMs, ITimerHandler* handler)
{
	if (!handler)
		return false;
	unregisterTimer (handler);
	timers.push_back ({handler, intervalMs, clock () + intervalMs});
	return true;
}

bool IdleRunLoop::unregisterTimer (ITimerHandler* handler)
{
	return removeEntriesOf (timers, handler);
}

size_t IdleRunLoop::timerCount () const
{
	return timers.size ();
}

} // namespace VSTGUI
