// KT3.clap under calls a careless or hostile host makes: values out of range, not a number,
// for unknown IDs or in other event spaces; process without activation or without 32-bit
// buffers; calls longer than the longest block announced; states cut short or refused; flush
// while inactive. None crashes, and each leaves the plug-in as the sound behaviour says.
#include "allocationcounter.h"
#include "claphostedplugin.h"
#include "kt3ids.h"

#include "clap/ext/params.h"
#include "clap/ext/state.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace Steinberg::Vst::Orvix;
using kt3host::ClapHostedPlugin;
using kt3host::ClapInputEvents;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN ();

struct Buffers
{
	explicit Buffers (uint32_t frames, float fill = 0.25f)
	{
		for (auto& channel : data)
			channel.assign (frames, fill);
		for (int c = 0; c < 2; ++c)
			in[c] = data[c].data (), out[c] = data[2 + c].data ();
	}
	std::vector<float> data[4];
	float* in[2];
	float* out[2];
};

class ClapHostileTest : public ::testing::Test
{
protected:
	kt3host::ClapModule module {KT3_CLAP_PATH};
	ClapHostedPlugin plugin {module, kClapPluginId};
	const clap_plugin_params_t* params () const { return plugin.extension<clap_plugin_params_t> (CLAP_EXT_PARAMS); }
	double value (clap_id id) const
	{
		double v = kNaN;
		params ()->get_value (plugin.get (), id, &v);
		return v;
	}
};

// Each event alone, through process and through flush: the value get_value reports after it.
TEST_F (ClapHostileTest, ValuesAreLimitedAndUnusableEventsIgnored)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	const struct
	{
		clap_id id;
		double sent;
		uint16_t space;
		clap_id checked;
		double expected;
	} cases[] = {
	    {kSizeId, 25.0, 0, kSizeId, 10.0},      {kSizeId, -3.0, 0, kSizeId, 0.0},
	    {kOutputId, 1e300, 0, kOutputId, 20.0}, {kOutputId, -INFINITY, 0, kOutputId, -20.0},
	    {kMixId, kNaN, 0, kMixId, 90.0},        {kBypassId, 0.7, 0, kBypassId, 1.0},
	    {kBypassId, kNaN, 0, kBypassId, 0.0},   {kBypassId, -5.0, 0, kBypassId, 0.0},
	    {kPresetsId, 3.0, 0, kSizeId, 7.0},     {777, 3.0, 0, kSizeId, 7.0},
	    {kSizeId, 3.0, 5, kSizeId, 7.0}, // not the core event space
	};
	for (bool viaFlush : {false, true})
		for (const auto& c : cases)
		{
			ClapHostedPlugin fresh (module, kClapPluginId);
			ClapInputEvents events;
			events.addValue (c.id, c.sent, 0, c.space);
			if (viaFlush)
				fresh.extension<clap_plugin_params_t> (CLAP_EXT_PARAMS)->flush (fresh.get (), events.list (), nullptr);
			else
			{
				ASSERT_TRUE (fresh.activate (48000.0, 64));
				Buffers buffers (64);
				EXPECT_EQ (fresh.process (buffers.in, buffers.out, 64, events), CLAP_PROCESS_CONTINUE);
				for (float sample : buffers.data[2])
					ASSERT_TRUE (std::isfinite (sample));
			}
			double v = kNaN;
			fresh.extension<clap_plugin_params_t> (CLAP_EXT_PARAMS)->get_value (fresh.get (), c.checked, &v);
			EXPECT_EQ (v, c.expected) << c.id << " " << c.sent << (viaFlush ? " flushed" : " processed");
		}
	double v = 0.0;
	EXPECT_FALSE (params ()->get_value (plugin.get (), 777, &v));
	EXPECT_FALSE (params ()->get_value (plugin.get (), kPresetsId, &v));
}

// Flushed while inactive, a value is in the saved state at once and applies on activation.
TEST_F (ClapHostileTest, FlushWhileInactiveReachesStateAndActivation)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	const std::vector<uint8_t> before = plugin.save ();
	ClapInputEvents events;
	events.addValue (kSizeId, 2.5);
	params ()->flush (plugin.get (), events.list (), nullptr);
	const std::vector<uint8_t> after = plugin.save ();
	ASSERT_EQ (after.size (), 40u);
	EXPECT_NE (after, before);
	ASSERT_TRUE (plugin.activate (48000.0, 128));
	Buffers buffers (128);
	plugin.process (buffers.in, buffers.out, 128, ClapInputEvents ());
	EXPECT_EQ (plugin.save (), after);
}

// Refused calls touch neither the output nor the values.
TEST_F (ClapHostileTest, ProcessWithoutActivationOrBuffersIsAnErrorThatTouchesNothing)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	ClapInputEvents events;
	events.addValue (kSizeId, 1.0);
	Buffers buffers (32, 0.5f);
	EXPECT_EQ (plugin.process (buffers.in, buffers.out, 32, events), CLAP_PROCESS_ERROR);
	EXPECT_FALSE (plugin.get ()->activate (plugin.get (), kNaN, 1, 64));
	EXPECT_FALSE (plugin.get ()->activate (plugin.get (), -48000.0, 1, 64));
	ASSERT_TRUE (plugin.activate (48000.0, 32));
	clap_audio_buffer_t only64 {nullptr, reinterpret_cast<double**> (buffers.in), 2, 0, 0};
	clap_audio_buffer_t out32 {buffers.out, nullptr, 2, 0, 0};
	clap_audio_buffer_t mono {buffers.in, nullptr, 1, 0, 0};
	const clap_process_t refused[] = {
	    {-1, 32, nullptr, nullptr, nullptr, 0, 0, events.list (), nullptr},
	    {-1, 32, nullptr, &only64, &out32, 1, 1, events.list (), nullptr},
	    {-1, 32, nullptr, &mono, &out32, 1, 1, events.list (), nullptr},
	    {-1, 32, nullptr, &out32, &out32, 0, 1, events.list (), nullptr},
	};
	for (const clap_process_t& call : refused)
		EXPECT_EQ (plugin.get ()->process (plugin.get (), &call), CLAP_PROCESS_ERROR);
	EXPECT_EQ (plugin.get ()->process (plugin.get (), nullptr), CLAP_PROCESS_ERROR);
	for (float sample : buffers.data[2])
		ASSERT_EQ (sample, 0.5f);
	EXPECT_EQ (value (kSizeId), 7.0);
}

// A call longer than the announced maximum is cut into blocks, as a host's shorter calls
// would be, with the events at the start: the same bits as the same frames in short calls.
TEST_F (ClapHostileTest, OversizedCallsAreCutWithoutHeapCalls)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	ClapHostedPlugin reference (module, kClapPluginId);
	constexpr uint32_t kFrames = 3000, kMax = 256;
	ASSERT_TRUE (plugin.activate (48000.0, kMax));
	ASSERT_TRUE (reference.activate (48000.0, kMax));
	Buffers whole (kFrames), pieces (kFrames);
	for (uint32_t i = 0; i < kFrames; ++i)
		whole.data[0][i] = pieces.data[0][i] = std::sin (0.01f * i), whole.data[1][i] = pieces.data[1][i] = 0.0f;
	ClapInputEvents events;
	events.addValue (kSizeId, 3.0, 2000); // applied at the start, as the last value of the call
	events.addValue (kMixId, 50.0, 0);
	kt3test::startCountingAllocations ();
	EXPECT_EQ (plugin.process (whole.in, whole.out, kFrames, events), CLAP_PROCESS_CONTINUE);
	EXPECT_EQ (kt3test::stopCountingAllocations (), 0);
	for (uint32_t done = 0; done < kFrames; done += kMax)
	{
		float* in[] = {pieces.in[0] + done, pieces.in[1] + done};
		float* out[] = {pieces.out[0] + done, pieces.out[1] + done};
		const ClapInputEvents none;
		reference.process (in, out, std::min (kMax, kFrames - done), done == 0 ? events : none);
	}
	EXPECT_EQ (whole.data[2], pieces.data[2]);
	EXPECT_EQ (whole.data[3], pieces.data[3]);
}

// reset on the audio thread clears the rings without a heap call: silence in, silence out.
TEST_F (ClapHostileTest, ResetSilencesTheTailWithoutHeapCalls)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	ASSERT_TRUE (plugin.activate (48000.0, 256));
	Buffers loud (256, 0.5f);
	plugin.process (loud.in, loud.out, 256, ClapInputEvents ());
	kt3test::startCountingAllocations ();
	plugin.get ()->reset (plugin.get ());
	EXPECT_EQ (kt3test::stopCountingAllocations (), 0);
	Buffers quiet (256, 0.0f);
	plugin.process (quiet.in, quiet.out, 256, ClapInputEvents ());
	EXPECT_EQ (quiet.data[2], std::vector<float> (256, 0.0f));
	EXPECT_EQ (quiet.data[3], std::vector<float> (256, 0.0f));
}

// Cut short, refused by the processor or offered by a stream that fails: false, and the state
// and values as they were.
TEST_F (ClapHostileTest, TruncatedOrRefusedStatesChangeNothing)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	ClapInputEvents events;
	events.addValue (kOutputId, 6.0);
	params ()->flush (plugin.get (), events.list (), nullptr);
	const std::vector<uint8_t> good = plugin.save ();
	ASSERT_EQ (good.size (), 40u);
	std::vector<uint8_t> notANumber = good;
	const double nan = kNaN;
	std::memcpy (notANumber.data () + 4, &nan, sizeof nan);
	const std::vector<std::vector<uint8_t>> refused = {
	    {}, std::vector<uint8_t> (good.begin (), good.begin () + 39), std::vector<uint8_t> (good.begin (), good.begin () + 4),
	    notANumber,
	};
	for (const auto& bytes : refused)
		for (size_t chunk : {size_t (1), size_t (40)})
		{
			EXPECT_FALSE (plugin.load (bytes, chunk)) << bytes.size ();
			EXPECT_EQ (plugin.save (), good);
			EXPECT_EQ (value (kOutputId), 6.0);
		}
	// A stream that takes nothing: save fails instead of claiming a state.
	const clap_ostream_t full {nullptr, [] (const clap_ostream_t*, const void*, uint64_t) -> int64_t { return 0; }};
	const auto* state = plugin.extension<clap_plugin_state_t> (CLAP_EXT_STATE);
	EXPECT_FALSE (state->save (plugin.get (), &full));
	const clap_istream_t failing {nullptr, [] (const clap_istream_t*, void*, uint64_t) -> int64_t { return -1; }};
	EXPECT_FALSE (state->load (plugin.get (), &failing));
	EXPECT_FALSE (state->load (plugin.get (), nullptr));
	EXPECT_EQ (plugin.save (), good);
}

} // namespace
