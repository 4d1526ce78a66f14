// The views' run loop on top of the host's Steinberg::Linux::IRunLoop: every handler is
// wrapped in a small reference-counted object that the host calls.
#pragma once

#include "../../irunloop.h"
#include "pluginterfaces/gui/iplugview.h"

#include <memory>
#include <vector>

namespace VSTGUI {

class RunLoopAdapter : public IRunLoop
{
public:
	explicit RunLoopAdapter (Steinberg::Linux::IRunLoop* hostRunLoop);
	~RunLoopAdapter () override;

	bool registerEventHandler (int fd, IEventHandler* handler) override;
	bool unregisterEventHandler (IEventHandler* handler) override;
	bool registerTimer (uint64_t intervalMs, ITimerHandler* handler) override;
	bool unregisterTimer (ITimerHandler* handler) override;
	uint64_t getTicks () const override;

private:
	class EventWrapper;
	class TimerWrapper;

	Steinberg::Linux::IRunLoop* host;
	std::vector<EventWrapper*> events;
	std::vector<TimerWrapper*> timers;
};

} // namespace VSTGUI
