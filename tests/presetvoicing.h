// Figures of a factory preset's sound, measured from the processor's impulse response at
// 48 kHz: how long the tail rings, how bright it is, and how loud the reverb is beside the dry
// signal.
#pragma once

#include "pluginterfaces/base/ftypes.h"

struct PresetVoicing
{
	double decaySeconds;     // RT60-like: twice the time the energy decay curve takes from -5 to -35 dB
	double tailBrightnessHz; // the RMS frequency of the tail (samples after the first)
	double wetToDryDb;       // tail energy over the dry sample's; +infinity when there is no dry part
	double levelDb;          // the whole response's energy over the impulse's
};

// Renders a unit impulse on both channels through a processor switched to the preset by its
// program change.
PresetVoicing measurePreset (Steinberg::int32 index);
