#include "csplashscreen.h"
#include "../animation/animator.h"
#include "../cframe.h"

namespace VSTGUI {

namespace {
const char* const kFadeName = "AlphaAnimation";
}

// The picture shown while the session lasts; a plain left click on it ends the session.
class CSplashScreen::ModalView : public CControl
{
public:
	explicit ModalView (CSplashScreen* owner) : CControl (CRect ()), owner (owner) {}

	CMouseEventResult onMouseDown (CPoint&, const CButtonState& buttons) override
	{
		if (!buttons.isLeftButton ())
			return kMouseEventNotHandled;
		if (!checkDefaultValue (buttons))
			owner->unSplash ();
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	}

private:
	CSplashScreen* owner;
};

CSplashScreen::CSplashScreen (const CRect& size, IControlListener* listener, int32_t tag,
                              CBitmapPtr splashBitmap, const CRect& splashRect)
: CControl (size, listener, tag), modalView (std::make_unique<ModalView> (this))
{
	modalView->setViewSize (splashRect, false);
	modalView->setBackground (std::move (splashBitmap));
}

CSplashScreen::~CSplashScreen () = default;

void CSplashScreen::setSplashBitmap (CBitmapPtr bitmap)
{
	modalView->setBackground (std::move (bitmap));
}

void CSplashScreen::setSplashRect (const CRect& rect)
{
	modalView->setViewSize (rect);
}

const CRect& CSplashScreen::getSplashRect () const
{
	return modalView->getViewSize ();
}

CControl* CSplashScreen::getModalView () const
{
	return modalView.get ();
}

bool CSplashScreen::isSplashShown () const
{
	const CFrame* frame = getFrame ();
	return frame && frame->getModalView () == modalView.get ();
}

bool CSplashScreen::hitTest (const CPoint& where, const CButtonState& buttons)
{
	return buttons.isLeftButton () && CControl::hitTest (where, buttons);
}

CMouseEventResult CSplashScreen::onMouseDown (CPoint&, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	if (checkDefaultValue (buttons))
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	setValue (getValue () == getMax () ? getMin () : getMax ());
	if (getValue () == getMax ())
		splash ();
	valueChanged ();
	return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSplashScreen::splash ()
{
	if (CFrame* frame = getFrame ())
		frame->setModalView (modalView.get ());
}

void CSplashScreen::unSplash ()
{
	setValue (getMin ());
	CFrame* frame = getFrame ();
	if (frame && frame->getModalView () == modalView.get ())
		frame->setModalView (nullptr);
}

void CSplashScreen::removed ()
{
	CSplashScreen::unSplash ();
	CControl::removed ();
}

CAnimationSplashScreen::CAnimationSplashScreen (const CRect& size, int32_t tag, CBitmapPtr splashBitmap,
                                                const CRect& splashRect)
: CSplashScreen (size, nullptr, tag, std::move (splashBitmap), splashRect)
{
}

CAnimationSplashScreen::~CAnimationSplashScreen () = default;

void CAnimationSplashScreen::splash ()
{
	CSplashScreen::splash ();
	CFrame* frame = getFrame ();
	if (animationIndex != kFadeAnimation || !frame)
		return;
	setMouseEnabled (false);
	CControl* picture = getModalView ();
	picture->setAlphaValue (0.f);
	frame->getAnimator ()->addAnimation (
	    picture, kFadeName, std::make_unique<Animation::AlphaValueAnimation> (1.f),
	    std::make_unique<Animation::PowerTimingFunction> (animationTime, 2.f));
}

void CAnimationSplashScreen::unSplash ()
{
	CFrame* frame = getFrame ();
	if (animationIndex != kFadeAnimation || !frame || !isSplashShown ())
	{
		CSplashScreen::unSplash ();
		return;
	}
	setValue (getMin ());
	CControl* picture = getModalView ();
	// Clicks during the fade-out are swallowed by the disabled picture.
	picture->setMouseEnabled (false);
	frame->getAnimator ()->addAnimation (
	    picture, kFadeName, std::make_unique<Animation::AlphaValueAnimation> (0.f),
	    std::make_unique<Animation::PowerTimingFunction> (animationTime, 2.f), [this, picture] () {
		    picture->setMouseEnabled (true);
		    CSplashScreen::unSplash ();
		    setMouseEnabled (true);
	    });
}

void CAnimationSplashScreen::stopFade ()
{
	CFrame* frame = getFrame ();
	if (frame && frame->hasAnimator ())
		frame->getAnimator ()->removeAnimation (getModalView (), kFadeName);
	getModalView ()->setMouseEnabled (true);
	setMouseEnabled (true);
}

void CAnimationSplashScreen::removed ()
{
	stopFade ();
	CSplashScreen::removed ();
}

} // namespace VSTGUI
