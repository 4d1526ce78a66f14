// The same input and control changes through KT3.lv2 (a lilv instance) and through the VST 3
// module (the host library) give the same output bits: parameter changes between runs,
// bypass toggles through lv2:enabled with their crossfade, several sample rates and maximum
// blocks, and runs longer than the maximum block, which the plug-in cuts as a VST 3 host would.
// The runs allocate nothing.
#include "allocationcounter.h"
#include "kt3ids.h"
#include "lv2host.h"
#include "lv2ports.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "reverbparameters.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

// Control values of one run, in port order from Size to enabled.
struct Run
{
	uint32_t frames;
	float controls[kReverbParamCount + 1];
};

std::vector<Run> scenario (uint32_t longRun)
{
	return {
	    {256, {7.0f, 70.0f, 90.0f, 0.0f, 1.0f}},      {100, {3.5f, 70.0f, 90.0f, 0.0f, 1.0f}},
	    {1, {3.5f, 12.5f, 40.0f, -6.0f, 1.0f}},       {333, {3.5f, 12.5f, 40.0f, -6.0f, 0.0f}}, // into bypass
	    {64, {9.0f, 12.5f, 40.0f, 4.25f, 0.0f}},      {500, {9.0f, 12.5f, 40.0f, 4.25f, 1.0f}}, // out of it
	    {longRun, {10.0f, 100.0f, 100.0f, 20.0f, 1.0f}}, {longRun, {10.0f, 100.0f, 100.0f, 20.0f, 0.0f}},
	    {0, {0.0f, 0.0f, 0.0f, -20.0f, 0.0f}},         {77, {0.0f, 0.0f, 0.0f, -20.0f, 1.0f}},
	    {1000, {1.0f, 55.5f, 75.0f, -1.5f, 1.0f}},
	};
}

float noiseSample (uint32_t& state)
{
	state = state * 1664525u + 1013904223u;
	return static_cast<float> (state >> 8) / 16777216.0f - 0.5f;
}

using Output = std::vector<float>[2];

// Which of the instance's four buffers each audio port (in_l, in_r, out_l, out_r) is connected to.
struct Layout
{
	const char* name;
	unsigned buffer[4];
	bool sharedInput () const { return buffer[0] == buffer[1]; }
};
constexpr Layout kSeparate {"separate", {0, 1, 2, 3}};

// Inputs are written to the buffers of in_l, then in_r; with shared inputs both get the same noise.
void renderLv2 (kt3host::Lv2Instance& lv2, const std::vector<Run>& runs, Output& out, long& allocations,
                const Layout& layout = kSeparate, bool sameNoise = false)
{
	for (unsigned port = 0; port < 4; ++port)
		lilv_instance_connect_port (lv2.get (), kLv2InLeft + port, lv2.audio (layout.buffer[port]));
	uint32_t noise = 99;
	for (const Run& run : runs)
	{
		for (uint32_t i = 0; i < run.frames; ++i)
		{
			const float left = noiseSample (noise), right = sameNoise ? left : noiseSample (noise);
			lv2.audio (layout.buffer[0])[i] = left;
			lv2.audio (layout.buffer[1])[i] = right;
		}
		for (uint32_t p = 0; p <= kReverbParamCount; ++p)
			lv2.control (kLv2FirstParameter + p) = run.controls[p];
		kt3test::startCountingAllocations ();
		lv2.run (run.frames);
		allocations += kt3test::stopCountingAllocations ();
		for (int c = 0; c < 2; ++c)
		{
			const float* written = lv2.audio (layout.buffer[2 + c]);
			out[c].insert (out[c].end (), written, written + run.frames);
		}
	}
}

// The VST 3 host's view of the same runs: blocks of at most maxBlock frames, each run's
// changed values at the start of its first block.
void renderVst3 (double rate, int32 maxBlock, const std::vector<Run>& runs, Output& out)
{
	kt3host::PluginModule module (KT3_BUNDLE_PATH);
	ASSERT_TRUE (module.loaded ()) << module.error ();
	kt3host::PluginInstance plugin (module);
	ASSERT_TRUE (plugin.ready () && plugin.activate (rate, maxBlock));
	kt3host::ProcessBlock block (maxBlock);
	uint32_t noise = 99;
	std::vector<float> in[2];
	float last[kReverbParamCount + 1] = {7.0f, 70.0f, 90.0f, 0.0f, 1.0f};
	for (const Run& run : runs)
	{
		for (int c = 0; c < 2; ++c)
			in[c].assign (run.frames, 0.0f);
		for (uint32_t i = 0; i < run.frames; ++i)
			for (int c = 0; c < 2; ++c)
				in[c][i] = noiseSample (noise);
		uint32_t done = 0;
		do
		{
			const auto n = static_cast<int32> (std::min<uint32_t> (run.frames - done, uint32_t (maxBlock)));
			block.begin (n);
			for (uint32_t p = 0; done == 0 && p <= kReverbParamCount; ++p)
			{
				if (run.controls[p] == last[p])
					continue;
				last[p] = run.controls[p];
				if (p < kReverbParamCount)
					block.changes ().add (p, kReverbParameters[p].normalized (run.controls[p]));
				else
					block.changes ().add (kBypassId, run.controls[p] > 0.0f ? 0.0 : 1.0);
			}
			for (int c = 0; c < 2; ++c)
				std::memcpy (block.in (c), in[c].data () + done, sizeof (float) * n);
			block.process (plugin.audioProcessor ());
			for (int c = 0; c < 2; ++c)
				out[c].insert (out[c].end (), block.out (c), block.out (c) + n);
			done += n;
		} while (done < run.frames);
	}
}

} // namespace

TEST (Lv2Render, SameBitsAsTheVst3ModuleAtEveryRateAndBlockLimit)
{
	kt3host::Lv2World world (KT3_LV2_BUNDLE_PATH);
	const LilvPlugin* plugin = world.plugin (kLv2PluginUri);
	ASSERT_NE (plugin, nullptr);
	ASSERT_TRUE (kt3test::counterSeesThisThread ());
	struct Case
	{
		double rate;
		int maxBlock; // 0: none announced, the plug-in's default applies
	};
	for (const Case& c : {Case {44100.0, 512}, Case {48000.0, 0}, Case {8000.0, 64}, Case {96000.0, 1000},
	                      Case {384000.0, 4096}})
	{
		SCOPED_TRACE (testing::Message () << c.rate << " Hz, block limit " << c.maxBlock);
		const int32 limit = c.maxBlock > 0 ? c.maxBlock : int32 (kLv2DefaultMaxBlock);
		const auto runs = scenario (uint32_t (limit) * 2 + 17);
		kt3host::Lv2Instance lv2 (plugin, c.rate, c.maxBlock);
		ASSERT_TRUE (lv2.ready ());
		lv2.resize (std::max<size_t> (size_t (limit) * 2 + 17, 1000));
		lilv_instance_activate (lv2.get ());
		Output viaLv2, viaVst3;
		long allocations = 0;
		renderLv2 (lv2, runs, viaLv2, allocations);
		lilv_instance_deactivate (lv2.get ());
		renderVst3 (c.rate, limit, runs, viaVst3);
		EXPECT_EQ (allocations, 0);
		for (int ch = 0; ch < 2; ++ch)
		{
			ASSERT_EQ (viaLv2[ch].size (), viaVst3[ch].size ());
			EXPECT_EQ (std::memcmp (viaLv2[ch].data (), viaVst3[ch].data (), sizeof (float) * viaLv2[ch].size ()), 0)
			    << "channel " << ch;
		}
	}
}

TEST (Lv2Render, RefusesSampleRatesOutsideItsRange)
{
	kt3host::Lv2World world (KT3_LV2_BUNDLE_PATH);
	const LilvPlugin* plugin = world.plugin (kLv2PluginUri);
	ASSERT_NE (plugin, nullptr);
	for (double rate : {0.0, -48000.0, 7999.0, 384001.0, 1e300})
		EXPECT_FALSE (kt3host::Lv2Instance (plugin, rate).ready ()) << rate;
	for (double rate : {8000.0, 384000.0})
		EXPECT_TRUE (kt3host::Lv2Instance (plugin, rate).ready ()) << rate;
}

// Missing buffers read as silence or are not written; unknown ports are ignored; an
// unconnected control keeps its value.
TEST (Lv2Render, UnconnectedAndUnknownPortsAreSafe)
{
	kt3host::Lv2World world (KT3_LV2_BUNDLE_PATH);
	const LilvPlugin* plugin = world.plugin (kLv2PluginUri);
	kt3host::Lv2Instance lv2 (plugin, 48000.0, 0, false);
	ASSERT_TRUE (lv2.ready ());
	float junk = 1.0f;
	lilv_instance_connect_port (lv2.get (), kLv2PortCount, &junk);
	lilv_instance_connect_port (lv2.get (), 0xffffffffu, &junk);
	lilv_instance_activate (lv2.get ());
	std::fill (lv2.audio (1), lv2.audio (1) + 512, 0.5f);
	for (uint32_t port : {0u, 2u, 4u, 5u, 6u, 7u, 8u})
		lilv_instance_connect_port (lv2.get (), port, nullptr);
	lv2.run (512);
	lv2.run (0);
	EXPECT_NE (lv2.audio (3)[511], 0.0f); // the right output still carries the right input
	lilv_instance_connect_port (lv2.get (), 1, nullptr);
	lilv_instance_connect_port (lv2.get (), 3, nullptr);
	lv2.run (100000);
	lilv_instance_deactivate (lv2.get ());
}


// Hosts may hand the same buffer to several ports (LV2 allows it unless a plug-in says
// lv2:inPlaceBroken): in place, crosswise, an input shared with the other channel's output, both
// inputs in one buffer. The scenario, bypassed and crossfade blocks included, gives the bits of
// separate buffers, without allocating.
TEST (Lv2Render, AliasedBuffersGiveTheSameBitsAsSeparateOnes)
{
	kt3host::Lv2World world (KT3_LV2_BUNDLE_PATH);
	const LilvPlugin* plugin = world.plugin (kLv2PluginUri);
	ASSERT_NE (plugin, nullptr);
	ASSERT_TRUE (kt3test::counterSeesThisThread ());
	const auto runs = scenario (2000);
	const auto render = [&] (const Layout& layout, bool sameNoise, Output& out) {
		kt3host::Lv2Instance lv2 (plugin, 48000.0, 512);
		ASSERT_TRUE (lv2.ready ());
		lv2.resize (2000);
		lilv_instance_activate (lv2.get ());
		long allocations = 0;
		renderLv2 (lv2, runs, out, allocations, layout, sameNoise);
		lilv_instance_deactivate (lv2.get ());
		EXPECT_EQ (allocations, 0) << layout.name;
	};
	Output reference[2]; // [same noise on both inputs]
	render (kSeparate, false, reference[0]);
	render (kSeparate, true, reference[1]);
	for (const Layout& layout : {Layout {"in place", {0, 1, 0, 1}}, Layout {"crossed", {0, 1, 1, 0}},
	                             Layout {"out_l = in_r", {0, 1, 1, 3}}, Layout {"out_r = in_l", {0, 1, 2, 0}},
	                             Layout {"in_l = in_r", {0, 0, 2, 3}}, Layout {"in_l = in_r = out_l", {0, 0, 0, 3}},
	                             Layout {"in_l = in_r = out_r", {0, 0, 2, 0}}})
	{
		Output aliased;
		render (layout, layout.sharedInput (), aliased);
		for (int c = 0; c < 2; ++c)
			EXPECT_TRUE (aliased[c] == reference[layout.sharedInput ()][c]) << layout.name << ", channel " << c;
	}
}

// Control values outside the ports' ranges, infinite or not a number (a faulty host) are
// clamped or ignored as the processor's parameter changes are: the output stays finite.
TEST (Lv2Render, HostileControlValuesKeepTheOutputFinite)
{
	kt3host::Lv2World world (KT3_LV2_BUNDLE_PATH);
	const LilvPlugin* plugin = world.plugin (kLv2PluginUri);
	ASSERT_NE (plugin, nullptr);
	const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 11.0f, -21.0f};
	kt3host::Lv2Instance lv2 (plugin, 48000.0, 512);
	ASSERT_TRUE (lv2.ready ());
	lilv_instance_activate (lv2.get ());
	uint32_t noise = 5;
	for (float value : bad)
		for (uint32_t port = kLv2FirstParameter; port <= kLv2Enabled; ++port)
		{
			lv2.control (port) = value;
			for (uint32_t i = 0; i < 512; ++i)
				lv2.audio (0)[i] = lv2.audio (1)[i] = noiseSample (noise);
			lv2.run (512);
			for (int c = 0; c < 2; ++c)
				ASSERT_TRUE (std::all_of (lv2.audio (2 + c), lv2.audio (2 + c) + 512,
				                          [] (float x) { return std::isfinite (x); }))
				    << "port " << port << " at " << value;
			lv2.control (port) = port == kLv2Enabled ? 1.0f : 0.5f;
		}
	lilv_instance_deactivate (lv2.get ());
}

// activate clears the rings as the VST 3 processor's activation does (the input low-pass keeps
// its state in both): a loud block, a deactivate and an activate, then silence give the VST 3
// module's bits, and not those of the same blocks without the reactivation.
TEST (Lv2Render, ActivateClearsTheRingsAsTheVst3ActivationDoes)
{
	kt3host::Lv2World world (KT3_LV2_BUNDLE_PATH);
	const LilvPlugin* plugin = world.plugin (kLv2PluginUri);
	ASSERT_NE (plugin, nullptr);
	kt3host::PluginModule module (KT3_BUNDLE_PATH);
	ASSERT_TRUE (module.loaded ()) << module.error ();
	const std::vector<float> loud = [] {
		std::vector<float> samples (512);
		uint32_t noise = 3;
		for (float& x : samples)
			x = noiseSample (noise);
		return samples;
	}();
	const std::vector<float> silence (512, 0.0f);

	std::vector<float> viaLv2[2]; // [reactivated]: the left output of the silent block
	for (bool reactivate : {false, true})
	{
		kt3host::Lv2Instance lv2 (plugin, 48000.0, 512);
		ASSERT_TRUE (lv2.ready ());
		lilv_instance_activate (lv2.get ());
		for (const std::vector<float>* in : {&loud, &silence})
		{
			std::copy (in->begin (), in->end (), lv2.audio (0));
			std::copy (in->begin (), in->end (), lv2.audio (1));
			if (reactivate && in == &silence)
			{
				lilv_instance_deactivate (lv2.get ());
				lilv_instance_activate (lv2.get ());
			}
			lv2.run (512);
		}
		viaLv2[reactivate].assign (lv2.audio (2), lv2.audio (2) + 512);
		lilv_instance_deactivate (lv2.get ());
	}

	kt3host::PluginInstance vst3 (module);
	ASSERT_TRUE (vst3.ready () && vst3.activate (48000.0, 512));
	kt3host::ProcessBlock block (512);
	for (const std::vector<float>* in : {&loud, &silence})
	{
		if (in == &silence)
		{
			vst3.audioProcessor ()->setProcessing (false);
			vst3.component ()->setActive (false);
			vst3.component ()->setActive (true);
			vst3.audioProcessor ()->setProcessing (true);
		}
		block.begin (512);
		for (int c = 0; c < 2; ++c)
			std::copy (in->begin (), in->end (), block.in (c));
		block.process (vst3.audioProcessor ());
	}
	const std::vector<float> viaVst3 (block.out (0), block.out (0) + 512);
	EXPECT_TRUE (viaLv2[true] == viaVst3);
	EXPECT_FALSE (viaLv2[false] == viaVst3);
}
