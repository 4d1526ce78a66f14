#include "presetchoice.h"
#include "processblock.h"
#include "programlist.h"
#include "statebytes.h"
#include "text16.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string lowerCase (std::string text)
{
	std::transform (text.begin (), text.end (), text.begin (), [] (unsigned char c) { return char (std::tolower (c)); });
	return text;
}

bool readClassRecord (const kt3host::PluginModule& module, PClassInfo2& record, std::string& vendor, std::string& error)
{
	IPtr<IPluginFactory> factory = owned (module.factory ());
	if (!factory || !kt3host::readEffectClassRecord (factory, record, vendor))
	{
		error = "the plug-in's factory describes no audio effect";
		return false;
	}
	return true;
}

bool chooseProgram (IEditController* controller, const std::string& text, ParameterSetting& setting, std::string& error)
{
	kt3host::ProgramList list;
	if (!kt3host::readProgramList (controller, list))
	{
		error = "the plug-in has no presets";
		return false;
	}
	std::string names;
	for (size_t program = 0; program < list.names.size (); ++program)
	{
		if (lowerCase (list.names[program]) == lowerCase (text))
		{
			setting.id = list.programChange.id;
			setting.normalized = controller->plainParamToNormalized (setting.id, double (program));
			return true;
		}
		names += (program ? ", " : "") + list.names[program];
	}
	error = "no preset '" + text + "'; the presets are " + names + " (or give a .vstpreset file)";
	return false;
}

} // namespace

bool isPresetFileName (const std::string& text)
{
	const std::string suffix = ".vstpreset";
	return text.size () > suffix.size () && lowerCase (text.substr (text.size () - suffix.size ())) == suffix;
}

bool choosePreset (const kt3host::PluginModule& module, IEditController* controller, const std::string& text,
                   StartingPreset& preset, bool& usage, std::string& error)
{
	usage = !isPresetFileName (text);
	if (usage)
		return chooseProgram (controller, text, preset.programChange, error);
	PClassInfo2 record;
	std::string vendor;
	if (!readClassRecord (module, record, vendor, error))
		return false;
	preset.fromFile = true;
	return kt3host::readVstPresetFile (text, kt3host::classIdText (record.cid), preset.file, error);
}

bool applyPreset (kt3host::PluginInstance& plugin, const StartingPreset& preset, std::string& error)
{
	if (!preset.fromFile)
	{
		plugin.controller ()->setParamNormalized (preset.programChange.id, preset.programChange.normalized);
		return true;
	}
	if (kt3host::setState (plugin.component (), preset.file.componentState) != kResultOk)
	{
		error = "the plug-in refuses the preset's processor state";
		return false;
	}
	kt3host::setComponentState (plugin.controller (), preset.file.componentState);
	if (!preset.file.controllerState.empty () &&
	    kt3host::setControllerState (plugin.controller (), preset.file.controllerState) != kResultOk)
	{
		error = "the plug-in refuses the preset's controller state";
		return false;
	}
	return true;
}

bool presetTable (IEditController* controller, std::string& table, std::string& error)
{
	kt3host::ProgramList list;
	if (!kt3host::readProgramList (controller, list))
	{
		error = "the plug-in has no presets";
		return false;
	}
	const ParamID programId = list.programChange.id;
	for (size_t program = 0; program < list.names.size (); ++program)
	{
		controller->setParamNormalized (programId, controller->plainParamToNormalized (programId, double (program)));
		std::string values;
		ParameterInfo info;
		for (int32 i = 0; i < controller->getParameterCount (); ++i)
			if (controller->getParameterInfo (i, info) == kResultOk && info.id != programId && info.stepCount != 1)
				values += (values.empty () ? "" : ", ") + kt3host::toAscii (info.title) + " " +
				          displayWithUnits (controller, info.id, controller->getParamNormalized (info.id));
		table += "  " + list.names[program] + ": " + values + "\n";
	}
	return true;
}

bool preparePreset (const kt3host::PluginModule& module, const StartingPreset* preset,
                    const std::vector<ParameterSetting>& changes, const std::string& path, ReplacementFile& out,
                    std::string& error)
{
	PClassInfo2 record;
	std::string vendor;
	if (!readClassRecord (module, record, vendor, error))
		return false;
	kt3host::PluginInstance plugin (module);
	if (!plugin.ready () || !plugin.controller ())
	{
		error = "the plug-in cannot be used: " + plugin.error ();
		return false;
	}
	if (preset && !applyPreset (plugin, *preset, error))
		return false;
	constexpr int32 kBlock = 64;
	if (!plugin.activate (48000.0, kBlock))
	{
		error = "the plug-in cannot be set up to save a preset";
		return false;
	}
	// The values reach the processor as a host's first block brings them.
	kt3host::ProcessBlock block (kBlock);
	block.begin (0);
	for (const auto& change : changes)
	{
		block.changes ().add (change.id, change.normalized);
		plugin.controller ()->setParamNormalized (change.id, change.normalized);
	}
	block.process (plugin.audioProcessor ());

	const std::string name = std::filesystem::path (path).stem ().string ();
	const kt3host::Bytes file = kt3host::writeVstPreset (
	    kt3host::classIdText (record.cid), kt3host::getState (plugin.component ()),
	    kt3host::getControllerState (plugin.controller ()), {name, record.name, record.subCategories, vendor});
	return out.create (path, error) && out.write (file.data (), file.size (), error) && out.close (error);
}
