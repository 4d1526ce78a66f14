// KT3.clap as a CLAP host sees it: the module's one export, the descriptor, ports, parameters
// and their texts against the VST 3 controller's, latency and tail as the VST 3 processor
// reports them, the reference scenario to the VST 3 bundle's hash with no heap call in any
// process call, and the state: the same 40 bytes as the VST 3 processor's, round-tripped
// through streams that move one byte a call.
#include "clapreference.h"
#include "kt3ids.h"
#include "kt3version.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "reverbparameters.h"
#include "statebytes.h"

#include "clap/ext/audio-ports.h"
#include "clap/ext/latency.h"
#include "clap/ext/params.h"
#include "clap/ext/tail.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <string>

using namespace Steinberg::Vst::Orvix;
using kt3host::ClapHostedPlugin;
using kt3host::ClapModule;

namespace {

class ClapPluginTest : public ::testing::Test
{
protected:
	ClapModule module {KT3_CLAP_PATH};
	ClapHostedPlugin plugin {module, kClapPluginId};
	const clap_plugin_params_t* params () const { return plugin.extension<clap_plugin_params_t> (CLAP_EXT_PARAMS); }
	double value (clap_id id) const
	{
		double v = -1.0;
		EXPECT_TRUE (params ()->get_value (plugin.get (), id, &v));
		return v;
	}
};

TEST_F (ClapPluginTest, DescriptorNamesKT3OfOrvixAtTheOneVersion)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	const clap_plugin_factory_t* factory = module.factory ();
	ASSERT_EQ (factory->get_plugin_count (factory), 1u);
	const clap_plugin_descriptor_t* d = factory->get_plugin_descriptor (factory, 0);
	EXPECT_STREQ (d->id, kClapPluginId);
	EXPECT_STREQ (d->name, "KT3");
	EXPECT_STREQ (d->vendor, "Orvix");
	EXPECT_STREQ (d->version, KT3_VERSION_NUMBERS);
	std::string features;
	for (const char* const* f = d->features; *f; ++f)
		features += std::string (*f) + ";";
	EXPECT_EQ (features, "audio-effect;reverb;stereo;");
	EXPECT_EQ (factory->get_plugin_descriptor (factory, 1), nullptr);
	EXPECT_EQ (factory->create_plugin (factory, nullptr, kClapPluginId), nullptr);
}

TEST_F (ClapPluginTest, OneStereoPairIn32BitsWithoutLatencyAndTheVst3Tail)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	const auto* ports = plugin.extension<clap_plugin_audio_ports_t> (CLAP_EXT_AUDIO_PORTS);
	ASSERT_NE (ports, nullptr);
	for (bool input : {true, false})
	{
		ASSERT_EQ (ports->count (plugin.get (), input), 1u);
		clap_audio_port_info_t info {};
		ASSERT_TRUE (ports->get (plugin.get (), 0, input, &info));
		EXPECT_EQ (info.flags, uint32_t (CLAP_AUDIO_PORT_IS_MAIN)); // no 64-bit flag
		EXPECT_EQ (info.channel_count, 2u);
		EXPECT_STREQ (info.port_type, CLAP_PORT_STEREO);
		EXPECT_EQ (info.in_place_pair, info.id);
		EXPECT_FALSE (ports->get (plugin.get (), 1, input, &info));
	}
	EXPECT_EQ (plugin.extension<clap_plugin_latency_t> (CLAP_EXT_LATENCY)->get (plugin.get ()), 0u);

	kt3host::PluginModule vst3 (KT3_BUNDLE_PATH);
	kt3host::PluginInstance processor (vst3);
	ASSERT_TRUE (processor.ready ());
	EXPECT_EQ (plugin.extension<clap_plugin_tail_t> (CLAP_EXT_TAIL)->get (plugin.get ()),
	           processor.audioProcessor ()->getTailSamples ());
	EXPECT_EQ (plugin.extension<void> ("clap.no-such-extension"), nullptr);
}

TEST_F (ClapPluginTest, ParametersAreTheControllersInPlainUnits)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	ASSERT_EQ (params ()->count (plugin.get ()), kReverbParamCount + 1);
	clap_param_info_t info {};
	ASSERT_TRUE (params ()->get_info (plugin.get (), 0, &info));
	EXPECT_EQ (info.id, kBypassId);
	EXPECT_STREQ (info.name, "Bypass");
	EXPECT_EQ (info.flags, uint32_t (CLAP_PARAM_IS_BYPASS | CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_AUTOMATABLE));
	EXPECT_EQ (value (kBypassId), 0.0);
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
	{
		const ReverbParameter& p = kReverbParameters[i];
		ASSERT_TRUE (params ()->get_info (plugin.get (), i + 1, &info));
		EXPECT_EQ (info.id, p.id);
		EXPECT_STREQ (info.name, p.title);
		EXPECT_EQ (info.flags, uint32_t (CLAP_PARAM_IS_AUTOMATABLE));
		EXPECT_EQ (info.min_value, p.minPlain);
		EXPECT_EQ (info.max_value, p.maxPlain);
		EXPECT_EQ (info.default_value, p.plain (p.defaultNormalized));
		EXPECT_EQ (value (p.id), info.default_value);
	}
	EXPECT_FALSE (params ()->get_info (plugin.get (), kReverbParamCount + 1, &info));
}

// Texts as the controller's parameter classes print and read them, with the unit as the
// editor's readouts show it; a text that is no number or step name is refused.
TEST_F (ClapPluginTest, TextsBothWays)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	const struct
	{
		clap_id id;
		double value;
		const char* text;
	} shown[] = {
	    {kSizeId, 7.0, "7.00 m"},     {kHFDampId, 12.345, "12.35 %"}, {kMixId, 100.0, "100.00 %"},
	    {kOutputId, -20.0, "-20.00 dB"}, {kOutputId, 99.0, "20.00 dB"}, // limited to the range
	    {kBypassId, 0.0, "off"},      {kBypassId, 1.0, "on"},
	};
	for (const auto& c : shown)
	{
		char text[64] = {};
		ASSERT_TRUE (params ()->value_to_text (plugin.get (), c.id, c.value, text, sizeof text)) << c.text;
		EXPECT_STREQ (text, c.text);
	}
	char small[4] = {};
	ASSERT_TRUE (params ()->value_to_text (plugin.get (), kSizeId, 7.0, small, sizeof small));
	EXPECT_STREQ (small, "7.0");
	const struct
	{
		clap_id id;
		const char* text;
		double value; // NaN: refused
	} read[] = {
	    {kSizeId, "3.5", 3.5},         {kSizeId, "7.00 m", 7.0},   {kSizeId, "42", 10.0},
	    {kOutputId, " -6 dB", -6.0},    {kBypassId, "on", 1.0},     {kBypassId, "off", 0.0},
	    {kMixId, "loud", NAN},          {kMixId, "", NAN},          {kMixId, "\xc3\xa9", NAN},
	    {kPresetsId, "1", NAN},         {12345, "1", NAN},
	};
	for (const auto& c : read)
	{
		double v = -1.0;
		const bool accepted = params ()->text_to_value (plugin.get (), c.id, c.text, &v);
		EXPECT_EQ (accepted, !std::isnan (c.value)) << c.text;
		if (accepted)
		{
			EXPECT_EQ (v, c.value) << c.text;
		}
	}
}

TEST_F (ClapPluginTest, RendersTheReferenceToTheVst3HashWithoutHeapCalls)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	ASSERT_TRUE (plugin.activate (kt3test::kReferenceRate, kt3test::kReferenceMaxBlock));
	kt3test::ClapTarget target (plugin);
	EXPECT_TRUE (kt3test::matchesReference (kt3test::renderReference (target, kt3test::Timing::InsideBlocks),
	                                        kt3test::kReferenceHash));
	EXPECT_EQ (target.allocations, 0);
}

// The state is the VST 3 processor's: bytes saved by one load into the other and save again
// unchanged, through streams of one byte a call; the loaded values show in get_value, and the
// host hears that they changed.
TEST_F (ClapPluginTest, StateIsTheVst3ProcessorsAndRoundTrips)
{
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	kt3host::PluginModule vst3 (KT3_BUNDLE_PATH);
	kt3host::PluginInstance processor (vst3);
	ASSERT_TRUE (processor.ready () && processor.activate (48000.0, 512));
	kt3host::ProcessBlock block (64);
	block.begin (64);
	block.changes ().add (kSizeId, 0.25, 0);
	block.changes ().add (kOutputId, 0.8125, 0);
	block.changes ().add (kBypassId, 1.0, 0);
	block.process (processor.audioProcessor ());
	const kt3host::Bytes vst3State = kt3host::getState (processor.component ());
	ASSERT_EQ (vst3State.size (), 40u);

	for (bool active : {false, true})
	{
		if (active)
		{
			ASSERT_TRUE (plugin.activate (44100.0, 256));
		}
		const int rescans = plugin.rescans;
		ASSERT_TRUE (plugin.load (std::vector<uint8_t> (vst3State.begin (), vst3State.end ()), 1));
		EXPECT_EQ (plugin.rescans, rescans + 1);
		EXPECT_EQ (value (kSizeId), 2.5);
		EXPECT_EQ (value (kOutputId), 12.5);
		EXPECT_EQ (value (kBypassId), 1.0);
		const std::vector<uint8_t> saved = plugin.save (1);
		EXPECT_EQ (saved, std::vector<uint8_t> (vst3State.begin (), vst3State.end ()));
		ClapHostedPlugin other (module, kClapPluginId);
		ASSERT_TRUE (other.load (saved, 7));
		EXPECT_EQ (other.save (), saved);
	}
}

} // namespace
