// kt3-render's presets, read through the plug-in as a host reads them: a factory preset chosen
// by name from the controller's program list, or a .vstpreset file, gives the starting values;
// --list-presets prints the program list with each program's values; --save-preset writes the
// values a render starts with as a .vstpreset file.
#pragma once

#include "parametersettings.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "replacementfile.h"
#include "vstpresetfile.h"

#include <string>
#include <vector>

// True for a name that --preset reads as a file: one ending in ".vstpreset" (any case).
bool isPresetFileName (const std::string& text);

struct StartingPreset
{
	bool fromFile = false;
	kt3host::VstPreset file;        // the file's states, when fromFile
	ParameterSetting programChange; // the program chosen by name, otherwise
};

// Resolves --preset's text: a file is read and checked against the plug-in's processor class; a
// name is looked up in the program list, ignoring case. False with a one-line `error`, and
// `usage` set when the text names no program (rather than naming a file that cannot be used).
bool choosePreset (const kt3host::PluginModule& module, Steinberg::Vst::IEditController* controller,
                   const std::string& text, StartingPreset& preset, bool& usage, std::string& error);

// Gives the preset to a plug-in that has not processed yet: a file's states to the processor
// and the controller, or the program change to the controller (the processor takes it with the
// first block's changes). False with `error` when the plug-in refuses the file's state.
bool applyPreset (kt3host::PluginInstance& plugin, const StartingPreset& preset, std::string& error);

// "  Small Room: Size 2.00 m, HF Damp 40.00 %, ...": each program of the list with the values it
// sets, one a line. Selects every program in turn on `controller`.
bool presetTable (Steinberg::Vst::IEditController* controller, std::string& table, std::string& error);

// Writes the values that a render with these settings starts with as a .vstpreset file named
// after the file: a fresh instance of the effect takes the preset (if any) and the `changes`,
// processes them, and its states are written to `out`, created for `path` and closed. The
// caller commits it, with the run's other outputs.
bool preparePreset (const kt3host::PluginModule& module, const StartingPreset* preset,
                    const std::vector<ParameterSetting>& changes, const std::string& path, ReplacementFile& out,
                    std::string& error);
