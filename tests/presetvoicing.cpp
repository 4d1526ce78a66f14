#include "presetvoicing.h"
#include "directprocessor.h"
#include "factorypresets.h"
#include "kt3ids.h"
#include "processblock.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

constexpr double kRate = 48000.0;
constexpr int32 kBlock = 1024;
constexpr int32 kLength = 240 * kBlock; // 5.1 s, past the longest tail's -60 dB

// The time at which the backward-integrated energy first falls `db` below its start.
double decayCrossing (const std::vector<double>& energy, double db)
{
	std::vector<double> remaining (energy.size () + 1, 0.0);
	for (size_t i = energy.size (); i-- > 0;)
		remaining[i] = remaining[i + 1] + energy[i];
	const double limit = remaining[0] * std::pow (10.0, -db / 10.0);
	for (size_t i = 0; i < energy.size (); ++i)
		if (remaining[i] <= limit)
			return double (i) / kRate;
	return std::numeric_limits<double>::infinity ();
}

} // namespace

PresetVoicing measurePreset (int32 index)
{
	kt3host::DirectProcessor plugin ({kRate, kBlock, true});
	kt3host::ProcessBlock block (kBlock);
	block.begin (0);
	block.changes ().add (kPresetsId, double (index) / (kFactoryPresetCount - 1));
	block.process (plugin.processor ());

	std::vector<float> out[2];
	for (int32 done = 0; done < kLength; done += kBlock)
	{
		block.begin (kBlock);
		for (int c = 0; c < 2; ++c)
		{
			std::fill (block.in (c), block.in (c) + kBlock, 0.0f);
			if (done == 0)
				block.in (c)[0] = 1.0f;
		}
		block.process (plugin.processor ());
		for (int c = 0; c < 2; ++c)
			out[c].insert (out[c].end (), block.out (c), block.out (c) + kBlock);
	}

	// The first sample is the dry signal alone: the rings are empty until it has passed.
	const double dry = (double (out[0][0]) + double (out[1][0])) / 2.0;
	std::vector<double> tail (kLength - 1);
	double tailEnergy = 0.0, slopeEnergy = 0.0, total = 0.0;
	for (int c = 0; c < 2; ++c)
	{
		total += double (out[c][0]) * out[c][0];
		for (int32 i = 1; i < kLength; ++i)
		{
			const double x = out[c][i];
			const double d = x - (i > 1 ? double (out[c][i - 1]) : 0.0);
			tail[i - 1] += x * x;
			tailEnergy += x * x;
			slopeEnergy += d * d;
			total += x * x;
		}
	}
	PresetVoicing v;
	v.decaySeconds = 2.0 * (decayCrossing (tail, 35.0) - decayCrossing (tail, 5.0));
	// A sine of frequency f has a first difference 2 sin (pi f / rate) times as large.
	const double ratio = std::sqrt (slopeEnergy / tailEnergy) / 2.0;
	v.tailBrightnessHz = kRate / std::acos (-1.0) * std::asin (std::min (ratio, 1.0));
	v.wetToDryDb = dry == 0.0 ? std::numeric_limits<double>::infinity ()
	                          : 10.0 * std::log10 (tailEnergy / 2.0 / (dry * dry));
	v.levelDb = 10.0 * std::log10 (total / 2.0);
	return v;
}
