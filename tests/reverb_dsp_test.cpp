// The reverb's output, bit for bit, against the model and against its documented figures.
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "reverbmodel.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
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

// Runs `signal` through `p` in blocks of `blockSize`, with `changes` applied in the first
// block, and returns the output.
Stereo run (DirectProcessor& p, const Stereo& signal, int32 blockSize,
            const std::vector<std::pair<ParamID, double>>& changes = {}, bool inPlace = false)
{
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

// The same through a fresh processor.
Stereo render (const Stereo& signal, int32 blockSize, const std::vector<std::pair<ParamID, double>>& changes = {},
               bool inPlace = false)
{
	DirectProcessor p;
	return run (p, signal, blockSize, changes, inPlace);
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
		const float g = roundedPowerOfTen (float (output * 2.0 - 1.0));
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

TEST (ReverbDsp, TailRingsOutSmoothlyAndEndsInExactSilence)
{
	for (double damp : {0.0, 1.0})
	{
		Stereo in = stereoNoise (512);
		in.left.resize (120000, 0.0f);
		in.right.resize (120000, 0.0f);
		const Stereo out = render (in, 512, {{kHFDampId, damp}});
		EXPECT_EQ (out.left, model (in, 512, 0.7, damp).left) << "damp " << damp;
		for (const std::vector<float>* channel : {&out.left, &out.right})
		{
			const std::vector<float>& x = *channel;
			// Still ringing well after the input stopped, a second later (at 48 kHz) too.
			EXPECT_GT (std::fabs (x[5000]) + std::fabs (x[5001]) + std::fabs (x[5002]), 1e-3f);
			EXPECT_NE (x[48512], 0.0f);
			// Ends in exact zeros, and the last sound before them is far below hearing.
			int last = int (x.size ()) - 1;
			while (last >= 0 && x[size_t (last)] == 0.0f)
				--last;
			ASSERT_LT (last, int (x.size ()) - 512) << "damp " << damp;
			EXPECT_LE (std::fabs (x[size_t (last)]), 1e-9f) << "damp " << damp << " at " << last;
		}
	}
}

TEST (ReverbDsp, ClickAtAnyOffsetInTheBlockGetsItsWholeTail)
{
	const int32 length = 90000;
	auto click = [&] (int offset) {
		Stereo in {std::vector<float> (length), std::vector<float> (length)};
		in.left[size_t (offset)] = in.right[size_t (offset)] = 0.9f;
		return render (in, 512, {{kMixId, 1.0}});
	};
	const Stereo reference = click (0);
	for (int offset : {1, 100, 448, 511})
	{
		const Stereo shifted = click (offset);
		for (size_t i = 0; i + size_t (offset) < size_t (length); ++i)
			ASSERT_NEAR (shifted.left[i + size_t (offset)], reference.left[i], 1e-9) << offset << " at " << i;
	}
	// The tail: still audible 20000 samples on.
	double energy = 0.0;
	for (size_t i = 20000; i < 21000; ++i)
		energy += double (reference.right[i]) * reference.right[i];
	EXPECT_GT (energy, 1e-9);
}

TEST (ReverbDsp, BlockSizeMovesNoSampleOfTheTailByMoreThanTheThreshold)
{
	Stereo in = stereoNoise (3000);
	in.left.resize (100000, 0.0f);
	in.right.resize (100000, 0.0f);
	const Stereo reference = render (in, 4096);
	for (int32 blockSize : {1, 32, 512})
	{
		const Stereo out = render (in, blockSize);
		for (size_t i = 0; i < in.left.size (); ++i)
		{
			ASSERT_NEAR (out.left[i], reference.left[i], 1e-9) << blockSize << " at " << i;
			ASSERT_NEAR (out.right[i], reference.right[i], 1e-9) << blockSize << " at " << i;
		}
	}
}

TEST (ReverbDsp, ParameterChangesKeepWhatTheRingsHold)
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
	auto modelBlock = [&] (bool silent = false) {
		auto l = noise (512, 3), r = l;
		if (silent)
			std::fill (l.begin (), l.end (), 0.0f), std::fill (r.begin (), r.end (), 0.0f);
		m.block (l.data (), r.data (), 512);
		return l;
	};
	EXPECT_EQ (runNoise ({}), modelBlock ());
	m.mix = 0.4, m.damp = 0.2, m.update ();
	EXPECT_EQ (runNoise ({{kMixId, 0.4}, {kHFDampId, 0.2}}), modelBlock ());
	m.size = 0.3, m.update ();
	EXPECT_EQ (runNoise ({{kSizeId, 0.3}}), modelBlock ());

	// Seen from outside: in silence, an output within the first stage's delay can only come
	// from what the rings held. Every change keeps it, a new Size (delays of 31 samples and
	// more at 0.1) included.
	auto firstSilentBlock = [&] (ParamID id, double value) {
		block.begin (512);
		block.changes ().add (id, value);
		std::fill (block.in (0), block.in (0) + 512, 0.0f);
		std::fill (block.in (1), block.in (1) + 512, 0.0f);
		block.process (p.processor ());
		return std::vector<float> (block.out (0), block.out (0) + 512);
	};
	const std::pair<ParamID, double> changes[] = {{kMixId, 0.8}, {kHFDampId, 0.9}, {kSizeId, 0.1}, {kSizeId, 0.95}};
	for (auto [id, value] : changes)
	{
		(id == kMixId ? m.mix : id == kHFDampId ? m.damp : m.size) = value;
		m.update ();
		const std::vector<float> out = firstSilentBlock (id, value);
		EXPECT_NE (std::vector<float> (out.begin (), out.begin () + 28), std::vector<float> (28, 0.0f)) << id;
		EXPECT_EQ (out, modelBlock (true)) << id;
	}
}

TEST (ReverbDsp, ActivationForgetsTheLastTake)
{
	const Stereo loud = stereoNoise (3000), later = stereoNoise (3000, 11);
	const Stereo silence {std::vector<float> (3000), std::vector<float> (3000)};
	for (int32 blockSize : {64, 512})
	{
		DirectProcessor p;
		run (p, loud, blockSize, {{kMixId, 1.0}});
		p.component ()->setActive (false);
		p.component ()->setActive (true);
		EXPECT_EQ (run (p, silence, blockSize).left, silence.left) << blockSize;
		// Then it plays as a fresh instance does, bit for bit.
		run (p, loud, blockSize);
		p.component ()->setActive (false);
		p.component ()->setActive (true);
		DirectProcessor fresh;
		const Stereo got = run (p, later, blockSize, {{kMixId, 1.0}});
		const Stereo want = run (fresh, later, blockSize, {{kMixId, 1.0}});
		EXPECT_EQ (got.left, want.left) << blockSize;
		EXPECT_EQ (got.right, want.right) << blockSize;
	}
}

// Automation as hosts send it, one new Size per block, ramping from 5 m to 8 m over a second
// at 48 kHz: the level holds, and the block edges are no rougher than the signal between them.
TEST (ReverbDsp, SizeRampKeepsTheLevelWithoutClicksAtBlockEdges)
{
	const int32 n = 256, steadyBlocks = 188, rampBlocks = 188;
	DirectProcessor p;
	ProcessBlock block (n);
	const std::vector<float> in = noise (size_t (n) * (steadyBlocks + rampBlocks), 5);
	std::vector<float> out;
	for (int32 b = 0; b < steadyBlocks + rampBlocks; ++b)
	{
		block.begin (n);
		block.changes ().add (kMixId, 1.0);
		block.changes ().add (kSizeId, 0.5 + 0.3 * std::max (0, b - steadyBlocks + 1) / rampBlocks);
		std::memcpy (block.in (0), &in[size_t (b) * n], n * sizeof (float));
		std::memcpy (block.in (1), &in[size_t (b) * n], n * sizeof (float));
		block.process (p.processor ());
		out.insert (out.end (), block.out (0), block.out (0) + n);
	}
	const size_t rampStart = size_t (steadyBlocks) * n;
	auto levelDb = [&] (size_t from, size_t to) {
		double sum = 0.0;
		for (size_t i = from; i < to; ++i)
			sum += double (out[i]) * out[i];
		return 10.0 * std::log10 (sum / double (to - from));
	};
	const double steadyDb = levelDb (rampStart / 2, rampStart);
	EXPECT_NEAR (levelDb (rampStart, out.size ()), steadyDb, 1.5) << "steady at " << steadyDb << " dBFS";
	double steps[2] = {}; // inside blocks, at block edges
	size_t counts[2] = {};
	for (size_t i = rampStart + 1; i < out.size (); ++i)
	{
		const bool edge = i % size_t (n) == 0;
		steps[edge] += std::fabs (double (out[i]) - out[i - 1]);
		++counts[edge];
	}
	const double ratio = (steps[1] / double (counts[1])) / (steps[0] / double (counts[0]));
	EXPECT_LE (ratio, 1.5);
}
