// Blocks that a careless host may send: missing buses, short channel lists, null channel
// pointers, blocks longer than announced, processing without a setup.
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "reverbmodel.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

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
	    [] (ProcessData&, AudioBusBuffers&, AudioBusBuffers& out) { out.numChannels = 1; },
	    [] (ProcessData&, AudioBusBuffers& in, AudioBusBuffers&) { in.channelBuffers32 = nullptr; },
	    [] (ProcessData&, AudioBusBuffers&, AudioBusBuffers& out) { out.channelBuffers32 = nullptr; },
	    [] (ProcessData&, AudioBusBuffers&, AudioBusBuffers& out) { out.channelBuffers32[1] = nullptr; },
	};
	constexpr int32 n = 300, guard = 16;
	const float kGuard = std::nanf ("0x5a5");
	auto untouched = [&] (const float* x, int32 count) {
		for (int32 i = 0; i < count; ++i)
			if (std::memcmp (&x[i], &kGuard, sizeof kGuard) != 0)
				return false;
		return true;
	};
	for (bool bypassing : {false, true})
		for (size_t m = 0; m < std::size (mutations); ++m)
		{
			DirectProcessor p;
			ProcessBlock block (n);
			// Each output channel sits between guard samples, and starts as guard samples too.
			std::vector<float> outputs[2];
			for (int b = 0; b < 6; ++b)
			{
				block.begin (n);
				if (bypassing && b == 2)
					block.changes ().add (kBypassId, 1.0);
				if (bypassing && b == 4)
					block.changes ().add (kBypassId, 0.0);
				fillNoise (block, n, uint32_t (b));
				const std::vector<float> inputCopy[2] = {{block.in (0), block.in (0) + n},
				                                         {block.in (1), block.in (1) + n}};
				for (auto& o : outputs)
					o.assign (n + 2 * guard, kGuard);
				float* outPointers[2] = {outputs[0].data () + guard, outputs[1].data () + guard};
				ProcessData data = block.data ();
				AudioBusBuffers in = block.inputBus (), out = block.outputBus ();
				out.channelBuffers32 = outPointers;
				data.inputs = &in;
				data.outputs = &out;
				mutations[m] (data, in, out);
				ASSERT_EQ (p.processor ()->process (data), kResultOk);

				for (int ch = 0; ch < 2; ++ch)
				{
					const bool reachable = data.outputs && data.numOutputs > 0 && out.channelBuffers32 &&
					                       ch < out.numChannels && out.channelBuffers32[ch];
					const float* x = outputs[ch].data ();
					EXPECT_TRUE (untouched (x, guard) && untouched (x + guard + n, guard))
					    << "mutation " << m << " block " << b << " channel " << ch << ": written outside";
					if (reachable)
						EXPECT_FALSE (untouched (x + guard, 1) || untouched (x + guard + n - 1, 1))
						    << "mutation " << m << " block " << b << " channel " << ch << ": not written";
					else
						EXPECT_TRUE (untouched (x + guard, n))
						    << "mutation " << m << " block " << b << " channel " << ch << ": written";
					EXPECT_EQ (0, std::memcmp (block.in (ch), inputCopy[ch].data (), n * sizeof (float)))
					    << "mutation " << m << ": input changed";
				}
			}
		}
}

TEST (ProcessorHostile, AbsurdMaximumBlockSizesAreCappedNotReserved)
{
	// The crossfade buffers stop at 65536 frames; a longer block switches bypass at once.
	DirectProcessor p ({48000.0, 1024, false});
	ProcessSetup setup {kRealtime, kSample32, std::numeric_limits<int32>::max (), 48000.0};
	ASSERT_EQ (p.processor ()->setupProcessing (setup), kResultOk);
	ASSERT_EQ (p.component ()->setActive (true), kResultOk);
	for (int32 length : {65536, 70000})
	{
		ProcessBlock block (length);
		block.begin (length);
		block.changes ().add (kBypassId, 1.0);
		fillNoise (block, length, 8);
		block.process (p.processor ());
		const float* in = block.in (0);
		const float* out = block.out (0);
		if (length == 65536)
			EXPECT_NE (in[length - 1], out[length - 1]) << "the fade's last sample is still part processed";
		else
			EXPECT_EQ (0, std::memcmp (in, out, size_t (length) * sizeof (float)));
		block.begin (length);
		block.changes ().add (kBypassId, 0.0);
		block.process (p.processor ());
	}
	p.component ()->setActive (false);
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

// A host that ignores canProcessSampleSize and sends 64-bit buffers: refused, nothing written
// into them, and the block's changes not taken.
TEST (ProcessorHostile, SixtyFourBitBlocksAreRefusedUntouched)
{
	DirectProcessor p;
	ProcessBlock block (64);
	block.begin (64);
	block.changes ().add (kSizeId, 0.1);
	fillNoise (block, 64, 3);
	std::fill (block.out (0), block.out (0) + 64, 7.0f);
	block.data ().symbolicSampleSize = kSample64;
	EXPECT_EQ (block.process (p.processor ()), kInvalidArgument);
	EXPECT_EQ (std::count (block.out (0), block.out (0) + 64, 7.0f), 64);
	const kt3host::Bytes state = kt3host::getState (p.component ());
	double size = 0.0;
	ASSERT_EQ (state.size (), 40u);
	std::memcpy (&size, &state[4], sizeof size);
	EXPECT_EQ (size, 0.7);
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
