// KT3.lv2's state interface: the processor's 40 bytes saved and restored as one atom:Chunk,
// malformed values refused without a change, ports holding their old values after a restore, a
// state without KT3's key resetting to the defaults, and the factory presets, applied through
// lilv_state, setting what the VST 3 program change sets.
#include "factorypresets.h"
#include "kt3ids.h"
#include "lv2host.h"
#include "lv2ports.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "reverbparameters.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <cmath>
#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

struct Stored
{
	uint32_t key = 0, type = 0, flags = 0;
	kt3host::Bytes bytes;
	int calls = 0;
};

LV2_State_Status storeValue (LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                             uint32_t flags)
{
	auto* s = static_cast<Stored*> (handle);
	s->key = key, s->type = type, s->flags = flags, ++s->calls;
	s->bytes.assign (static_cast<const uint8*> (value), static_cast<const uint8*> (value) + size);
	return LV2_STATE_SUCCESS;
}

const void* retrieveValue (LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
	auto* s = static_cast<Stored*> (handle);
	if (key != s->key)
		return nullptr;
	*size = s->bytes.size ();
	*type = s->type;
	*flags = s->flags;
	return s->bytes.data ();
}

class Lv2State : public testing::Test
{
protected:
	void SetUp () override
	{
		ASSERT_NE (plugin, nullptr);
		ASSERT_TRUE (lv2.ready ());
		iface = static_cast<const LV2_State_Interface*> (lilv_instance_get_extension_data (lv2.get (), LV2_STATE__interface));
		ASSERT_NE (iface, nullptr);
		lilv_instance_activate (lv2.get ());
		lv2.run (64);
	}
	void TearDown () override { lilv_instance_deactivate (lv2.get ()); }

	Stored save ()
	{
		Stored s;
		EXPECT_EQ (iface->save (lv2.get ()->lv2_handle, storeValue, &s, LV2_STATE_IS_POD, nullptr), LV2_STATE_SUCCESS);
		return s;
	}
	LV2_State_Status restore (Stored s)
	{
		return iface->restore (lv2.get ()->lv2_handle, retrieveValue, &s, 0, nullptr);
	}
	static double valueAt (const Stored& s, int index)
	{
		double v;
		std::memcpy (&v, s.bytes.data () + 4 + 8 * index, sizeof v);
		return v;
	}

	kt3host::Lv2World world {KT3_LV2_BUNDLE_PATH};
	const LilvPlugin* plugin = world.plugin (kLv2PluginUri);
	kt3host::Lv2Instance lv2 {plugin, 48000.0};
	const LV2_State_Interface* iface = nullptr;
};

} // namespace

TEST_F (Lv2State, SavesTheProcessorStateAsOneChunk)
{
	lv2.control (kLv2FirstParameter) = 2.5f;
	lv2.control (kLv2Enabled) = 0.0f;
	lv2.run (32);
	const Stored s = save ();
	EXPECT_EQ (s.calls, 1);
	EXPECT_EQ (s.key, lv2.urids ().map (kLv2StateKeyUri));
	EXPECT_EQ (s.type, lv2.urids ().map (LV2_ATOM__Chunk));
	ASSERT_EQ (s.bytes.size (), 40u);
	EXPECT_EQ (valueAt (s, 0), 0.25);
	EXPECT_EQ (valueAt (s, 2), 0.9);
	EXPECT_EQ (s.bytes[36], 1); // bypassed
}

// Restored values stay while the ports hold what they held before; a port moved afterwards wins.
TEST_F (Lv2State, RestoreRoundTripsAndOutlastsStalePorts)
{
	lv2.control (kLv2FirstParameter + 1) = 20.0f;
	lv2.run (16);
	const Stored saved = save ();
	lv2.control (kLv2FirstParameter + 1) = 80.0f;
	lv2.control (kLv2FirstParameter + 2) = 10.0f;
	lv2.run (16);
	ASSERT_EQ (restore (saved), LV2_STATE_SUCCESS);
	lv2.run (16);
	EXPECT_EQ (save ().bytes, saved.bytes);
	lv2.control (kLv2FirstParameter + 2) = 30.0f;
	lv2.run (16);
	const Stored moved = save ();
	EXPECT_EQ (valueAt (moved, 1), valueAt (saved, 1));
	EXPECT_EQ (valueAt (moved, 2), 0.3);
}

TEST_F (Lv2State, MalformedValuesAreRefusedAndChangeNothing)
{
	const Stored before = save ();
	Stored wrongType = before;
	wrongType.type = lv2.urids ().map (LV2_ATOM__String);
	Stored shortValue = before;
	shortValue.bytes.pop_back ();
	Stored longValue = before;
	longValue.bytes.push_back (0);
	Stored notANumber = before;
	const double nan = std::nan ("");
	std::memcpy (notANumber.bytes.data () + 12, &nan, sizeof nan);
	Stored infinite = before;
	const double inf = INFINITY;
	std::memcpy (infinite.bytes.data () + 4, &inf, sizeof inf);
	for (const Stored* bad : {&wrongType, &shortValue, &longValue, &notANumber, &infinite})
	{
		EXPECT_EQ (restore (*bad), LV2_STATE_ERR_BAD_TYPE);
		lv2.run (8);
		EXPECT_EQ (save ().bytes, before.bytes);
	}
}

// A host resets a plug-in with a state that holds no key of KT3's: the defaults apply, bypass
// off, and each connected port's value applies again at the next run (the host's port values
// and the sound stay in agreement).
TEST_F (Lv2State, RestoreWithoutItsKeyResetsToTheDefaults)
{
	Stored changed = save ();
	const double size = 0.3;
	std::memcpy (changed.bytes.data () + 4, &size, sizeof size);
	changed.bytes[36] = 1;
	ASSERT_EQ (restore (changed), LV2_STATE_SUCCESS);
	lv2.run (8);
	ASSERT_EQ (save ().bytes, changed.bytes);

	Stored other = changed;
	other.key = lv2.urids ().map ("urn:example:other");
	for (bool portMoved : {false, true})
	{
		SCOPED_TRACE (portMoved ? "Mix port at 30 %" : "ports at their defaults");
		ASSERT_EQ (restore (changed), LV2_STATE_SUCCESS);
		lv2.run (8);
		if (portMoved)
			lv2.control (kLv2FirstParameter + 2) = 30.0f;
		lv2.run (8);
		EXPECT_EQ (restore (other), LV2_STATE_SUCCESS);
		EXPECT_EQ (restore (Stored {}), LV2_STATE_SUCCESS); // an empty map
		const Stored reset = save ();
		for (int i = 0; i < 4; ++i)
			EXPECT_EQ (valueAt (reset, i), kReverbParameters[i].defaultNormalized) << i;
		EXPECT_EQ (reset.bytes[36], 0);
		lv2.run (8);
		EXPECT_EQ (valueAt (save (), 2), portMoved ? 0.3 : 0.9);
	}
}

TEST (Lv2StateFeatures, WithoutUridMapStateIsRefused)
{
	kt3host::Lv2World world (KT3_LV2_BUNDLE_PATH);
	kt3host::Lv2Instance lv2 (world.plugin (kLv2PluginUri), 48000.0, 0, false);
	ASSERT_TRUE (lv2.ready ());
	const auto* iface =
	    static_cast<const LV2_State_Interface*> (lilv_instance_get_extension_data (lv2.get (), LV2_STATE__interface));
	Stored s;
	EXPECT_EQ (iface->save (lv2.get ()->lv2_handle, storeValue, &s, 0, nullptr), LV2_STATE_ERR_NO_FEATURE);
	EXPECT_EQ (iface->restore (lv2.get ()->lv2_handle, retrieveValue, &s, 0, nullptr), LV2_STATE_ERR_NO_FEATURE);
	EXPECT_EQ (s.calls, 0);
}

namespace {

void setPortValue (const char* symbol, void* user, const void* value, uint32_t size, uint32_t)
{
	auto* lv2 = static_cast<kt3host::Lv2Instance*> (user);
	for (uint32_t p = 0; p < kLv2PortCount; ++p)
		if (std::string (symbol) == kLv2PortSymbols[p] && size == sizeof (float))
			std::memcpy (&lv2->control (p), value, sizeof (float));
}

} // namespace

TEST_F (Lv2State, PresetsSetWhatTheVst3ProgramChangeSets)
{
	kt3host::PluginModule module (KT3_BUNDLE_PATH);
	ASSERT_TRUE (module.loaded ()) << module.error ();
	kt3host::PluginInstance vst3 (module);
	ASSERT_TRUE (vst3.ready () && vst3.activate (48000.0, 64));
	kt3host::ProcessBlock block (64);
	for (int i = kFactoryPresetCount - 1; i >= 0; --i)
	{
		SCOPED_TRACE (factoryPreset (i).name);
		const std::string uri = kLv2PresetUriPrefix + std::to_string (i);
		LilvNode* node = lilv_new_uri (world.world (), uri.c_str ());
		lilv_world_load_resource (world.world (), node);
		LilvState* state = lilv_state_new_from_world (world.world (), lv2.urids ().feature (), node);
		lilv_node_free (node);
		ASSERT_NE (state, nullptr);
		lilv_state_restore (state, lv2.get (), setPortValue, &lv2, 0, nullptr);
		lilv_state_free (state);
		lv2.run (16);

		block.begin (16);
		block.changes ().add (kPresetsId, i / double (kFactoryPresetCount - 1));
		block.process (vst3.audioProcessor ());
		EXPECT_EQ (save ().bytes, kt3host::getState (vst3.component ()));
	}
}
