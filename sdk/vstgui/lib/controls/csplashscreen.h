// A click area that shows a picture as the frame's modal view until the picture is clicked.
// CAnimationSplashScreen fades the picture in and out.
#pragma once

#include "ccontrol.h"

#include <memory>

namespace VSTGUI {

class CSplashScreen : public CControl
{
public:
	CSplashScreen (const CRect& size, IControlListener* listener, int32_t tag, CBitmapPtr splashBitmap,
	               const CRect& splashRect);
	~CSplashScreen () override;

	void setSplashBitmap (CBitmapPtr bitmap);
	// In frame coordinates.
	void setSplashRect (const CRect& rect);
	const CRect& getSplashRect () const;
	CControl* getModalView () const;
	bool isSplashShown () const;

	// Only the left button hits; other clicks reach the views beneath.
	bool hitTest (const CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	void removed () override;

	// Starts and ends the modal session.
	virtual void splash ();
	virtual void unSplash ();

private:
	class ModalView;
	std::unique_ptr<ModalView> modalView;
};

class CAnimationSplashScreen : public CSplashScreen
{
public:
	static constexpr int32_t kFadeAnimation = 0;

	CAnimationSplashScreen (const CRect& size, int32_t tag, CBitmapPtr splashBitmap,
	                        const CRect& splashRect);
	~CAnimationSplashScreen () override;

	void setAnimationIndex (int32_t index) { animationIndex = index; }
	int32_t getAnimationIndex () const { return animationIndex; }
	void setAnimationTime (uint32_t ms) { animationTime = ms; }
	uint32_t getAnimationTime () const { return animationTime; }

	void splash () override;
	void unSplash () override;
	void removed () override;

private:
	void stopFade ();

	int32_t animationIndex {kFadeAnimation};
	uint32_t animationTime {500};
};

} // namespace VSTGUI
