// DeferredRestart: tells the host that values changed (IComponentHandler::restartComponent)
// later, on the main thread, outside the host call that changed them. A host may hold a lock
// of its own while it calls the controller and take it again in restartComponent; a restart
// from inside that call would wait for ever.
//
// The restart comes from a one-shot timer: on Linux on the host's run loop (Linux::IRunLoop,
// as the component handler, the host context or an open editor's frame offers it), on Windows
// a thread timer that the host's message loop serves. While a Linux host offers no run loop
// (some offer it only to an open editor), the restart waits for one: there is no other way
// back onto the host's main thread, and a restart from inside its call may hang it.
//
// Main thread, as every method.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class DeferredRestart
{
public:
	DeferredRestart ();
	~DeferredRestart ();
	DeferredRestart (const DeferredRestart&) = delete;
	DeferredRestart& operator= (const DeferredRestart&) = delete;

	// Adds `flags` to the restart that `handler` will get. `runLoopSources` are asked, in
	// order, for a run loop (Linux); null entries are skipped. Without one it waits.
	void request (IComponentHandler* handler, int32 flags, FUnknown* const* runLoopSources, int32 sourceCount);
	// Moves a pending restart's timer to the first of `runLoopSources` that offers a run loop
	// (when one appears, or the one it waits on may go away); without one it waits.
	void reschedule (FUnknown* const* runLoopSources, int32 sourceCount);
	// Delivers a pending restart now.
	void deliver ();
	// Drops a pending restart and its timer (the handler goes, or the controller terminates).
	void cancel ();

	// The platform's one-shot timer.
	struct Timer;

private:
	bool startTimer (FUnknown* const* runLoopSources, int32 sourceCount);
	void stopTimer ();

	IPtr<IComponentHandler> handler;
	int32 flags = 0;
	Timer* timer = nullptr;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
