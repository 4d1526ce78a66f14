// Blocks that a careless host may send: missing buses, short channel lists, null channel
// pointers, blocks longer than announced, processing without a setup.
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "reverbmodel.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using namespace kt3host;

namespace {

void fillNoise (ProcessBlock& block, int32 n, uint32_t seed)
{
	auto l = noise (size_t (n), seed), r = noise (size_t (n), seed + 1);
	std::memcpy (block.in (0), l.data (), n * sizeof (float));
	std::memcpy (block.in (1), r.data (), n * sizeof (float));
}

bool finite (const float* x, int32 n)
{
	for (int32 i = 0; i < n; ++i)
		if (!std::isfinite (x[i]))
			return false;
	return true;
}

} // namespace

TEST (ProcessorHostile, MissingBusesAndChannelsAreNeverTouched)
{
	using Mutation = void (*) (ProcessData&, AudioBusBuffers&, AudioBusBuffers&);
	const Mutation mutations[] = {
	    [] (ProcessData& d, AudioBusBuffers&, AudioBusBuffers&) { d.numInputs = 0; },
	    [] (ProcessData& d, AudioBusBuffers&, AudioBusBuffers&) { d.numOutputs = 0; },
	    [] (ProcessData& d, AudioBusBuffers&, AudioBusBuffers&) { d.outputs = nullptr; },
	    [] (ProcessData& d, AudioBusBuffers&, AudioBusBuffers&) { d.inputs = nullptr; },
	    [] (ProcessData&, AudioBusBuffers& in, AudioBusBuffers&) { in.numChannels = 1; },
	    [] (ProcessData&, AudioBusBuffers&, AudioBusBuffers& out) { out.numChannels = 0; },
	    [] (ProcessData&, AudioBusBuffers& in, AudioBusBuffers&) { in.channelBuffers32 = nullptr; },
	    [] (ProcessData&, AudioBusBuffers&, AudioBusBuffers& out) { out.channelBuffers32[1] = nullptr; },
	};
	for (bool bypassing : {false, true})
		for (const Mutation& mutate : mutations)
		{
			DirectProcessor p;
			ProcessBlock block (512);
			for (int b = 0; b < 6; ++b)
			{
				block.begin (300);
				if (bypassing && b == 2)
					block.changes ().add (kBypassId, 1.0);
				if (bypassing && b == 4)
					block.changes ().add (kBypassId, 0.0);
				fillNoise (block, 300, b);
				ProcessData data = block.data ();
				AudioBusBuffers in = block.inputBus (), out = block.outputBus ();
				float* outPointers[2] = {block.out (0), block.out (1)};
				out.channelBuffers32 = outPointers;
				data.inputs = &in;
				data.outputs = &out;
				mutate (data, in, out);
				EXPECT_EQ (p.processor ()->process (data), kResultOk);
			}
			EXPECT_EQ (getState (p.component ()).size (), 40u);
		}
}

TEST (ProcessorHostile, MissingInputReadsAsSilenceAndMissingOutputIsNotWritten)
{
	DirectProcessor full, partial;
	ProcessBlock a (256), b (256);
	for (int blockIndex = 0; blockIndex < 8; ++blockIndex)
	{
		a.begin (256);
		b.begin (256);
		fillNoise (a, 256, 40 + blockIndex);
		std::fill (a.in (1), a.in (1) + 256, 0.0f); // what the partial one reads
		fillNoise (b, 256, 40 + blockIndex);
		a.process (full.processor ());

		float* in[2] = {b.in (0), nullptr};
		float* out[2] = {b.out (0), nullptr};
		AudioBusBuffers inBus = b.inputBus (), outBus = b.outputBus ();
		inBus.channelBuffers32 = in;
		outBus.channelBuffers32 = out;
		ProcessData data = b.data ();
		data.inputs = &inBus;
		data.outputs = &outBus;
		partial.processor ()->process (data);
		ASSERT_EQ (0, std::memcmp (a.out (0), b.out (0), 256 * sizeof (float))) << blockIndex;
	}
}

TEST (ProcessorHostile, CrossfadeWithoutRoomSwitchesAtOnce)
{
	struct Case
	{
		int32 maxBlock;
		int32 blockLength;
	};
	for (Case c : {Case {256, 1024}, Case {0, 64}, Case {-5, 64}})
	{
		DirectProcessor p ({48000.0, c.maxBlock, true});
		ProcessBlock block (1024);
		block.begin (c.blockLength);
		block.changes ().add (kBypassId, 1.0);
		fillNoise (block, c.blockLength, 3);
		block.process (p.processor ());
		EXPECT_EQ (0, std::memcmp (block.in (0), block.out (0), c.blockLength * sizeof (float)))
		    << "max block " << c.maxBlock;

		block.begin (c.blockLength);
		block.changes ().add (kBypassId, 0.0);
		fillNoise (block, c.blockLength, 4);
		block.process (p.processor ());
		EXPECT_NE (0, std::memcmp (block.in (0), block.out (0), c.blockLength * sizeof (float)));
		EXPECT_TRUE (finite (block.out (0), c.blockLength));
	}
}

TEST (ProcessorHostile, BlocksBeforeInitializeOrSetupDoNotCrash)
{
	auto raw = owned (new KT3ProcessorWithUIController);
	ProcessBlock block (128);
	block.begin (128);
	block.changes ().add (kBypassId, 1.0);
	EXPECT_EQ (block.process (raw), kResultOk);
	block.begin (128);
	EXPECT_EQ (block.process (raw), kResultOk);

	ASSERT_EQ (raw->initialize (nullptr), kResultOk);
	block.begin (128);
	block.changes ().add (kBypassId, 0.0);
	fillNoise (block, 128, 9);
	EXPECT_EQ (block.process (raw), kResultOk);
	EXPECT_TRUE (finite (block.out (0), 128));
	raw->terminate ();
}

TEST (ProcessorHostile, NonFiniteInputDoesNotPoisonLaterBlocks)
{
	DirectProcessor p;
	ProcessBlock block (512);
	const float poison[] = {std::nanf (""), INFINITY, 3e38f};
	for (float bad : poison)
	{
		block.begin (512);
		fillNoise (block, 512, 5);
		block.in (0)[100] = bad;
		block.in (1)[100] = bad;
		block.process (p.processor ());
		for (int b = 0; b < 4; ++b)
		{
			block.begin (512);
			fillNoise (block, 512, 6 + b);
			block.process (p.processor ());
		}
		EXPECT_TRUE (finite (block.out (0), 512) && finite (block.out (1), 512)) << bad;
	}
}
