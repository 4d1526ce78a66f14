// The reverb's four parameters as the controller publishes them, in the order of their IDs
// (the order of the processor's state stream): titles, units, plain ranges and defaults.
// The factory presets take their normalised values from the same ranges.
#pragma once

#include "kt3ids.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

struct ReverbParameter
{
	ParamID id;
	const char* title;
	const char* units;
	double minPlain;
	double maxPlain;
	double defaultNormalized;

	// The linear mapping of the controller's ScaledParameter, without its limiting.
	constexpr double normalized (double plain) const { return (plain - minPlain) / (maxPlain - minPlain); }
	constexpr double plain (double normalized) const { return (maxPlain - minPlain) * normalized + minPlain; }
};

inline constexpr ReverbParameter kReverbParameters[kReverbParamCount] = {
	{kSizeId, "Size", "m", 0.0, 10.0, 0.7},
	{kHFDampId, "HF Damp", "%", 0.0, 100.0, 0.7},
	{kMixId, "Mix", "%", 0.0, 100.0, 0.9},
	{kOutputId, "Output", "dB", -20.0, 20.0, 0.5},
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
