// The services the views need from whatever drives them: file-descriptor events, repeating
// timers and a millisecond clock. Platform code provides one per open frame.
#pragma once

#include <cstdint>

namespace VSTGUI {

class IEventHandler
{
public:
	virtual ~IEventHandler () = default;
	virtual void onEvent () = 0;
};

class ITimerHandler
{
public:
	virtual ~ITimerHandler () = default;
	virtual void onTimer () = 0;
};

class IRunLoop
{
public:
	virtual ~IRunLoop () = default;
	virtual bool registerEventHandler (int fd, IEventHandler* handler) = 0;
	virtual bool unregisterEventHandler (IEventHandler* handler) = 0;
	virtual bool registerTimer (uint64_t intervalMs, ITimerHandler* handler) = 0;
	virtual bool unregisterTimer (ITimerHandler* handler) = 0;
	// Monotonic milliseconds.
	virtual uint64_t getTicks () const = 0;
};

} // namespace VSTGUI
