// The reverb's output, bit for bit, against the model and against its documented figures.
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "reverbmodel.h"

#include <gtest/gtest.h>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using namespace kt3host;

namespace {

struct Stereo
{
	std::vector<float> left, right;
};

Stereo stereoNoise (size_t count, uint32_t seed = 1)
{
	return {noise (count, seed), noise (count, seed + 7)};
}

// Runs `signal` through the processor in blocks of `blockSize`, with `changes` applied in
// the first block, and returns the output.
Stereo render (const Stereo& signal, int32 blockSize, const std::vector<std::pair<ParamID, double>>& changes = {},
               bool inPlace = false)
{
	DirectProcessor p;
	ProcessBlock block (blockSize, inPlace);
	Stereo out {std::vector<float> (signal.left.size ()), std::vector<float> (signal.left.size ())};
	for (size_t pos = 0; pos < signal.left.size (); pos += blockSize)
	{
		const int32 n = int32 (std::min<size_t> (blockSize, signal.left.size () - pos));
		block.begin (n);
		if (pos == 0)
			for (auto& [id, value] : changes)
				block.changes ().add (id, value);
		std::memcpy (block.in (0), &signal.left[pos], n * sizeof (float));
		std::memcpy (block.in (1), &signal.right[pos], n * sizeof (float));
		block.process (p.processor ());
		std::memcpy (&out.left[pos], block.out (0), n * sizeof (float));
		std::memcpy (&out.right[pos], block.out (1), n * sizeof (float));
	}
	return out;
}

Stereo model (const Stereo& signal, int32 blockSize, double size = 0.7, double damp = 0.7,
               double mix = 0.9, double output = 0.5)
{
	ReverbModel m;
	m.size = size, m.damp = damp, m.mix = mix, m.output = output;
	m.update ();
	Stereo out = signal;
	for (size_t pos = 0; pos < out.left.size (); pos += blockSize)
		m.block (&out.left[pos], &out.right[pos], int (std::min<size_t> (blockSize, out.left.size () - pos)));
	return out;
}

// Index of the first sample that is not exactly zero, or -1.
int firstNonZero (const std::vector<float>& x)
{
	for (size_t i = 0; i < x.size (); ++i)
		if (x[i] != 0.0f)
			return int (i);
	return -1;
}

} // namespace

TEST (ReverbDsp, MatchesTheModelBitForBitAcrossSettings)
{
	const Stereo in = stereoNoise (6000);
	struct Setting
	{
		double size, damp, mix, output;
	};
	for (const Setting& s : {Setting {0.7, 0.7, 0.9, 0.5}, Setting {0.0, 0.0, 0.0, 0.0},
	                         Setting {1.0, 1.0, 1.0, 1.0}, Setting {0.31, 0.52, 0.27, 0.83}})
	{
		const Stereo got = render (in, 512, {{kSizeId, s.size}, {kHFDampId, s.damp}, {kMixId, s.mix}, {kOutputId, s.output}});
		const Stereo want = model (in, 512, s.size, s.damp, s.mix, s.output);
		EXPECT_EQ (got.left, want.left) << "size " << s.size;
		EXPECT_EQ (got.right, want.right) << "size " << s.size;
	}
}

TEST (ReverbDsp, StageDelaysFollowSize)
{
	// With Mix 1 there is no dry signal, and the wet taps cancel the undelayed send
	// exactly, so the first non-zero output sample sits at the first stage's delay.
	Stereo impulse {std::vector<float> (2048), std::vector<float> (2048)};
	impulse.left[0] = 1.0f;
	const std::pair<double, int> cases[] = {{0.0, 2}, {0.5, 145}, {0.7, 202}, {1.0, 287}};
	for (auto [size, delay] : cases)
	{
		const Stereo out = render (impulse, 2048, {{kSizeId, size}, {kMixId, 1.0}});
		EXPECT_EQ (firstNonZero (out.left), delay) << "size " << size;
		EXPECT_EQ (firstNonZero (out.right), delay) << "size " << size;
	}
}

TEST (ReverbDsp, DryOnlyAtMixZeroIsExactlyOutputGainTimesInput)
{
	const Stereo in = stereoNoise (1024);
	const std::pair<double, float> gains[] = {{0.0, 0.1f}, {0.25, 0.316228f}, {0.5, 1.0f}, {0.75, 3.16228f}, {1.0, 10.0f}};
	for (auto [output, gain] : gains)
	{
		const Stereo out = render (in, 256, {{kMixId, 0.0}, {kOutputId, output}});
		const float g = std::pow (10.0f, float (output * 2.0 - 1.0));
		EXPECT_NEAR (g, gain, 1e-5 * gain);
		for (size_t i = 0; i < in.left.size (); ++i)
		{
			ASSERT_EQ (out.left[i], in.left[i] * g) << i;
			ASSERT_EQ (out.right[i], in.right[i] * g) << i;
		}
	}
}

TEST (ReverbDsp, AntiphaseInputLeavesOnlyTheDrySignal)
{
	Stereo in = stereoNoise (2048);
	for (size_t i = 0; i < in.left.size (); ++i)
		in.right[i] = -in.left[i];
	const Stereo out = render (in, 512);
	const float dry = float (1.0 - 0.81);
	for (size_t i = 0; i < in.left.size (); ++i)
		ASSERT_EQ (out.left[i], in.left[i] * dry) << i;
}

TEST (ReverbDsp, BlockSizeAndInPlaceProcessingDoNotChangeTheOutput)
{
	const Stereo in = stereoNoise (3000);
	const Stereo reference = render (in, 512);
	EXPECT_EQ (render (in, 1).left, reference.left);
	EXPECT_EQ (render (in, 37).right, reference.right);
	const Stereo inPlace = render (in, 512, {}, true);
	EXPECT_EQ (inPlace.left, reference.left);
	EXPECT_EQ (inPlace.right, reference.right);
}

TEST (ReverbDsp, TailEndsInExactSilenceAfterTheInputStops)
{
	for (double damp : {0.0, 1.0})
	{
		Stereo in = stereoNoise (512);
		in.left.resize (512 * 40, 0.0f);
		in.right.resize (512 * 40, 0.0f);
		const Stereo out = render (in, 512, {{kHFDampId, damp}});
		EXPECT_EQ (out.left, model (in, 512, 0.7, damp).left);
		// The filter state falls below the threshold within the first silent block, so from
		// the block after it every sample is exactly zero.
		for (size_t i = 2 * 512; i < out.left.size (); ++i)
			ASSERT_TRUE (out.left[i] == 0.0f && out.right[i] == 0.0f) << "damp " << damp << " at " << i;
	}
}

TEST (ReverbDsp, ChangingSizeClearsTheRingsOtherParametersDoNot)
{
	DirectProcessor p;
	ProcessBlock block (512);
	auto runNoise = [&] (std::initializer_list<std::pair<ParamID, double>> changes) {
		block.begin (512);
		for (auto& [id, v] : changes)
			block.changes ().add (id, v);
		auto n = noise (512, 3);
		std::memcpy (block.in (0), n.data (), 512 * sizeof (float));
		std::memcpy (block.in (1), n.data (), 512 * sizeof (float));
		block.process (p.processor ());
		return std::vector<float> (block.out (0), block.out (0) + 512);
	};
	ReverbModel m;
	m.update ();
	auto modelBlock = [&] {
		auto l = noise (512, 3), r = l;
		m.block (l.data (), r.data (), 512);
		return l;
	};
	EXPECT_EQ (runNoise ({}), modelBlock ());
	m.mix = 0.4, m.damp = 0.2, m.update ();
	EXPECT_EQ (runNoise ({{kMixId, 0.4}, {kHFDampId, 0.2}}), modelBlock ());
	EXPECT_FALSE (m.rings[0][0] == 0.0f && m.rings[3][700] == 0.0f);
	m.size = 0.3, m.update ();
	ASSERT_FALSE (m.clean);
	EXPECT_EQ (runNoise ({{kSizeId, 0.3}}), modelBlock ());
}
