// What a host reads of a plug-in's presets: the effect's class record in the factory, and the
// controller's first program list with the program-change parameter that selects from it.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <string>
#include <vector>

namespace kt3host {

// The first "Audio Module Class" record, and the vendor to name with it (the record's own, or
// the factory's). False when the factory has none.
bool readEffectClassRecord (Steinberg::IPluginFactory* factory, Steinberg::PClassInfo2& record, std::string& vendor);

struct ProgramList
{
	Steinberg::Vst::ProgramListInfo info {};
	Steinberg::Vst::ParameterInfo programChange {};
	std::vector<std::string> names;
};

// False when the controller offers no program list or no program-change parameter.
bool readProgramList (Steinberg::Vst::IEditController* controller, ProgramList& list);

} // namespace kt3host
