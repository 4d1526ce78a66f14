// kt3-render's program on a fuzzed command line and input file. The input's first part, up to
// a NUL byte, is the argument vector (one argument per line); the rest is the input file. Paths
// are kept inside a scratch folder: the values of --in and --out become the input file and an
// output there (the output keeps the given extension), as does --save-preset's; a --preset file
// becomes the input file under a .vstpreset name; --plugin becomes the built bundle, its module
// or a path that does not exist; and --tail is left to its default so that one run stays short. Checked: the program returns 0, 1 or 2 (it never aborts: a sanitizer or libFuzzer
// reports a crash), a failed run leaves no output and no temporary file, and a successful
// render leaves its output.
#include "pluginmodule.h"
#include "presetchoice.h"
#include "rendertool.h"

#include <dlfcn.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void require (bool holds, const char* invariant)
{
	if (holds)
		return;
	std::fprintf (stderr, "broken invariant: %s\n", invariant);
	std::abort ();
}

const fs::path& scratch ()
{
	static const fs::path folder = [] {
		char pattern[] = "/tmp/kt3-fuzz-render-XXXXXX";
		require (mkdtemp (pattern) != nullptr, "a scratch folder");
		return fs::path (pattern);
	}();
	return folder;
}

std::string extensionOf (const std::string& name)
{
	const auto dot = name.rfind ('.');
	std::string extension = dot == std::string::npos ? "" : name.substr (dot);
	for (char& c : extension)
		if (c == '/' || c == '\0')
			c = '_';
	return extension.substr (0, 12);
}

std::string pluginFor (const std::string& value)
{
	const fs::path bundle = KT3_BUNDLE_PATH;
	switch (value.empty () ? 0 : value[0] % 3)
	{
		case 0: return bundle.string ();
		case 1: return (bundle / "Contents" / kt3host::kArchitectureFolder / "KT3.so").string ();
		default: return (scratch () / "missing.vst3").string ();
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
	static FILE* sink = std::fopen ("/dev/null", "w");
	// The module is instrumented too: kept mapped for good, so that libFuzzer's coverage counters
	// in it stay readable after the tool has unloaded it.
	static void* module = dlopen ((fs::path (KT3_BUNDLE_PATH) / "Contents" / kt3host::kArchitectureFolder / "KT3.so").c_str (),
	                              RTLD_NOW | RTLD_NODELETE);
	require (module != nullptr, "the module loads");
	const fs::path input = scratch () / "in.wav";
	const fs::path presetInput = scratch () / "in.vstpreset";
	const fs::path outputs = scratch () / "out";
	fs::remove_all (outputs);
	fs::create_directories (outputs);

	size_t split = 0;
	while (split < size && data[split] != 0)
		++split;
	std::ofstream (input, std::ios::binary)
	    .write (reinterpret_cast<const char*> (data + split + (split < size)), size - split - (split < size));
	fs::copy_file (input, presetInput, fs::copy_options::overwrite_existing);

	std::vector<std::string> arguments;
	std::string line;
	for (size_t i = 0; i <= split; ++i)
	{
		if (i < split && data[i] != '\n')
		{
			line += static_cast<char> (data[i]);
			continue;
		}
		arguments.push_back (line);
		line.clear ();
	}
	std::vector<std::string> command;
	fs::path output;
	for (size_t i = 0; i < arguments.size (); ++i)
	{
		const std::string& option = arguments[i];
		const bool hasValue = i + 1 < arguments.size ();
		if (option == "--tail" && hasValue)
		{
			++i;
			continue;
		}
		command.push_back (option);
		if (!hasValue)
			continue;
		if (option == "--in")
			command.push_back (input.string ()), ++i;
		else if (option == "--out")
			output = outputs / ("render" + extensionOf (arguments[++i])), command.push_back (output.string ());
		else if (option == "--save-preset")
			command.push_back ((outputs / ("preset" + extensionOf (arguments[++i]))).string ());
		else if (option == "--preset" && isPresetFileName (arguments[i + 1]))
			command.push_back (presetInput.string ()), ++i;
		else if (option == "--plugin")
			command.push_back (pluginFor (arguments[++i]));
	}
	if (output.empty ())
	{
		output = outputs / "render.wav";
		command.push_back ("--out");
		command.push_back (output.string ());
	}

	const int status = runRenderTool (command, sink, sink);
	require (status == kExitSuccess || status == kExitRenderFailed || status == kExitUsage, "status 0, 1 or 2");
	size_t left = 0;
	for (const auto& entry : fs::directory_iterator (outputs))
	{
		const std::string name = entry.path ().filename ().string ();
		require (name[0] != '.', "no temporary file is left behind");
		++left;
	}
	if (status != kExitSuccess)
		require (left == 0, "a failed run leaves no output");
	return 0;
}
