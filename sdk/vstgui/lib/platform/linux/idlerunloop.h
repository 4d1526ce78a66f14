// A run loop that does its work only when called: for hosts that offer no IRunLoop and poke
// the editor with idle calls instead, and for tests that step a clock by hand.
#pragma once

#include "../../irunloop.h"

#include <functional>
#include <vector>

namespace VSTGUI {

class IdleRunLoop : public IRunLoop
{
public:
	using Clock = std::function<uint64_t ()>;

	// The default clock is the monotonic system clock.
	explicit IdleRunLoop (Clock clock = {});

	// Serves every readable file descriptor without waiting, then every timer that is due.
	void idle ();

	bool registerEventHandler (int fd, IEventHandler* handler) override;
	bool unregisterEventHandler (IEventHandler* handler) override;
	bool registerTimer (uint64_t intervalMs, ITimerHandler* handler) override;
	bool unregisterTimer (ITimerHandler* handler) override;
	uint64_t getTicks () const override { return clock (); }

	size_t timerCount () const;

private:
	struct Timer
	{
		ITimerHandler* handler;
		uint64_t interval;
		uint64_t due;
	};
	struct EventSource
	{
		int fd;
		IEventHandler* handler;
	};
	void pollEventSources ();
	void fireDueTimers ();

	Clock clock;
	std::vector<Timer> timers;
	std::vector<EventSource> sources;
};

uint64_t monotonicMilliseconds ();

} // namespace VSTGUI
