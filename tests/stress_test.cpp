// The built bundle under the call sequences a plug-in validator puts it through: loaded and
// unloaded again and again, many instances at once, ten minutes of noise in random blocks with
// random changes and state round trips, and the editor opened and closed while audio runs on
// another thread. The processing thread must never touch the heap.
#include "allocationcounter.h"
#include "kt3ids.h"
#include "plugframe.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "statebytes.h"
#include "x11parentwindow.h"
#include "xvfbserver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <random>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

constexpr double kSampleRate = 48000.0;
constexpr int32 kMaxBlock = 8192;
// For inputs within +-1 no output can exceed this: the dry gain is at most 10, the low-passed
// wet input at most 16, and each of the four stages has an impulse response whose absolute
// sum is 2, so the taps stay within 16 x 2^4.
constexpr float kOutputBound = 10.f + 16.f + 16.f * 16.f;

const std::string kModulePath = std::string (KT3_BUNDLE_PATH) + "/Contents/" + kt3host::kArchitectureFolder + "/KT3.so";

// Noise, random blocks and random parameter changes from one seeded generator.
class RandomHost
{
public:
	explicit RandomHost (uint32_t seed) : random (seed) {}

	int32 blockSize () { return std::uniform_int_distribution<int32> (1, kMaxBlock) (random); }

	// Fills the block with full-scale noise and gives it changes to one to four parameters at
	// random offsets, and now and then a bypass toggle.
	void prepare (kt3host::ProcessBlock& block, int32 frames)
	{
		block.begin (frames);
		std::uniform_real_distribution<float> sample (-1.f, 1.f);
		for (int c = 0; c < 2; ++c)
			std::generate (block.in (c), block.in (c) + frames, [&] { return sample (random); });
		std::uniform_int_distribution<int32> offset (0, frames - 1);
		std::uniform_real_distribution<double> value (0.0, 1.0);
		const int changes = std::uniform_int_distribution<int> (1, 4) (random);
		for (int i = 0; i < changes; ++i)
			block.changes ().add (static_cast<ParamID> (random () % 4), value (random), offset (random));
		if (random () % 8 == 0)
		{
			bypassed = !bypassed;
			block.changes ().add (kBypassId, bypassed ? 1.0 : 0.0, offset (random));
		}
	}

private:
	std::mt19937 random;
	bool bypassed = false;
};

// The values a state stream carries: four parameters, then the bypass word as 0 or 1.
std::vector<double> valuesIn (const kt3host::Bytes& state)
{
	std::vector<double> values (5);
	for (size_t i = 0; i < 4; ++i)
		std::memcpy (&values[i], state.data () + 4 + 8 * i, 8); // this machine is little-endian
	int32 bypass = 0;
	std::memcpy (&bypass, state.data () + 36, 4);
	values[4] = bypass;
	return values;
}

// Every sample finite and within the bound; returns the largest magnitude.
float checkOutput (kt3host::ProcessBlock& block, int32 frames)
{
	float peak = 0.f;
	for (int c = 0; c < 2; ++c)
		for (int32 i = 0; i < frames; ++i)
		{
			const float y = block.out (c)[i];
			if (!std::isfinite (y) || std::fabs (y) > kOutputBound)
			{
				ADD_FAILURE () << "channel " << c << " sample " << i << " is " << y;
				return INFINITY;
			}
			peak = std::max (peak, std::fabs (y));
		}
	return peak;
}

} // namespace

TEST (Stress, BundleLoadsAndUnloadsFiftyTimes)
{
	for (int round = 0; round < 50; ++round)
	{
		SCOPED_TRACE (round);
		{
			kt3host::PluginModule module (KT3_BUNDLE_PATH);
			ASSERT_TRUE (module.loaded ()) << module.error ();
			kt3host::PluginInstance plugin (module);
			ASSERT_TRUE (plugin.ready ()) << plugin.error ();
			ASSERT_TRUE (plugin.activate (kSampleRate, 512));
			kt3host::ProcessBlock block (512);
			RandomHost (round).prepare (block, 512);
			ASSERT_EQ (block.process (plugin.audioProcessor ()), kResultOk);
			checkOutput (block, 512);
		}
		// Nothing keeps the module mapped once its host lets it go.
		EXPECT_EQ (dlopen (kModulePath.c_str (), RTLD_NOW | RTLD_NOLOAD), nullptr);
	}
}

TEST (Stress, HundredPairsLiveSideBySideAndGoInAnyOrder)
{
	kt3host::PluginModule module (KT3_BUNDLE_PATH);
	ASSERT_TRUE (module.loaded ()) << module.error ();
	std::vector<std::unique_ptr<kt3host::PluginInstance>> plugins;
	for (int i = 0; i < 100; ++i)
	{
		plugins.push_back (std::make_unique<kt3host::PluginInstance> (module));
		ASSERT_TRUE (plugins.back ()->ready ()) << plugins.back ()->error ();
		ASSERT_TRUE (plugins.back ()->activate (kSampleRate, 256));
	}
	// Each instance keeps its own values: instance i is given Size i / 100.
	kt3host::ProcessBlock block (256);
	for (int i = 0; i < 100; ++i)
	{
		RandomHost (i).prepare (block, 256);
		block.changes ().add (kSizeId, i / 100.0, 255);
		ASSERT_EQ (block.process (plugins[i]->audioProcessor ()), kResultOk);
		checkOutput (block, 256);
	}
	for (int i = 0; i < 100; ++i)
		EXPECT_EQ (valuesIn (kt3host::getState (plugins[i]->component ()))[kSizeId], i / 100.0) << i;

	std::shuffle (plugins.begin (), plugins.end (), std::mt19937 (7));
	while (!plugins.empty ())
		plugins.pop_back ();
}

TEST (Stress, TenMinutesOfNoiseWithRandomChangesAndStateRoundTrips)
{
	kt3host::PluginModule module (KT3_BUNDLE_PATH);
	ASSERT_TRUE (module.loaded ()) << module.error ();
	kt3host::PluginInstance plugin (module);
	ASSERT_TRUE (plugin.ready ()) << plugin.error ();
	ASSERT_TRUE (plugin.activate (kSampleRate, kMaxBlock));
	kt3host::ProcessBlock block (kMaxBlock);
	RandomHost host (2026);
	ASSERT_TRUE (kt3test::counterSeesThisThread ());

	const int64 total = static_cast<int64> (kSampleRate) * 600;
	long allocations = 0;
	int roundTrips = 0;
	float peak = 0.f;
	for (int64 done = 0, blocks = 0; done < total; ++blocks)
	{
		const int32 frames = static_cast<int32> (std::min<int64> (host.blockSize (), total - done));
		host.prepare (block, frames);
		kt3test::startCountingAllocations ();
		const tresult result = block.process (plugin.audioProcessor ());
		allocations += kt3test::stopCountingAllocations ();
		ASSERT_EQ (result, kResultOk);
		peak = std::max (peak, checkOutput (block, frames));
		ASSERT_LE (peak, kOutputBound) << "after " << done << " frames";
		done += frames;

		// Between blocks, as a host saving and reloading a project does.
		if (roundTrips == 1000 || blocks % 6 != 0)
			continue;
		++roundTrips;
		const kt3host::Bytes saved = kt3host::getState (plugin.component ());
		ASSERT_EQ (saved.size (), 40u);
		ASSERT_EQ (kt3host::setState (plugin.component (), saved), kResultOk);
		ASSERT_EQ (kt3host::getState (plugin.component ()), saved);
		ASSERT_EQ (kt3host::setComponentState (plugin.controller (), saved), kResultOk);
		const std::vector<double> values = valuesIn (saved);
		for (ParamID id : {kSizeId, kHFDampId, kMixId, kOutputId})
			ASSERT_EQ (plugin.controller ()->getParamNormalized (id), values[id]) << "parameter " << id;
		ASSERT_EQ (plugin.controller ()->getParamNormalized (kBypassId), values[4]);
	}
	EXPECT_EQ (roundTrips, 1000);
	EXPECT_EQ (allocations, 0);
	EXPECT_GT (peak, 0.5f); // the reverb did run
}

TEST (Stress, EditorOpensAndClosesWhileAudioRunsOnAnotherThread)
{
	kt3host::XvfbServer server;
	ASSERT_TRUE (server.running ()) << server.error ();
	kt3host::PluginModule module (KT3_BUNDLE_PATH);
	ASSERT_TRUE (module.loaded ()) << module.error ();
	kt3host::PluginInstance plugin (module);
	ASSERT_TRUE (plugin.ready ()) << plugin.error ();
	ASSERT_TRUE (plugin.activate (kSampleRate, 1024));
	kt3host::X11ParentWindow parent (281, 232);
	ASSERT_TRUE (parent.isOpen ()) << parent.error ();

	std::atomic<bool> stop {false};
	std::atomic<long> blocks {0};
	std::atomic<long> allocations {0};
	std::atomic<bool> outputGood {true};
	std::atomic<bool> counterWorks {false};
	std::thread audio ([&] {
		counterWorks = kt3test::counterSeesThisThread ();
		kt3host::ProcessBlock block (1024);
		RandomHost host (5);
		while (!stop.load ())
		{
			const int32 frames = 1 + host.blockSize () % 1024;
			host.prepare (block, frames);
			kt3test::startCountingAllocations ();
			block.process (plugin.audioProcessor ());
			allocations += kt3test::stopCountingAllocations ();
			for (int c = 0; c < 2; ++c)
				for (int32 i = 0; i < frames; ++i)
					if (!std::isfinite (block.out (c)[i]) || std::fabs (block.out (c)[i]) > kOutputBound)
						outputGood = false;
			++blocks;
		}
	});

	IPtr<kt3host::PlugFrame> frame = owned (new kt3host::PlugFrame);
	for (int round = 0; round < 20; ++round)
	{
		SCOPED_TRACE (round);
		IPtr<IPlugView> view = owned (plugin.controller ()->createView (ViewType::kEditor));
		ASSERT_TRUE (view);
		ASSERT_EQ (view->setFrame (frame), kResultTrue);
		ASSERT_EQ (view->attached (reinterpret_cast<void*> (uintptr_t (parent.id ())), kPlatformTypeX11EmbedWindowID),
		           kResultTrue);
		EXPECT_TRUE (frame->runUntil ([&] { return parent.children ().size () == 1; }, 10000));
		frame->runFor (30);
		EXPECT_EQ (view->removed (), kResultTrue);
		view->setFrame (nullptr);
		EXPECT_EQ (frame->eventHandlerCount (), 0u);
		EXPECT_EQ (frame->timerCount (), 0u);
	}
	EXPECT_TRUE (frame->runUntil ([&] { return parent.children ().empty (); }, 10000));

	stop = true;
	audio.join ();
	EXPECT_GT (blocks.load (), 20);
	ASSERT_TRUE (counterWorks.load ());
	EXPECT_EQ (allocations.load (), 0);
	EXPECT_TRUE (outputGood.load ());
}
