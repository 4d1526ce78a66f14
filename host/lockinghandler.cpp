#include "lockinghandler.h"

#if defined(_WIN32)
#include <windows.h>
#include <chrono>
#endif

namespace kt3host {

using namespace Steinberg;

tresult PLUGIN_API LockingHandler::restartComponent (int32 flags)
{
	if (holder == std::this_thread::get_id ())
	{
		++deadlocks;
		return kResultFalse;
	}
	std::lock_guard<std::mutex> hold (lock);
	return EditHandler::restartComponent (flags);
}

#if defined(_WIN32)

bool LockingHandler::serveUntil (const std::function<bool ()>& done, uint32_t timeoutMs)
{
	const auto end = std::chrono::steady_clock::now () + std::chrono::milliseconds (timeoutMs);
	while (!done () && std::chrono::steady_clock::now () < end)
	{
		MSG message;
		while (PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
			DispatchMessageW (&message);
		Sleep (1);
	}
	return done ();
}

#else

tresult PLUGIN_API LockingHandler::queryInterface (const TUID iid, void** obj)
{
	if (FUnknownPrivate::iidEqual (iid, Linux::IRunLoop::iid))
		return runLoop->queryInterface (iid, obj);
	return EditHandler::queryInterface (iid, obj);
}

bool LockingHandler::serveUntil (const std::function<bool ()>& done, uint32_t timeoutMs)
{
	return runLoop->runUntil (done, timeoutMs);
}

#endif

} // namespace kt3host
