#include "cvstguitimer.h"

namespace VSTGUI {

CVSTGUITimer::CVSTGUITimer (Callback callback, uint32_t intervalMs)
: callback (std::move (callback)), interval (intervalMs)
{
}

CVSTGUITimer::~CVSTGUITimer ()
{
	stop ();
}

bool CVSTGUITimer::start (IRunLoop* loop)
{
	stop ();
	if (!loop || !loop->registerTimer (interval, this))
		return false;
	runLoop = loop;
	return true;
}

void CVSTGUITimer::stop ()
{
	if (runLoop)
		runLoop->unregisterTimer (this);
	runLoop = nullptr;
}

void CVSTGUITimer::onTimer ()
{
	if (runLoop)
		callback (this);
}

} // namespace VSTGUI
