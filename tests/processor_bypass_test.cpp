// Parameter changes per block, the bypass switch with its one-block crossfade, and the
// output silence flags.
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "reverbmodel.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using namespace kt3host;

namespace {

struct Rig
{
	DirectProcessor p;
	ProcessBlock block {4096};
	ReverbModel model;
	uint32_t seed = 11;

	Rig () { model.update (); }

	// Fills the next block with noise; the model processes the same input.
	void fill (int32 n)
	{
		block.begin (n);
		if (n == 0)
			return;
		auto l = noise (size_t (n), seed++), r = noise (size_t (n), seed++);
		std::memcpy (block.in (0), l.data (), n * sizeof (float));
		std::memcpy (block.in (1), r.data (), n * sizeof (float));
	}
	void run () { block.process (p.processor ()); }
	// Switches the bypass on and runs the block that fades into it.
	void bypassAfterTheFade ()
	{
		fill (0);
		block.changes ().add (kBypassId, 1.0);
		run ();
		fill (32);
		run ();
	}
	// The model's processed output for the current block's input.
	std::array<std::vector<float>, 2> processed (int32 n)
	{
		std::vector<float> l (block.in (0), block.in (0) + n), r (block.in (1), block.in (1) + n);
		model.block (l.data (), r.data (), n);
		return {l, r};
	}
	bool bypassedInState ()
	{
		Bytes s = getState (p.component ());
		return s.size () == 40 && s[36] == 1;
	}
	double storedValue (int index)
	{
		Bytes s = getState (p.component ());
		double v;
		std::memcpy (&v, &s[4 + 8 * index], 8);
		return v;
	}
};

} // namespace

TEST (ProcessorParameters, OnlyTheLastPointOfAQueueCounts)
{
	Rig rig;
	rig.fill (16);
	int32 index;
	IParamValueQueue* q = rig.block.changes ().addParameterData (kSizeId, index);
	q->addPoint (0, 0.2, index);
	q->addPoint (5, 0.4, index);
	q->addPoint (9, 0.9, index);
	rig.run ();
	EXPECT_EQ (rig.storedValue (kSizeId), 0.9);
}

TEST (ProcessorParameters, ChangesApplyInBlocksWithoutSamplesAndUnknownIdsAreIgnored)
{
	Rig rig;
	rig.fill (0);
	rig.block.changes ().add (kMixId, 0.25);
	rig.block.changes ().add (77, 0.5);
	rig.run ();
	EXPECT_EQ (rig.storedValue (kMixId), 0.25);
	EXPECT_EQ (getState (rig.p.component ()).size (), 40u);
}

TEST (ProcessorBypass, ThresholdIsOneHalf)
{
	Rig rig;
	rig.fill (0);
	rig.block.changes ().add (kBypassId, 0.4999);
	rig.run ();
	EXPECT_FALSE (rig.bypassedInState ());
	rig.fill (0);
	rig.block.changes ().add (kBypassId, 0.5);
	rig.run ();
	EXPECT_TRUE (rig.bypassedInState ());
}

TEST (ProcessorBypass, CrossfadesIntoBypassOverOneBlockThenPassesThrough)
{
	Rig rig;
	rig.fill (4);
	rig.block.changes ().add (kBypassId, 1.0);
	const auto p = rig.processed (4);
	const float* d = rig.block.in (0);
	const std::vector<float> dry (d, d + 4);
	rig.run ();
	const float* out = rig.block.out (0);
	EXPECT_EQ (out[0], p[0][0]);
	EXPECT_EQ (out[1], 0.75f * p[0][1] + 0.25f * dry[1]);
	EXPECT_EQ (out[2], 0.5f * p[0][2] + 0.5f * dry[2]);
	EXPECT_EQ (out[3], 0.25f * p[0][3] + 0.75f * dry[3]);
	EXPECT_EQ (rig.block.outputBus ().silenceFlags, 0u);

	for (int b = 0; b < 3; ++b)
	{
		rig.fill (64);
		rig.block.inputBus ().silenceFlags = 2;
		rig.block.outputBus ().silenceFlags = 0;
		rig.run ();
		EXPECT_EQ (0, std::memcmp (rig.block.in (0), rig.block.out (0), 64 * sizeof (float)));
		EXPECT_EQ (0, std::memcmp (rig.block.in (1), rig.block.out (1), 64 * sizeof (float)));
		EXPECT_EQ (rig.block.outputBus ().silenceFlags, 2u) << "input silence bits pass through";
	}
}

TEST (ProcessorBypass, CrossfadesOutContinuingFromTheStateBeforeBypass)
{
	Rig rig;
	rig.fill (4);
	rig.block.changes ().add (kBypassId, 1.0);
	rig.processed (4);
	rig.run ();
	rig.fill (32); // bypassed: the reverb does not run
	rig.run ();

	rig.fill (4);
	rig.block.changes ().add (kBypassId, 0.0);
	const auto p = rig.processed (4);
	const std::vector<float> dry (rig.block.in (1), rig.block.in (1) + 4);
	rig.run ();
	const float* out = rig.block.out (1);
	EXPECT_EQ (out[0], dry[0]);
	EXPECT_EQ (out[1], 0.25f * p[1][1] + 0.75f * dry[1]);
	EXPECT_EQ (out[3], 0.75f * p[1][3] + 0.25f * dry[3]);

	rig.fill (256);
	const auto next = rig.processed (256);
	rig.run ();
	EXPECT_EQ (std::vector<float> (rig.block.out (0), rig.block.out (0) + 256), next[0]);
}

TEST (ProcessorBypass, SwitchingBackBeforeAnySampleCancelsThePendingFade)
{
	for (double first : {1.0, 0.0})
	{
		Rig rig;
		if (first == 0.0)
		{
			rig.fill (0);
			rig.block.changes ().add (kBypassId, 1.0);
			rig.run ();
			rig.fill (64); // the fade into bypass runs here
			rig.processed (64);
			rig.run ();
		}
		rig.fill (0);
		rig.block.changes ().add (kBypassId, first);
		rig.run ();
		rig.fill (0);
		rig.block.changes ().add (kBypassId, 1.0 - first);
		rig.run ();

		rig.fill (64);
		if (first == 1.0)
		{
			const auto p = rig.processed (64);
			rig.run ();
			EXPECT_EQ (std::vector<float> (rig.block.out (0), rig.block.out (0) + 64), p[0]);
		}
		else
		{
			rig.run ();
			EXPECT_EQ (0, std::memcmp (rig.block.in (0), rig.block.out (0), 64 * sizeof (float)));
		}
	}
}

TEST (ProcessorBypass, RestoredStateSwitchesWithoutAFade)
{
	Rig rig;
	Bytes state = getState (rig.p.component ());
	state[36] = 1;
	ASSERT_EQ (setState (rig.p.component (), state), kResultOk);
	rig.fill (64);
	rig.run ();
	EXPECT_EQ (0, std::memcmp (rig.block.in (0), rig.block.out (0), 64 * sizeof (float)));
}

TEST (ProcessorSilenceFlags, EveryTenthSampleDecides)
{
	Rig rig;
	rig.fill (0);
	rig.block.changes ().add (kMixId, 0.0);
	rig.run ();
	rig.fill (100);
	for (int i = 0; i < 100; ++i)
	{
		rig.block.in (0)[i] = i % 10 == 0 ? 0.0001f : 0.9f; // loud between the tested samples
		rig.block.in (1)[i] = i % 10 == 0 ? 0.0002f : 0.0f;
	}
	rig.block.outputBus ().silenceFlags = ~uint64 (0);
	rig.run ();
	// At Mix 0 and unity gain the output equals the input: the tested samples carry
	// 0.0001 (below the threshold) on the left and 0.0002 (above it) on the right.
	EXPECT_EQ (rig.block.outputBus ().silenceFlags, 1u);
}

TEST (ProcessorSilenceFlags, ComeBackOnOnceTheTailHasDecayedToExactZeros)
{
	Rig rig;
	rig.fill (512);
	rig.block.changes ().add (kMixId, 1.0);
	rig.run ();
	auto silentBlock = [&] {
		rig.block.begin (512);
		std::fill (rig.block.in (0), rig.block.in (0) + 512, 0.0f);
		std::fill (rig.block.in (1), rig.block.in (1) + 512, 0.0f);
		rig.block.inputBus ().silenceFlags = 3;
		rig.run ();
	};
	silentBlock ();
	EXPECT_EQ (rig.block.outputBus ().silenceFlags, 0u) << "the tail is loud";
	int blocks = 1;
	while (rig.block.out (0)[511] != 0.0f && blocks < 1000)
	{
		silentBlock ();
		++blocks;
	}
	silentBlock ();
	const std::vector<float> zeros (512, 0.0f);
	EXPECT_EQ (std::vector<float> (rig.block.out (0), rig.block.out (0) + 512), zeros);
	EXPECT_EQ (std::vector<float> (rig.block.out (1), rig.block.out (1) + 512), zeros);
	EXPECT_EQ (rig.block.outputBus ().silenceFlags, 3u);
	EXPECT_GT (blocks, 50) << "the tail lasted over half a second";
	EXPECT_LT (blocks, 274) << "and no longer than the reported tail";
}

TEST (ProcessorSilenceFlags, BypassedBlocksTakeTheInputsFlagsNotWhatTheHostLeft)
{
	Rig rig;
	rig.bypassAfterTheFade ();
	// The host's structure still says silent from an earlier block; the input is loud.
	rig.fill (32);
	rig.block.inputBus ().silenceFlags = 0;
	rig.block.outputBus ().silenceFlags = 3;
	rig.run ();
	EXPECT_EQ (rig.block.outputBus ().silenceFlags, 0u);
	// A missing input channel is passed on as silence.
	rig.fill (32);
	rig.block.inputBus ().numChannels = 1;
	rig.block.inputBus ().silenceFlags = 0;
	rig.block.outputBus ().silenceFlags = 1;
	rig.run ();
	EXPECT_EQ (rig.block.outputBus ().silenceFlags, 2u);
	EXPECT_EQ (rig.block.out (1)[5], 0.0f);
}

TEST (ProcessorSilenceFlags, InactiveOutputBusIsClearedAndLeftAloneWhileBypassed)
{
	Rig rig;
	rig.p.component ()->activateBus (kAudio, kOutput, 0, false);
	rig.fill (32);
	rig.block.outputBus ().silenceFlags = 3;
	rig.run ();
	EXPECT_EQ (rig.block.outputBus ().silenceFlags, 0u);

	rig.bypassAfterTheFade ();
	rig.fill (32);
	std::fill (rig.block.out (0), rig.block.out (0) + 32, 7.0f);
	rig.block.outputBus ().silenceFlags = 5;
	rig.run ();
	EXPECT_EQ (rig.block.out (0)[0], 7.0f);
	EXPECT_EQ (rig.block.outputBus ().silenceFlags, 5u);
}
