// The factory presets as a host sees them in the built module: the root unit's program list
// read through IUnitInfo as a host's wrapper reads it, a program change through the controller
// and the processor, and the .vstpreset files written at build time.
#include "factorypresets.h"
#include "kt3ids.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "statebytes.h"
#include "text16.h"
#include "vstpresetfile.h"

#include "pluginterfaces/vst/ivstunits.h"
#include <gtest/gtest.h>
#include <cstring>
#include <dirent.h>
#include <set>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

constexpr int32 kBlock = 256;

struct LoadedEffect
{
	LoadedEffect ()
	{
		EXPECT_TRUE (plugin.ready ()) << plugin.error ();
		EXPECT_TRUE (plugin.activate (48000.0, kBlock));
	}
	IEditController* controller () { return plugin.controller (); }

	// Renders a few blocks of a fixed signal; the first carries `changes`.
	std::vector<float> render (const std::vector<std::pair<ParamID, double>>& changes)
	{
		std::vector<float> out;
		for (int b = 0; b < 4; ++b)
		{
			block.begin (kBlock);
			if (b == 0)
				for (const auto& [id, value] : changes)
					block.changes ().add (id, value);
			for (int32 i = 0; i < kBlock; ++i)
				block.in (0)[i] = block.in (1)[i] = (i + b) % 97 == 0 ? 0.9f : 0.0f;
			block.process (plugin.audioProcessor ());
			out.insert (out.end (), block.out (0), block.out (0) + kBlock);
			out.insert (out.end (), block.out (1), block.out (1) + kBlock);
		}
		return out;
	}

	kt3host::PluginModule module {KT3_BUNDLE_PATH};
	kt3host::PluginInstance plugin {module};
	kt3host::ProcessBlock block {kBlock};
};

std::string processorClassId ()
{
	TUID cid;
	kKT3ProcessorUID.toTUID (cid);
	return kt3host::classIdText (cid);
}

} // namespace

TEST (PresetsInAHost, TheRootUnitsProgramListNamesEveryPreset)
{
	LoadedEffect e;
	FUnknownPtr<IUnitInfo> units (e.controller ());
	ASSERT_TRUE (units);
	ASSERT_EQ (units->getUnitCount (), 1);
	UnitInfo unit {};
	ASSERT_EQ (units->getUnitInfo (0, unit), kResultTrue);
	ASSERT_EQ (units->getProgramListCount (), 1);
	ProgramListInfo list {};
	ASSERT_EQ (units->getProgramListInfo (0, list), kResultOk);
	EXPECT_EQ (list.id, unit.programListId);
	EXPECT_EQ (kt3host::toAscii (list.name), "Presets");
	ASSERT_EQ (list.programCount, kFactoryPresetCount);
	for (int32 i = 0; i < list.programCount; ++i)
	{
		String128 name {};
		ASSERT_EQ (units->getProgramName (list.id, i, name), kResultOk);
		EXPECT_EQ (kt3host::toAscii (name), factoryPreset (i).name);
	}

	// The parameter a host switches the list's programs with: in the list's unit, not automated.
	ParameterInfo info {};
	int32 found = 0;
	for (int32 i = 0; i < e.controller ()->getParameterCount (); ++i)
		if (e.controller ()->getParameterInfo (i, info) == kResultOk &&
		    (info.flags & ParameterInfo::kIsProgramChange) && ++found)
		{
			EXPECT_EQ (i, 5);
			EXPECT_EQ (info.id, ParamID (list.id));
			EXPECT_EQ (info.unitId, unit.id);
			EXPECT_EQ (info.stepCount, list.programCount - 1);
			EXPECT_EQ (info.flags & ParameterInfo::kCanAutomate, 0);
		}
	EXPECT_EQ (found, 1);
}

// Whether the host forwards only the program change to the processor or the four values the
// controller set: the same state and the same audio.
TEST (PresetsInAHost, AProgramChangeSetsTheControllerAndTheAudio)
{
	for (int32 i = 0; i < kFactoryPresetCount; ++i)
	{
		SCOPED_TRACE (factoryPreset (i).name);
		LoadedEffect onlyProgram, fourValues;
		const ParamValue value = onlyProgram.controller ()->plainParamToNormalized (kPresetsId, i);
		ASSERT_EQ (onlyProgram.controller ()->setParamNormalized (kPresetsId, value), kResultOk);
		// Never from inside the host's call: this host offers no run loop for the restart later.
		EXPECT_TRUE (onlyProgram.plugin.edits ().restarts.empty ());
		std::vector<std::pair<ParamID, double>> values;
		for (ParamID id = 0; id < kReverbParamCount; ++id)
		{
			values.emplace_back (id, onlyProgram.controller ()->getParamNormalized (id));
			EXPECT_EQ (values.back ().second, presetNormalized (factoryPreset (i), id));
		}

		EXPECT_EQ (onlyProgram.render ({{kPresetsId, value}}), fourValues.render (values));
		const kt3host::Bytes state = kt3host::getState (onlyProgram.plugin.component ());
		EXPECT_EQ (state.size (), 40u);
		EXPECT_EQ (state, kt3host::getState (fourValues.plugin.component ()));
	}
}

TEST (PresetsInAHost, TheBuiltPresetFilesHoldEachPresetsState)
{
	std::set<std::string> files;
	if (DIR* dir = opendir (KT3_PRESETS_PATH))
	{
		while (dirent* entry = readdir (dir))
			if (entry->d_name[0] != '.')
				files.insert (entry->d_name);
		closedir (dir);
	}
	EXPECT_EQ (files.size (), size_t (kFactoryPresetCount));

	for (int32 i = 0; i < kFactoryPresetCount; ++i)
	{
		const std::string name = factoryPreset (i).name;
		EXPECT_EQ (files.count (name + ".vstpreset"), 1u) << name;
		kt3host::VstPreset preset;
		std::string error;
		ASSERT_TRUE (kt3host::readVstPresetFile (std::string (KT3_PRESETS_PATH) + "/" + name + ".vstpreset",
		                                         processorClassId (), preset, error))
		    << error;
		EXPECT_EQ (preset.name, name);
		EXPECT_TRUE (preset.controllerState.empty ());

		// Loaded as a host loads a preset file: the processor's and the controller's state.
		LoadedEffect e;
		ASSERT_EQ (kt3host::setState (e.plugin.component (), preset.componentState), kResultOk);
		ASSERT_EQ (kt3host::setComponentState (e.controller (), preset.componentState), kResultOk);
		for (ParamID id = 0; id < kReverbParamCount; ++id)
			EXPECT_EQ (e.controller ()->getParamNormalized (id), presetNormalized (factoryPreset (i), id));
		EXPECT_EQ (e.controller ()->getParamNormalized (kBypassId), 0.0);
		EXPECT_EQ (kt3host::getState (e.plugin.component ()), preset.componentState);
	}
}
