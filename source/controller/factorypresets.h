// The factory presets: named settings of Size, HF Damp, Mix and Output in their plain units
// (bypass off). The controller's program list, the processor's program changes and the
// .vstpreset files written at build time all come from this one table.
#pragma once

#include "kt3ids.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

struct FactoryPreset
{
	const char* name; // at most 31 characters
	double plain[kReverbParamCount]; // in ID order: m, %, %, dB
};

constexpr int32 kFactoryPresetCount = 8;

// The preset at `index`, limited to 0..kFactoryPresetCount - 1; the first is "Default".
const FactoryPreset& factoryPreset (int32 index);

// The preset's normalised value for the reverb parameter `id` (below kReverbParamCount),
// through the parameter's own range (the table keeps every value inside it).
double presetNormalized (const FactoryPreset& preset, ParamID id);

// The preset a normalised value of the program-change parameter selects: each preset owns an
// equal share of 0..1, as the steps of an IndexedParameter do. Not a number selects the first.
int32 presetIndexOf (double normalized);

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
