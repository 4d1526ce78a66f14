#include "rendertool.h"
#include "audioreader.h"
#include "audiowriter.h"
#include "demophrase.h"
#include "kt3version.h"
#include "outputformat.h"
#include "parametersettings.h"
#include "plugininstance.h"
#include "presetchoice.h"
#include "printabletext.h"
#include "renderhelp.h"
#include "renderloop.h"
#include "renderoptions.h"
#include "rendersummary.h"
#include "replacementset.h"

#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <cmath>
#include <exception>
#include <new>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// An error: one line on `err`, and the status to exit with.
struct Failure
{
	int status;
	std::string message;
};

std::string dryNameFor (const std::string& out)
{
	const auto dot = out.find_last_of ('.');
	const auto slash = out.find_last_of ('/');
	if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
		return out + "-dry";
	return out.substr (0, dot) + "-dry" + out.substr (dot);
}

// Switches the bypass on before the first block, so that the render starts bypassed instead
// of fading into bypass over its first block: a one-frame block of silence takes the fade,
// and its output is dropped.
void startBypassed (kt3host::PluginInstance& plugin, ParamID bypassId)
{
	kt3host::ProcessBlock block (1);
	block.begin (1);
	block.in (0)[0] = block.in (1)[0] = 0.0f;
	block.changes ().add (bypassId, 1.0);
	block.process (plugin.audioProcessor ());
}

// The input's channels fed to left and right, checked against the file.
bool selectChannels (AudioReader& reader, const RenderOptions& o, std::string& error)
{
	const int channels = reader.channels ();
	if (o.leftChannel < 0)
	{
		if (channels > 2)
		{
			error = "'" + o.in + "' has " + std::to_string (channels) +
			        " channels; choose the two to render with --channels L,R (numbered from 1)";
			return false;
		}
		return true;
	}
	if (o.leftChannel >= channels || o.rightChannel >= channels)
	{
		error = "--channels " + std::to_string (o.leftChannel + 1) + "," + std::to_string (o.rightChannel + 1) +
		        ": '" + o.in + "' has " + std::to_string (channels) + " channel" + (channels == 1 ? "" : "s");
		return false;
	}
	reader.selectChannels (o.leftChannel, o.rightChannel);
	return true;
}

TailPlan tailPlan (const RenderOptions& o, IAudioProcessor* processor, double sampleRate)
{
	const double longest = std::floor (kMaxTailSeconds * sampleRate);
	if (o.tail >= 0.0)
		return {int64_t (std::min (std::floor (o.tail * sampleRate), longest)), false};
	const uint32 reported = processor->getTailSamples ();
	return {int64_t (reported == kInfiniteTail ? longest : std::min (double (reported), longest)), true};
}

struct StartingValues
{
	std::vector<ParameterSetting> changes;
	StartingPreset preset;
};

// The starting values: the preset's, then the --set values over them. The controller takes
// them now, the processor with the first block's changes (a program change first, as the
// plug-in applies it before the block's other changes).
StartingValues startingValues (const RenderOptions& o, const kt3host::PluginModule& module,
                               kt3host::PluginInstance& plugin, FILE* err)
{
	IEditController* controller = plugin.controller ();
	std::vector<ParameterSetting> changes;
	std::vector<std::string> warnings;
	std::string error;
	if (!resolveSettings (controller, o.settings, o.clamp, changes, warnings, error))
		throw Failure {kExitUsage, error};
	for (const auto& warning : warnings)
		std::fprintf (err, "kt3-render: warning: %s\n", kt3host::printable (warning).c_str ());

	StartingPreset preset;
	if (!o.preset.empty ())
	{
		bool usage = false;
		if (!choosePreset (module, controller, o.preset, preset, usage, error))
			throw Failure {usage ? kExitUsage : kExitRenderFailed, error};
		if (!applyPreset (plugin, preset, error))
			throw Failure {kExitRenderFailed, "'" + o.preset + "': " + error};
		if (!preset.fromFile)
			changes.insert (changes.begin (), preset.programChange);
	}
	for (const auto& change : changes)
		controller->setParamNormalized (change.id, change.normalized);
	return {changes, preset};
}

// --save-preset's file, written and closed but not yet in place: the starting values and the
// bypass (`bypassId`, with --bypass).
void prepareStartingValues (const RenderOptions& o, const kt3host::PluginModule& module,
                            const StartingValues& start, ParamID bypassId, ReplacementFile& file)
{
	std::vector<ParameterSetting> saved = start.changes;
	if (o.bypass)
		saved.push_back ({bypassId, 1.0});
	std::string error;
	if (!preparePreset (module, start.preset.fromFile ? &start.preset : nullptr, saved, o.savePreset, file, error))
		throw Failure {kExitRenderFailed, error};
}

void reportSaved (const RenderOptions& o, FILE* out)
{
	std::fprintf (out, "kt3-render: saved the starting values as the preset %s\n",
	              kt3host::printable (o.savePreset).c_str ());
}

// A file that a run reads must not be one that it writes (the same file through a link or a
// hard link): the preset would replace the audio, or the input, or a preset read the output.
void refuseSameFile (const std::string& path, const char* option, const std::string& other, const char* otherOption)
{
	struct stat a {}, b {};
	if (path.empty () || other.empty () || stat (path.c_str (), &a) != 0 || stat (other.c_str (), &b) != 0)
		return;
	if (a.st_dev == b.st_dev && a.st_ino == b.st_ino)
		throw Failure {kExitUsage, std::string (option) + " '" + path + "' is the same file as " + otherOption + " ('" +
		                               other + "')"};
}

void refuseSameFiles (const RenderOptions& o, const std::string& outPath, const std::string& dryPath, bool renders)
{
	const std::string out = renders ? outPath : std::string (), dry = renders && o.in.empty () ? dryPath : std::string ();
	const std::string presetFile = isPresetFileName (o.preset) ? o.preset : std::string ();
	refuseSameFile (o.savePreset, "--save-preset", o.in, "--in");
	refuseSameFile (o.savePreset, "--save-preset", out, "--out");
	refuseSameFile (o.savePreset, "--save-preset", dry, "the dry file");
	refuseSameFile (presetFile, "--preset", out, "--out");
	refuseSameFile (presetFile, "--preset", dry, "the dry file");
}

int render (const RenderOptions& o, FILE* out, FILE* err)
{
	const bool demo = o.in.empty ();
	const std::string outPath = !o.out.empty () ? o.out : demo ? "kt3-demo.wav" : "kt3-render.wav";
	// --save-preset alone writes the preset without rendering.
	const bool renders = o.savePreset.empty () || !o.in.empty () || !o.out.empty ();
	const bool lists = o.listParams || o.listPresets;
	OutputFormat format;
	std::string error;
	if (renders && !lists && !outputFormatFor (outPath, o.format, format, error))
		throw Failure {kExitUsage, error};
	const std::string dryPath = dryNameFor (outPath);
	if (!lists)
		refuseSameFiles (o, outPath, dryPath, renders);

	kt3host::PluginModule module (o.plugin);
	if (!module.loaded ())
		throw Failure {kExitRenderFailed, "cannot load plug-in '" + o.plugin + "': " + module.error ()};
	kt3host::PluginInstance plugin (module);
	if (!plugin.ready () || !plugin.controller ())
		throw Failure {kExitRenderFailed, "plug-in '" + o.plugin + "' cannot be used: " + plugin.error ()};
	IEditController* controller = plugin.controller ();
	if (o.listParams)
	{
		std::fputs (parameterTable (controller).c_str (), out);
		return kExitSuccess;
	}
	if (o.listPresets)
	{
		std::string table;
		if (!presetTable (controller, table, error))
			throw Failure {kExitRenderFailed, error};
		std::fputs (table.c_str (), out);
		return kExitSuccess;
	}
	ParameterInfo bypass {};
	if (o.bypass)
	{
		if (!plugin.findParameter ("Bypass", bypass))
			throw Failure {kExitRenderFailed, "the plug-in has no Bypass parameter"};
		controller->setParamNormalized (bypass.id, 1.0);
	}
	const StartingValues start = startingValues (o, module, plugin, err);
	const std::vector<ParameterSetting>& changes = start.changes;
	// The preset is written first, so that a path it cannot take fails the run at once; it is
	// put in place only with the audio.
	ReplacementFile presetFile;
	if (!o.savePreset.empty ())
		prepareStartingValues (o, module, start, bypass.id, presetFile);
	if (!renders)
	{
		if (!presetFile.commit (error))
			throw Failure {kExitRenderFailed, error};
		reportSaved (o, out);
		return kExitSuccess;
	}

	AudioReader reader;
	DemoPhrase phrase;
	if (!demo)
	{
		if (!reader.open (o.in, error))
			throw Failure {kExitRenderFailed, error};
		if (!selectChannels (reader, o, error))
			throw Failure {kExitUsage, error};
	}
	else if (o.leftChannel >= 0)
		throw Failure {kExitUsage, "--channels needs --in"};
	BlockSource& input = demo ? static_cast<BlockSource&> (phrase) : reader;
	const double rate = input.sampleRate ();

	if (!plugin.activate (rate, o.block))
		throw Failure {kExitRenderFailed, "the plug-in refused a sample rate of " + std::to_string (int64_t (rate)) + " Hz"};
	if (o.bypass)
		startBypassed (plugin, bypass.id);
	const TailPlan tail = tailPlan (o, plugin.audioProcessor (), rate);

	AudioWriter wet, dry;
	if ((demo && !dry.open (dryPath, format, int (rate), o.block, error)) || !wet.open (outPath, format, int (rate), o.block, error))
		throw Failure {kExitRenderFailed, error};

	RenderLoop loop (plugin.audioProcessor (), o.block);
	loop.setStartChanges (changes);
	const int64_t total = input.length () >= 0 ? input.length () + tail.frames : -1;
	if (isatty (fileno (err)) && double (total) > 5 * rate)
		loop.showProgress (err);
	const auto started = std::chrono::steady_clock::now ();
	if (!loop.run (input, tail, wet, demo ? &dry : nullptr, error))
		throw Failure {kExitRenderFailed, error};
	const double seconds = std::chrono::duration<double> (std::chrono::steady_clock::now () - started).count ();
	if ((demo && !dry.finish (error)) || !wet.finish (error))
		throw Failure {kExitRenderFailed, error};
	// The run's outputs appear together or not at all.
	ReplacementSet outputs;
	if (demo)
		outputs.add (dry.replacement ());
	outputs.add (wet.replacement ());
	if (!o.savePreset.empty ())
		outputs.add (presetFile);
	if (!outputs.commit (error))
		throw Failure {kExitRenderFailed, error};

	RenderReport report;
	report.source = demo ? "demo phrase (dry: " + dry.target () + ")" : o.in;
	report.plugin = module.bundlePath ().empty () ? module.modulePath () : module.bundlePath ();
	report.sampleRate = rate;
	report.block = o.block;
	report.seconds = seconds;
	printSummary (out, report, controller, loop, wet);
	if (!o.savePreset.empty ())
		reportSaved (o, out);
	return kExitSuccess;
}

} // namespace

int runRenderTool (const std::vector<std::string>& arguments, FILE* out, FILE* err)
{
	RenderOptions options;
	std::string error;
	try
	{
		switch (parseOptions (arguments, options, error))
		{
			case OptionsAction::usageError: throw Failure {kExitUsage, error};
			case OptionsAction::help: std::fputs (helpText ().c_str (), out); return kExitSuccess;
			case OptionsAction::version: std::fprintf (out, "kt3-render %s\n", KT3_VERSION_NUMBERS); return kExitSuccess;
			case OptionsAction::render: break;
		}
		if (options.listFormats)
		{
			std::fputs (formatsListing ().c_str (), out);
			return kExitSuccess;
		}
		return render (options, out, err);
	}
	catch (const Failure& failure)
	{
		std::fprintf (err, "kt3-render: %s\n", kt3host::printable (failure.message).c_str ());
		return failure.status;
	}
	catch (const std::bad_alloc&)
	{
		std::fputs ("kt3-render: out of memory\n", err);
		return kExitRenderFailed;
	}
	catch (const std::exception& failure)
	{
		std::fprintf (err, "kt3-render: %s\n", kt3host::printable (failure.what ()).c_str ());
		return kExitRenderFailed;
	}
}
