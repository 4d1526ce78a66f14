// The built KT3.lv2 as lilv reads it: the plug-in's class, name, maintainer, version, features,
// ports with their symbols, units, ranges and defaults, the editor and its option, and the
// factory presets.
#include "factorypresets.h"
#include "lv2host.h"
#include "lv2ports.h"
#include "reverbcontroller.h"
#include "reverbparameters.h"

#include <gtest/gtest.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/presets/presets.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>
#include <string>
#include <utility>

using namespace Steinberg::Vst::Orvix;

namespace {

struct Nodes
{
	explicit Nodes (LilvWorld* w) : world (w) {}
	~Nodes ()
	{
		for (LilvNode* n : owned)
			lilv_node_free (n);
	}
	const LilvNode* uri (const char* text)
	{
		owned.push_back (lilv_new_uri (world, text));
		return owned.back ();
	}
	LilvWorld* world;
	std::vector<LilvNode*> owned;
};

} // namespace

TEST (Lv2Bundle, DescribesThePluginAndItsPorts)
{
	kt3host::Lv2World world (KT3_LV2_BUNDLE_PATH);
	const LilvPlugin* plugin = world.plugin (kLv2PluginUri);
	ASSERT_NE (plugin, nullptr);
	ASSERT_TRUE (lilv_plugin_verify (plugin));
	Nodes nodes (world.world ());

	LilvNode* name = lilv_plugin_get_name (plugin);
	EXPECT_STREQ (lilv_node_as_string (name), "KT3");
	lilv_node_free (name);
	// The maintainer is the vendor the VST 3 factory names.
	for (const auto& [node, expected] : {std::pair {lilv_plugin_get_author_name (plugin), "Orvix"},
	                                     {lilv_plugin_get_author_email (plugin), "mailto:support@orvix-audio.example"},
	                                     {lilv_plugin_get_author_homepage (plugin), "https://www.orvix-audio.example"}})
	{
		EXPECT_STREQ (node ? lilv_node_as_string (node) : "", expected);
		lilv_node_free (node);
	}
	EXPECT_STREQ (lilv_node_as_uri (lilv_plugin_class_get_uri (lilv_plugin_get_class (plugin))),
	              LV2_CORE__ReverbPlugin);
	EXPECT_EQ (lilv_plugin_get_num_ports (plugin), uint32_t (kLv2PortCount));
	EXPECT_FALSE (lilv_plugin_has_latency (plugin));
	EXPECT_TRUE (lilv_plugin_has_feature (plugin, nodes.uri (LV2_CORE__hardRTCapable)));
	LilvNodes* required = lilv_plugin_get_required_features (plugin);
	EXPECT_EQ (lilv_nodes_size (required), 0u) << "a host without a feature still gets the plug-in";
	lilv_nodes_free (required);

	for (uint32_t i = 0; i < 4; ++i)
	{
		const LilvPort* port = lilv_plugin_get_port_by_index (plugin, i);
		EXPECT_STREQ (lilv_node_as_string (lilv_port_get_symbol (plugin, port)), kLv2PortSymbols[i]);
		EXPECT_TRUE (lilv_port_is_a (plugin, port, nodes.uri (LV2_CORE__AudioPort)));
		EXPECT_TRUE (lilv_port_is_a (plugin, port, nodes.uri (i < 2 ? LV2_CORE__InputPort : LV2_CORE__OutputPort)));
	}
	// Hosts store the symbols in their sessions: they never change.
	const char* symbols[] = {"size", "hf_damp", "mix", "output"};
	const char* units[] = {LV2_UNITS__m, LV2_UNITS__pc, LV2_UNITS__pc, LV2_UNITS__db};
	const float defaults[] = {7.0f, 70.0f, 90.0f, 0.0f};
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
	{
		const LilvPort* port = lilv_plugin_get_port_by_index (plugin, kLv2FirstParameter + i);
		EXPECT_STREQ (lilv_node_as_string (lilv_port_get_symbol (plugin, port)), symbols[i]);
		EXPECT_TRUE (lilv_port_is_a (plugin, port, nodes.uri (LV2_CORE__ControlPort)));
		LilvNode *def, *min, *max;
		lilv_port_get_range (plugin, port, &def, &min, &max);
		EXPECT_EQ (lilv_node_as_float (def), defaults[i]);
		EXPECT_EQ (lilv_node_as_float (min), static_cast<float> (kReverbParameters[i].minPlain));
		EXPECT_EQ (lilv_node_as_float (max), static_cast<float> (kReverbParameters[i].maxPlain));
		lilv_node_free (def), lilv_node_free (min), lilv_node_free (max);
		LilvNodes* unit = lilv_port_get_value (plugin, port, nodes.uri (LV2_UNITS__unit));
		ASSERT_EQ (lilv_nodes_size (unit), 1u);
		EXPECT_STREQ (lilv_node_as_uri (lilv_nodes_get_first (unit)), units[i]);
		lilv_nodes_free (unit);
	}
	const LilvPort* enabled =
	    lilv_plugin_get_port_by_designation (plugin, nodes.uri (LV2_CORE__InputPort), nodes.uri (LV2_CORE__enabled));
	ASSERT_NE (enabled, nullptr);
	EXPECT_EQ (lilv_port_get_index (plugin, enabled), uint32_t (kLv2Enabled));
	EXPECT_STREQ (lilv_node_as_string (lilv_port_get_symbol (plugin, enabled)), "enabled");
	EXPECT_TRUE (lilv_port_has_property (plugin, enabled, nodes.uri (LV2_CORE__toggled)));
	LilvNode *def, *min, *max;
	lilv_port_get_range (plugin, enabled, &def, &min, &max);
	EXPECT_EQ (lilv_node_as_float (def), 1.0f);
	lilv_node_free (def), lilv_node_free (min), lilv_node_free (max);

	LilvUIs* uis = lilv_plugin_get_uis (plugin);
	ASSERT_EQ (lilv_uis_size (uis), 1u);
	// The editor takes ui:scaleFactor.
	EXPECT_TRUE (lilv_world_ask (world.world (), lilv_ui_get_uri (lilv_uis_get (uis, lilv_uis_begin (uis))),
	                             nodes.uri (LV2_OPTIONS__supportedOption), nodes.uri (LV2_UI__scaleFactor)));
	lilv_uis_free (uis);
}

TEST (Lv2Bundle, ListsTheFactoryPresetsInTableOrder)
{
	kt3host::Lv2World world (KT3_LV2_BUNDLE_PATH);
	const LilvPlugin* plugin = world.plugin (kLv2PluginUri);
	ASSERT_NE (plugin, nullptr);
	Nodes nodes (world.world ());
	LilvNodes* presets = lilv_plugin_get_related (plugin, nodes.uri (LV2_PRESETS__Preset));
	EXPECT_EQ (lilv_nodes_size (presets), size_t (kFactoryPresetCount));
	for (int i = 0; i < kFactoryPresetCount; ++i)
	{
		const std::string uri = kLv2PresetUriPrefix + std::to_string (i);
		const LilvNode* preset = nodes.uri (uri.c_str ());
		EXPECT_TRUE (lilv_nodes_contains (presets, preset)) << uri;
		lilv_world_load_resource (world.world (), preset);
		LilvNode* label = lilv_world_get (world.world (), preset, nodes.uri (LILV_NS_RDFS "label"), nullptr);
		ASSERT_NE (label, nullptr) << uri;
		EXPECT_STREQ (lilv_node_as_string (label), factoryPreset (i).name);
		lilv_node_free (label);
	}
	lilv_nodes_free (presets);
}

// The ports' plain values become the normalised values the controller's parameters give them.
TEST (Lv2Bundle, PortMappingIsTheControllersToTheBit)
{
	Steinberg::IPtr<ReverbController> controller = Steinberg::owned (new ReverbController);
	ASSERT_EQ (controller->initialize (nullptr), Steinberg::kResultOk);
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
	{
		const ReverbParameter& p = kReverbParameters[i];
		for (int step = 0; step <= 4000; ++step)
		{
			const float plain = static_cast<float> (p.minPlain + (p.maxPlain - p.minPlain) * step / 4000.0);
			const double normalized = p.normalized (plain);
			EXPECT_EQ (normalized, controller->plainParamToNormalized (p.id, plain)) << p.title << " " << plain;
			EXPECT_EQ (p.plain (normalized), controller->normalizedParamToPlain (p.id, normalized)) << p.title;
		}
	}
	controller->terminate ();
}
