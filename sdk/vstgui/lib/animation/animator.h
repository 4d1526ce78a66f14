// View animations driven by one 16 ms timer per frame, which runs only while an animation
// exists. An animation's clock starts at its first tick.
#pragma once

#include "../cvstguitimer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace VSTGUI {

class CFrame;
class CView;

namespace Animation {

class IAnimationTarget
{
public:
	virtual ~IAnimationTarget () = default;
	virtual void animationStart (CView* view) = 0;
	// pos runs from 0 to 1.
	virtual void animationTick (CView* view, float pos) = 0;
};

class ITimingFunction
{
public:
	virtual ~ITimingFunction () = default;
	virtual float getPosition (uint32_t milliseconds) const = 0;
	virtual bool isDone (uint32_t milliseconds) const = 0;
};

// pos = clamp ((t / length) ^ factor, 0, 1).
class PowerTimingFunction : public ITimingFunction
{
public:
	PowerTimingFunction (uint32_t length, float factor) : length (length), factor (factor) {}
	float getPosition (uint32_t milliseconds) const override;
	bool isDone (uint32_t milliseconds) const override { return milliseconds >= length; }

private:
	uint32_t length;
	float factor;
};

// Moves the view's alpha from its value at the first tick to the end value.
class AlphaValueAnimation : public IAnimationTarget
{
public:
	explicit AlphaValueAnimation (float endValue) : endValue (endValue) {}
	void animationStart (CView* view) override;
	void animationTick (CView* view, float pos) override;

private:
	float startValue {0.f};
	float endValue;
};

class Animator
{
public:
	using DoneFunction = std::function<void ()>;
	static constexpr uint32_t kTimerInterval = 1000 / 60;

	explicit Animator (CFrame* frame);
	~Animator ();

	// Replaces an animation of the same view and name; the replaced one stops where it is and
	// its done function is not called.
	void addAnimation (CView* view, const std::string& name, std::unique_ptr<IAnimationTarget> target,
	                   std::unique_ptr<ITimingFunction> timing, DoneFunction done = {});
	void removeAnimation (CView* view, const std::string& name);
	bool hasAnimations () const { return !animations.empty (); }

private:
	struct Entry;
	void onTimer ();
	void updateTimer ();

	CFrame* frame;
	CVSTGUITimer timer;
	std::vector<std::shared_ptr<Entry>> animations;
};

} // namespace Animation
} // namespace VSTGUI
