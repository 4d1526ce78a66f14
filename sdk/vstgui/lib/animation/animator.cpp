#include "animator.h"
#include "../cframe.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {
namespace Animation {

float PowerTimingFunction::getPosition (uint32_t milliseconds) const
{
	if (length == 0)
		return 1.f;
	const float pos = std::pow (static_cast<float> (milliseconds) / length, factor);
	return std::max (0.f, std::min (1.f, pos));
}

void AlphaValueAnimation::animationStart (CView* view)
{
	startValue = view->getAlphaValue ();
}

void AlphaValueAnimation::animationTick (CView* view, float pos)
{
	view->setAlphaValue (startValue + (endValue - startValue) * pos);
}

struct Animator::Entry
{
	CView* view;
	std::string name;
	std::unique_ptr<IAnimationTarget> target;
	std::unique_ptr<ITimingFunction> timing;
	DoneFunction done;
	bool started {false};
	bool finished {false};
	uint64_t startTime {0};
	float lastPos {-1.f};
};

Animator::Animator (CFrame* frame) : frame (frame), timer ([this] (CVSTGUITimer*) { onTimer (); }, kTimerInterval)
{
}

Animator::~Animator () = default;

void Animator::addAnimation (CView* view, const std::string& name,
                             std::unique_ptr<IAnimationTarget> target,
                             std::unique_ptr<ITimingFunction> timing, DoneFunction done)
{
	removeAnimation (view, name);
	auto entry = std::make_shared<Entry> ();
	entry->view = view;
	entry->name = name;
	entry->target = std::move (target);
	entry->timing = std::move (timing);
	entry->done = std::move (done);
	animations.push_back (entry);
	updateTimer ();
}

void Animator::removeAnimation (CView* view, const std::string& name)
{
	for (auto& entry : animations)
		if (entry->view == view && entry->name == name)
			entry->finished = true;
	animations.erase (std::remove_if (animations.begin (), animations.end (),
	                                  [] (const auto& e) { return e->finished; }),
	                  animations.end ());
	updateTimer ();
}

void Animator::updateTimer ()
{
	if (animations.empty ())
		timer.stop ();
	else if (!timer.isRunning ())
		timer.start (frame->getRunLoop ());
}

void Animator::onTimer ()
{
	IRunLoop* runLoop = frame->getRunLoop ();
	if (!runLoop)
		return;
	const uint64_t now = runLoop->getTicks ();
	// Done functions may add or remove animations: work on a snapshot.
	const auto snapshot = animations;
	for (const auto& entry : snapshot)
	{
		if (entry->finished)
			continue;
		if (!entry->started)
		{
			entry->started = true;
			entry->startTime = now;
			entry->target->animationStart (entry->view);
		}
		const auto elapsed = static_cast<uint32_t> (now - entry->startTime);
		const bool isDone = entry->timing->isDone (elapsed);
		const float pos = isDone ? 1.f : entry->timing->getPosition (elapsed);
		if (pos != entry->lastPos)
		{
			entry->lastPos = pos;
			entry->target->animationTick (entry->view, pos);
		}
		if (!isDone)
			continue;
		entry->finished = true;
		animations.erase (std::find (animations.begin (), animations.end (), entry));
		if (entry->done)
			entry->done ();
	}
	updateTimer ();
}

} // namespace Animation
} // namespace VSTGUI
