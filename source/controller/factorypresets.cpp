#include "factorypresets.h"
#include "reverbparameters.h"

#include <cstddef>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

// A row of the table: the name and exactly one value for each parameter (a shorter list in
// braces would leave the rest at zero without a word).
template <size_t count>
constexpr FactoryPreset preset (const char* name, const double (&plain)[count])
{
	static_assert (count == kReverbParamCount, "a factory preset sets every parameter");
	FactoryPreset row {name, {}};
	for (size_t id = 0; id < count; ++id)
		row.plain[id] = plain[id];
	return row;
}

constexpr FactoryPreset kFactoryPresets[kFactoryPresetCount] = {
	// name, then Size (m), HF Damp (%), Mix (%), Output (dB)
	preset ("Default", {7.0, 70.0, 90.0, 0.0}),
	preset ("Small Room", {1.5, 60.0, 45.0, -1.5}),
	preset ("Faint Room", {3.0, 50.0, 20.0, 0.0}),
	preset ("Dark Chamber", {5.0, 10.0, 60.0, 0.0}),
	preset ("Bright Hall", {8.0, 100.0, 55.0, -2.0}),
	preset ("Warm Hall", {8.5, 35.0, 70.0, 1.0}),
	preset ("Long Tail", {10.0, 80.0, 85.0, -1.0}),
	preset ("Full Wet Wash", {10.0, 45.0, 100.0, 1.5}),
};

// Every one of the kFactoryPresetCount rows is written out, with a name, and keeps its values
// inside the parameters' ranges.
constexpr bool everyPresetComplete ()
{
	for (const FactoryPreset& row : kFactoryPresets)
	{
		if (!row.name || !row.name[0])
			return false;
		for (uint32 id = 0; id < kReverbParamCount; ++id)
			if (!(row.plain[id] >= kReverbParameters[id].minPlain && row.plain[id] <= kReverbParameters[id].maxPlain))
				return false;
	}
	return true;
}
static_assert (everyPresetComplete (), "every factory preset has a name and a value in range for each parameter");

constexpr bool defaultIsFirst ()
{
	for (uint32 id = 0; id < kReverbParamCount; ++id)
		if (kReverbParameters[id].normalized (kFactoryPresets[0].plain[id]) !=
		    kReverbParameters[id].defaultNormalized)
			return false;
	return true;
}
static_assert (defaultIsFirst (), "the first preset is the parameters' defaults");

} // namespace

const FactoryPreset& factoryPreset (int32 index)
{
	return kFactoryPresets[index < 0 ? 0 : index >= kFactoryPresetCount ? kFactoryPresetCount - 1 : index];
}

double presetNormalized (const FactoryPreset& preset, ParamID id)
{
	return id < kReverbParamCount ? kReverbParameters[id].normalized (preset.plain[id]) : 0.0;
}

int32 presetIndexOf (double normalized)
{
	if (!(normalized > 0.0))
		return 0;
	const double index = normalized * kFactoryPresetCount;
	return index >= kFactoryPresetCount - 1 ? kFactoryPresetCount - 1 : static_cast<int32> (index);
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
