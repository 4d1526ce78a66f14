// kt3-write-presets BUNDLE FOLDER: writes one .vstpreset file per program of the built module's
// program list into FOLDER, as a host saves a preset after choosing the program: the processor's
// state once the program change has reached it, the controller's state, and the meta
// information from the factory's class record.
#include "plugininstance.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "programlist.h"
#include "text16.h"
#include "vstpresetfile.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstunits.h"
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
	if (!factory || !kt3host::readEffectClassRecord (factory, record, vendor))
		return fail ("the module registers no " + std::string (kVstAudioEffectClass));

	kt3host::PluginInstance plugin (module);
	if (!plugin.ready () || !plugin.activate (48000.0, 64))
		return fail ("the effect cannot be built: " + plugin.error ());
	kt3host::ProgramList list;
	if (!kt3host::readProgramList (plugin.controller (), list))
		return fail ("the controller has no program list");

	const std::string classId = kt3host::classIdText (record.cid);
	kt3host::ProcessBlock block (64);
	for (int32 program = 0; program < int32 (list.names.size ()); ++program)
	{
		const std::string& name = list.names[size_t (program)];
		if (name.empty ())
			return fail ("program " + std::to_string (program) + " has no name");
		const ParamID id = list.programChange.id;
		const ParamValue value = plugin.controller ()->plainParamToNormalized (id, program);
		plugin.controller ()->setParamNormalized (id, value);
		block.begin (0);
		block.changes ().add (id, value);
		block.process (plugin.audioProcessor ());

		const kt3host::Bytes file = kt3host::writeVstPreset (
		    classId, kt3host::getState (plugin.component ()), kt3host::getControllerState (plugin.controller ()),
		    {name, record.name, record.subCategories, vendor});
		const std::string path = std::string (argv[2]) + "/" + fileNameOf (name);
		std::ofstream out (path, std::ios::binary);
		out.write (reinterpret_cast<const char*> (file.data ()), static_cast<std::streamsize> (file.size ()));
		if (!out.flush ())
			return fail ("cannot write " + path);
	}
	return 0;
}
