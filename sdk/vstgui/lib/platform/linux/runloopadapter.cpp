#include "runloopadapter.h"
#include "idlerunloop.h"

#include "base/source/fobject.h"

#include <algorithm>

namespace VSTGUI {

using namespace Steinberg;

class RunLoopAdapter::EventWrapper : public FObject, public Linux::IEventHandler
{
public:
	explicit EventWrapper (VSTGUI::IEventHandler* handler) : handler (handler) {}
	void PLUGIN_API onFDIsSet (Linux::FileDescriptor) override
	{
		if (handler)
			handler->onEvent ();
	}
	VSTGUI::IEventHandler* handler;

	OBJ_METHODS (EventWrapper, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (Linux::IEventHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)
};

class RunLoopAdapter::TimerWrapper : public FObject, public Linux::ITimerHandler
{
public:
	explicit TimerWrapper (VSTGUI::ITimerHandler* handler) : handler (handler) {}
	void PLUGIN_API onTimer () override
	{
		if (handler)
			handler->onTimer ();
	}
	VSTGUI::ITimerHandler* handler;

	OBJ_METHODS (TimerWrapper, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (Linux::ITimerHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)
};

namespace {

// Takes the wrapper of a handler out of the list; the caller owns the returned reference.
template <typename Wrapper, typename Handler>
Wrapper* takeWrapper (std::vector<Wrapper*>& list, Handler* handler)
{
	auto it = std::find_if (list.begin (), list.end (),
	                        [&] (Wrapper* w) { return w->handler == handler; });
	if (it == list.end ())
		return nullptr;
	Wrapper* w = *it;
	list.erase (it);
	// A host may still deliver a call it had queued; the wrapper then does nothing.
	w->handler = nullptr;
	return w;
}

} // namespace

RunLoopAdapter::RunLoopAdapter (Linux::IRunLoop* hostRunLoop) : host (hostRunLoop)
{
	host->addRef ();
}

RunLoopAdapter::~RunLoopAdapter ()
{
	for (EventWrapper* w : events)
	{
		host->unregisterEventHandler (w);
		w->release ();
	}
	for (TimerWrapper* w : timers)
	{
		host->unregisterTimer (w);
		w->release ();
	}
	host->release ();
}

bool RunLoopAdapter::registerEventHandler (int fd, VSTGUI::IEventHandler* handler)
{
	auto* w = new EventWrapper (handler);
	if (host->registerEventHandler (w, fd) != kResultTrue)
	{
		w->release ();
		return false;
	}
	events.push_back (w);
	return true;
}

bool RunLoopAdapter::unregisterEventHandler (VSTGUI::IEventHandler* handler)
{
	EventWrapper* w = takeWrapper (events, handler);
	if (!w)
		return false;
	host->unregisterEventHandler (w);
	w->release ();
	return true;
}

bool RunLoopAdapter::registerTimer (uint64_t intervalMs, VSTGUI::ITimerHandler* handler)
{
	unregisterTimer (handler);
	auto* w = new TimerWrapper (handler);
	if (host->registerTimer (w, intervalMs) != kResultTrue)
	{
		w->release ();
		return false;
	}
	timers.push_back (w);
	return true;
}

bool RunLoopAdapter::unregisterTimer (VSTGUI::ITimerHandler* handler)
{
	TimerWrapper* w = takeWrapper (timers, handler);
	if (!w)
		return false;
	host->unregisterTimer (w);
	w->release ();
	return true;
}

uint64_t RunLoopAdapter::getTicks () const
{
	return monotonicMilliseconds ();
}

} // namespace VSTGUI
