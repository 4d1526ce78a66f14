// The reverb's four parameters as the controller publishes them, in the order of their IDs
// (the order of the processor's state stream): titles, units, plain ranges, defaults, the
// decimals their values are shown with and their LV2 port symbols. The controller, the
// processor's defaults, the factory presets, the LV2 ports and descriptions and kt3-render's
// help all take them from here.
#pragma once

#include "kt3ids.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

enum class ParameterUnit
{
	kMetres,
	kPercent,
	kDecibels
};

// The unit as hosts show it after a value.
constexpr const char* unitText (ParameterUnit unit)
{
	switch (unit)
	{
		case ParameterUnit::kMetres: return "m";
		case ParameterUnit::kPercent: return "%";
		case ParameterUnit::kDecibels: return "dB";
	}
	return "";
}

struct ReverbParameter
{
	ParamID id;
	const char* title;
	const char* symbol; // the LV2 control port's
	ParameterUnit unit;
	double minPlain;
	double maxPlain;
	double defaultNormalized;
	int32 precision; // decimals of the plain value as the controller prints it

	constexpr const char* units () const { return unitText (unit); }
	// The linear mapping of the controller's ScaledParameter, without its limiting.
	constexpr double normalized (double plain) const { return (plain - minPlain) / (maxPlain - minPlain); }
	constexpr double plain (double normalized) const { return (maxPlain - minPlain) * normalized + minPlain; }
};

inline constexpr ReverbParameter kReverbParameters[kReverbParamCount] = {
	{kSizeId, "Size", "size", ParameterUnit::kMetres, 0.0, 10.0, 0.7, 2},
	{kHFDampId, "HF Damp", "hf_damp", ParameterUnit::kPercent, 0.0, 100.0, 0.7, 2},
	{kMixId, "Mix", "mix", ParameterUnit::kPercent, 0.0, 100.0, 0.9, 2},
	{kOutputId, "Output", "output", ParameterUnit::kDecibels, -20.0, 20.0, 0.5, 2},
};

// Code indexes the table by ID: each row sits at its own ID, and none is left out.
constexpr bool rowsInIdOrder ()
{
	for (uint32 i = 0; i < kReverbParamCount; ++i)
		if (kReverbParameters[i].id != i || !kReverbParameters[i].title || !kReverbParameters[i].symbol)
			return false;
	return true;
}
static_assert (rowsInIdOrder (), "kReverbParameters holds one row per ID, in ID order");

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
