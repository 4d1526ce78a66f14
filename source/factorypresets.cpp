#include "factorypresets.h"
#include "reverbparameters.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

constexpr FactoryPreset kFactoryPresets[kFactoryPresetCount] = {
	// name, then Size (m), HF Damp (%), Mix (%), Output (dB)
	{"Default", {7.0, 70.0, 90.0, 0.0}},
	{"Small Room", {1.5, 60.0, 45.0, -1.5}},
	{"Faint Room", {3.0, 50.0, 20.0, 0.0}},
	{"Dark Chamber", {5.0, 10.0, 60.0, 0.0}},
	{"Bright Hall", {8.0, 100.0, 55.0, -2.0}},
	{"Warm Hall", {8.5, 35.0, 70.0, 1.0}},
	{"Long Tail", {10.0, 80.0, 85.0, -1.0}},
	{"Full Wet Wash", {10.0, 45.0, 100.0, 1.5}},
};

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
