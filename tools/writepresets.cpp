// kt3-write-presets BUNDLE FOLDER: writes one .vstpreset file per program of the built module's
// program list into FOLDER, as a host saves a preset after choosing the program: the processor's
// state once the program change has reached it, the controller's state, and the meta
// information from the factory's class record.
#include "plugininstance.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "text16.h"
#include "vstpresetfile.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "public.sdk/source/common/memorystream.h"
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

int fail (const std::string& message)
{
	std::fprintf (stderr, "kt3-write-presets: %s\n", message.c_str ());
	return 1;
}

// The processor class record the instance is built from, and the vendor to name with it.
bool readClassRecord (IPluginFactory* factory, PClassInfo2& record, std::string& vendor)
{
	PFactoryInfo info;
	if (factory->getFactoryInfo (&info) == kResultOk)
		vendor = info.vendor;
	FUnknownPtr<IPluginFactory2> factory2 (factory);
	for (int32 i = 0; factory2 && i < factory->countClasses (); ++i)
	{
		if (factory2->getClassInfo2 (i, &record) == kResultOk &&
		    std::strcmp (record.category, kVstAudioEffectClass) == 0)
		{
			if (record.vendor[0])
				vendor = record.vendor;
			return true;
		}
	}
	return false;
}

// The program-change parameter: the one flagged so, in the root unit's program list.
bool findProgramChange (IEditController* controller, ParameterInfo& info)
{
	for (int32 i = 0; i < controller->getParameterCount (); ++i)
		if (controller->getParameterInfo (i, info) == kResultOk &&
		    (info.flags & ParameterInfo::kIsProgramChange))
			return true;
	return false;
}

kt3host::Bytes controllerState (IEditController* controller)
{
	auto stream = owned (new MemoryStream);
	if (controller->getState (stream) != kResultOk)
		return {};
	const auto* data = reinterpret_cast<const uint8*> (stream->getData ());
	return kt3host::Bytes (data, data + stream->getSize ());
}

// The preset's name as a file name: characters that some file systems refuse become '-'.
std::string fileNameOf (const std::string& name)
{
	std::string out;
	for (char c : name)
		out += std::strchr ("/\\:*?\"<>|", c) || static_cast<unsigned char> (c) < 32 ? '-' : c;
	return out + ".vstpreset";
}

} // namespace

int main (int argc, char** argv)
{
	if (argc != 3)
	{
		std::fprintf (stderr, "usage: kt3-write-presets BUNDLE FOLDER\n");
		return 2;
	}
	kt3host::PluginModule module (argv[1]);
	if (!module.loaded ())
		return fail (module.error ());
	IPtr<IPluginFactory> factory = owned (module.factory ());
	PClassInfo2 record;
	std::string vendor;
	if (!factory || !readClassRecord (factory, record, vendor))
		return fail ("the module registers no " + std::string (kVstAudioEffectClass));

	kt3host::PluginInstance plugin (module);
	if (!plugin.ready () || !plugin.activate (48000.0, 64))
		return fail ("the effect cannot be built: " + plugin.error ());
	FUnknownPtr<IUnitInfo> units (plugin.controller ());
	ProgramListInfo list {};
	ParameterInfo programChange {};
	if (!units || units->getProgramListInfo (0, list) != kResultOk ||
	    !findProgramChange (plugin.controller (), programChange))
		return fail ("the controller has no program list");

	const std::string classId = kt3host::classIdText (record.cid);
	kt3host::ProcessBlock block (64);
	for (int32 program = 0; program < list.programCount; ++program)
	{
		String128 name16 {};
		units->getProgramName (list.id, program, name16);
		const std::string name = kt3host::toAscii (name16);
		if (name.empty ())
			return fail ("program " + std::to_string (program) + " has no name");
		const ParamValue value = plugin.controller ()->plainParamToNormalized (programChange.id, program);
		plugin.controller ()->setParamNormalized (programChange.id, value);
		block.begin (0);
		block.changes ().add (programChange.id, value);
		block.process (plugin.audioProcessor ());

		const kt3host::Bytes file = kt3host::writeVstPreset (
		    classId, kt3host::getState (plugin.component ()), controllerState (plugin.controller ()),
		    {name, record.name, record.subCategories, vendor});
		const std::string path = std::string (argv[2]) + "/" + fileNameOf (name);
		std::ofstream out (path, std::ios::binary);
		out.write (reinterpret_cast<const char*> (file.data ()), static_cast<std::streamsize> (file.size ()));
		if (!out.flush ())
			return fail ("cannot write " + path);
	}
	return 0;
}
