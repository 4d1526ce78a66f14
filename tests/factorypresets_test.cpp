// The factory presets: the table's names and values, and what the set covers, measured from
// the processor's impulse responses (the figures are printed).
#include "factorypresets.h"
#include "presetvoicing.h"
#include "reverbparameters.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

TEST (FactoryPresets, AreNamedAndCompleteWithinTheRanges)
{
	EXPECT_GE (kFactoryPresetCount, 8);
	EXPECT_EQ (std::string (factoryPreset (0).name), "Default");
	std::set<std::string> names;
	for (int32 i = 0; i < kFactoryPresetCount; ++i)
	{
		const FactoryPreset& p = factoryPreset (i);
		const std::string name = p.name;
		EXPECT_TRUE (!name.empty () && name.size () <= 31) << name;
		EXPECT_TRUE (names.insert (name).second) << "twice: " << name;
		for (const ReverbParameter& r : kReverbParameters)
		{
			EXPECT_GE (p.plain[r.id], r.minPlain) << name << " " << r.title;
			EXPECT_LE (p.plain[r.id], r.maxPlain) << name << " " << r.title;
			EXPECT_EQ (presetNormalized (p, r.id),
			           (p.plain[r.id] - r.minPlain) / (r.maxPlain - r.minPlain));
		}
	}
	for (ParamID id = 0; id < kReverbParamCount; ++id)
		EXPECT_EQ (presetNormalized (factoryPreset (0), id), kReverbParameters[id].defaultNormalized);
}

TEST (FactoryPresets, ProgramChangeValuesSelectAsTheListParameterSteps)
{
	const int32 last = kFactoryPresetCount - 1;
	for (int32 i = 0; i <= last; ++i)
		EXPECT_EQ (presetIndexOf (double (i) / last), i);
	EXPECT_EQ (presetIndexOf (-1.0), 0);
	EXPECT_EQ (presetIndexOf (std::nan ("")), 0);
	EXPECT_EQ (presetIndexOf (2.0), last);
	EXPECT_EQ (presetIndexOf (0.999), last);
	EXPECT_EQ (std::string (factoryPreset (-3).name), factoryPreset (0).name);
	EXPECT_EQ (std::string (factoryPreset (kFactoryPresetCount).name), factoryPreset (last).name);
}

// Short rooms to the longest tail, dark to bright, a faint room to fully wet, at levels close to
// the default's.
TEST (FactoryPresets, CoverTheReverbsRangeAtComparableLevels)
{
	std::vector<PresetVoicing> v;
	for (int32 i = 0; i < kFactoryPresetCount; ++i)
	{
		const FactoryPreset& p = factoryPreset (i);
		v.push_back (measurePreset (i));
		std::printf ("%-14s %5.2f m %6.2f %% %6.2f %% %+5.1f dB | T60 %.2f s, tail %5.0f Hz, "
		             "wet/dry %+5.1f dB, level %+5.1f dB\n",
		             p.name, p.plain[kSizeId], p.plain[kHFDampId], p.plain[kMixId],
		             p.plain[kOutputId], v.back ().decaySeconds, v.back ().tailBrightnessHz,
		             v.back ().wetToDryDb, v.back ().levelDb);
	}
	const auto [shortest, longest] = std::minmax_element (
	    v.begin (), v.end (), [] (auto& a, auto& b) { return a.decaySeconds < b.decaySeconds; });
	const auto [darkest, brightest] = std::minmax_element (
	    v.begin (), v.end (), [] (auto& a, auto& b) { return a.tailBrightnessHz < b.tailBrightnessHz; });
	EXPECT_LT (shortest->decaySeconds, 0.25 * longest->decaySeconds);
	EXPECT_EQ (factoryPreset (int32 (longest - v.begin ())).plain[kSizeId], 10.0); // the longest there is
	EXPECT_LT (darkest->tailBrightnessHz, 0.5 * brightest->tailBrightnessHz);
	EXPECT_TRUE (std::any_of (v.begin (), v.end (), [] (auto& p) { return std::isinf (p.wetToDryDb); }));
	EXPECT_TRUE (std::any_of (v.begin (), v.end (), [] (auto& p) { return p.wetToDryDb < -15.0; }));
	for (const PresetVoicing& p : v)
		EXPECT_NEAR (p.levelDb, v[0].levelDb, 3.0);
}
