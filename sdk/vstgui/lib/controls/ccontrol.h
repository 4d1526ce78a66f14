// A view with a value between a minimum and a maximum, a default value, a tag and a listener.
// Edits are counted: only the outermost begin/end pair reaches the listener.
#pragma once

#include "../cview.h"
#include "../cvstguitimer.h"
#include "icontrollistener.h"

#include <cstdint>

namespace VSTGUI {

class CControl : public CView
{
public:
	static constexpr uint32_t kWheelEditEndDelay = 500;

	CControl (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1);
	~CControl () override;

	void setValue (float v) { value = v; }
	float getValue () const { return value; }
	// The value mapped to 0..1; setting clamps to that range.
	float getValueNormalized () const;
	void setValueNormalized (float v);
	void setMin (float v) { vmin = v; }
	float getMin () const { return vmin; }
	void setMax (float v) { vmax = v; }
	float getMax () const { return vmax; }
	void setDefaultValue (float v) { defaultValue = v; }
	float getDefaultValue () const { return defaultValue; }
	void setWheelInc (float v) { wheelInc = v; }
	float getWheelInc () const { return wheelInc; }
	// Clamps the value to the range.
	void bounceValue ();

	void setListener (IControlListener* l) { listener = l; }
	IControlListener* getListener () const { return listener; }
	void setTag (int32_t t) { tag = t; }
	int32_t getTag () const { return tag; }

	void beginEdit ();
	void endEdit ();
	bool isEditing () const { return editCount > 0; }

	// Tells the listener about the value and marks it as shown.
	virtual void valueChanged ();
	// The value differs from the one last passed on or shown.
	bool isDirty () const { return value != lastValue; }
	void setClean () { lastValue = value; }

	// Left click with Control alone: back to the default value, as one complete edit.
	bool checkDefaultValue (const CButtonState& buttons);

	void removed () override;

protected:
	// Mouse-wheel edits stay open until no wheel event came for kWheelEditEndDelay ms.
	void onWheelEdit ();
	void endWheelEdit ();

private:
	IControlListener* listener;
	int32_t tag;
	float value {0.f};
	float lastValue {0.f};
	float vmin {0.f};
	float vmax {1.f};
	float defaultValue {0.5f};
	float wheelInc {0.1f};
	int32_t editCount {0};
	bool wheelEditing {false};
	CVSTGUITimer wheelTimer;
};

} // namespace VSTGUI
