// A repeating timer on a run loop; without a run loop it never fires.
#pragma once

#include "irunloop.h"

#include <functional>

namespace VSTGUI {

class CVSTGUITimer : public ITimerHandler
{
public:
	using Callback = std::function<void (CVSTGUITimer*)>;

	CVSTGUITimer (Callback callback, uint32_t intervalMs);
	~CVSTGUITimer () override;
	CVSTGUITimer (const CVSTGUITimer&) = delete;
	CVSTGUITimer& operator= (const CVSTGUITimer&) = delete;

	// Starting a running timer restarts its interval.
	bool start (IRunLoop* runLoop);
	void stop ();
	bool isRunning () const { return runLoop != nullptr; }

	void onTimer () override;

private:
	Callback callback;
	uint32_t interval;
	IRunLoop* runLoop {nullptr};
};

} // namespace VSTGUI
