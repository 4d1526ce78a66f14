// The --set texts resolved against the plug-in's controller: each names a parameter by title
// and gives a plain decimal value in its display units (optionally with the unit), checked
// against its range; a two-state parameter (Bypass) takes on or off, a list of named steps
// (Preset) a step's name.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <string>
#include <utility>
#include <vector>

struct ParameterSetting
{
	Steinberg::Vst::ParamID id = 0;
	double normalized = 0.0;
};

// False with a one-line `error` for an unknown title or a bad value. A value outside the
// range is an error, or with `clamp` limited to the range with a line in `warnings`.
bool resolveSettings (Steinberg::Vst::IEditController* controller,
                      const std::vector<std::pair<std::string, std::string>>& texts, bool clamp,
                      std::vector<ParameterSetting>& settings, std::vector<std::string>& warnings, std::string& error);

// A parameter's value as the plug-in displays it, with its unit.
std::string displayWithUnits (Steinberg::Vst::IEditController* controller, Steinberg::Vst::ParamID id, double normalized);

// Every parameter with its range and default, one a line, for --list-params.
std::string parameterTable (Steinberg::Vst::IEditController* controller);
