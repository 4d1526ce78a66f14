// kt3-render: renders audio files through the plug-in, headless, loading the bundle as a
// DAW does. Parameters are given as a user types them into a host, in display units.
#include "audiofile.h"
#include "kt3version.h"
#include "plugininstance.h"
#include "processblock.h"
#include "text16.h"

#include <unistd.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Printed after a usage error.
const char* const kUsage =
    "usage: kt3-render [--plugin BUNDLE] [--in FILE] [--out FILE] [--set NAME=TEXT ...]\n"
    "                  [--bypass] [--block N] [--tail SECONDS] [--list-params]\n"
    "Without --in, renders a built-in demo phrase and writes it next to its dry version.\n"
    "The output runs on until the plug-in's tail has decayed, or for --tail SECONDS.\n";

// The plug-in used without --plugin. An installed kt3-render takes the bundle installed with
// it, found from its own executable's real path (KT3_BUNDLE_FROM_BIN_DIR is the installed
// bundle relative to the installed bin folder); any other takes the build tree's bundle.
std::string defaultBundle ()
{
#ifdef KT3_BUNDLE_FROM_BIN_DIR
	namespace fs = std::filesystem;
	std::error_code error;
	const fs::path exe = fs::canonical ("/proc/self/exe", error);
	if (!error)
	{
		const fs::path installed = (exe.parent_path () / KT3_BUNDLE_FROM_BIN_DIR).lexically_normal ();
		if (fs::exists (installed, error))
			return installed.string ();
	}
#endif
	return KT3_DEFAULT_BUNDLE;
}

// The full help, for --help. Every option the parser takes is listed here and in the man page
// (tools/kt3-render.1.in); tests/render_cli_test.cpp checks that the three agree.
std::string helpText ()
{
	return std::string () +
	       "kt3-render " KT3_VERSION_NUMBERS ": renders an audio file through the KT3 reverb\n"
	       "plug-in, loading its VST 3 bundle as a DAW does.\n"
	       "\n"
	       "usage: kt3-render [--plugin BUNDLE] [--in FILE] [--out FILE]\n"
	       "                  [--set NAME=TEXT ...] [--bypass] [--block N]\n"
	       "                  [--tail SECONDS] [--list-params]\n"
	       "       kt3-render -h | --help | --version\n"
	       "\n"
	       "Options (a value is the next argument: --block 256, not --block=256):\n"
	       "  --plugin BUNDLE  the VST 3 bundle (a .vst3 folder) to load.\n" +
	       "                   Default: " + defaultBundle () + "\n" +
	       "  --in FILE        the audio file to render: WAV, FLAC, AIFF or any other\n"
	       "                   format libsndfile reads; a mono file is fed to both\n"
	       "                   channels, channels after the second are dropped.\n"
	       "                   Default: none, which renders the demo phrase (see below).\n"
	       "  --out FILE       the file to write: two channels at the input's sample\n"
	       "                   rate, in the format its extension names (see below).\n"
	       "                   Default: kt3-render.wav, or kt3-demo.wav without --in,\n"
	       "                   in the current folder.\n"
	       "  --set NAME=TEXT  sets the parameter titled NAME (as --list-params shows it;\n"
	       "                   case matters) to TEXT, a value in the parameter's display\n"
	       "                   units as typed into a host: a number, anything after it\n"
	       "                   (such as the unit) ignored, limited to the parameter's\n"
	       "                   range; Bypass takes off, on, 0 or 1. May be given more\n"
	       "                   than once; the last setting of a parameter wins.\n"
	       "                   Default: the plug-in's defaults. KT3's parameters:\n"
	       "                     Bypass: off to on (default off)\n"
	       "                     Size: 0.00 to 10.00 m (default 7.00)\n"
	       "                     HF Damp: 0.00 to 100.00 % (default 70.00)\n"
	       "                     Mix: 0.00 to 100.00 % (default 90.00)\n"
	       "                     Output: -20.00 to 20.00 dB (default 0.00)\n"
	       "  --bypass         starts the plug-in bypassed (without the crossfade into\n"
	       "                   bypass), so the output is the input, bit for bit.\n"
	       "                   Default: not bypassed.\n"
	       "  --block N        frames per processing call, a whole number from 1 to\n"
	       "                   65536; also the largest block the plug-in is set up for.\n"
	       "                   Default: 512 frames.\n"
	       "  --tail SECONDS   the length of the output after the end of the input, in\n"
	       "                   seconds from 0 to 600 (rounded down to whole frames),\n"
	       "                   kept as rendered.\n"
	       "                   Default: until the plug-in's tail has decayed to exact\n"
	       "                   silence, at most the tail length the plug-in reports\n"
	       "                   (and 600 s).\n"
	       "  --list-params    prints every parameter's title, range and default in\n"
	       "                   display units, and exits without reading or writing\n"
	       "                   audio.\n"
	       "  -h, --help       prints this help and exits.\n"
	       "  --version        prints \"kt3-render " KT3_VERSION_NUMBERS "\" and exits.\n"
	       "\n"
	       "Output format, from the output file's extension (upper or lower case):\n"
	       ".flac is FLAC, 24-bit; .aif and .aiff are AIFF, 32-bit float; anything else\n"
	       "is WAV, 32-bit float.\n"
	       "\n"
	       "Demo: without --in, kt3-render renders a built-in 2.5 s phrase at 48000 Hz\n"
	       "(four clicks, then a decaying two-note tone) and also writes the dry phrase\n"
	       "beside the output, with -dry before the extension (kt3-demo-dry.wav by\n"
	       "default).\n"
	       "\n"
	       "kt3-render prints the files, the sample rate, the length, the peak and RMS\n"
	       "levels of each channel in and out, and the processing speed; on a terminal,\n"
	       "a render of over 5 s shows its progress on stderr.\n"
	       "\n"
	       "Exit status: 0 on success (also for --help, --version and --list-params);\n"
	       "1 on any error (an unknown option, a missing or bad value, a plug-in that\n"
	       "cannot be loaded, a file that cannot be read or written), after a message\n"
	       "on stderr.\n"
	       "\n"
	       "See also: man kt3-render.\n";
}

struct Options
{
	std::string plugin = defaultBundle ();
	std::string in, out;
	std::vector<std::pair<std::string, std::string>> settings;
	bool bypass = false;
	bool listParams = false;
	int block = 512;
	double tail = -1.0; // seconds; negative: until the plug-in's tail has decayed
};

[[noreturn]] void fail (const std::string& message)
{
	std::fprintf (stderr, "kt3-render: %s\n", message.c_str ());
	std::exit (1);
}

bool parseNumber (const char* text, double& value)
{
	char* end = nullptr;
	value = std::strtod (text, &end);
	return end != text && *end == 0 && std::isfinite (value);
}

Options parse (int argc, char** argv)
{
	Options o;
	for (int i = 1; i < argc; ++i)
	{
		const std::string arg = argv[i];
		auto value = [&] () -> const char* {
			if (i + 1 >= argc)
				fail (arg + " needs a value\n" + kUsage);
			return argv[++i];
		};
		double number = 0;
		if (arg == "--plugin")
			o.plugin = value ();
		else if (arg == "--in")
			o.in = value ();
		else if (arg == "--out")
			o.out = value ();
		else if (arg == "--set")
		{
			const std::string setting = value ();
			const auto eq = setting.find ('=');
			if (eq == std::string::npos || eq == 0)
				fail ("--set takes NAME=TEXT, not '" + setting + "'");
			o.settings.emplace_back (setting.substr (0, eq), setting.substr (eq + 1));
		}
		else if (arg == "--bypass")
			o.bypass = true;
		else if (arg == "--list-params")
			o.listParams = true;
		else if (arg == "--block")
		{
			if (!parseNumber (value (), number) || number < 1 || number > 65536 || number != std::floor (number))
				fail ("--block takes a whole number of frames from 1 to 65536");
			o.block = static_cast<int> (number);
		}
		else if (arg == "--tail")
		{
			if (!parseNumber (value (), number) || number < 0 || number > 600)
				fail ("--tail takes seconds from 0 to 600");
			o.tail = number;
		}
		else if (arg == "--help" || arg == "-h")
		{
			std::fputs (helpText ().c_str (), stdout);
			std::exit (0);
		}
		else if (arg == "--version")
		{
			std::printf ("kt3-render %s\n", KT3_VERSION_NUMBERS);
			std::exit (0);
		}
		else
			fail ("unknown option '" + arg + "'\n" + kUsage);
	}
	return o;
}

std::string displayOf (IEditController* controller, ParamID id, double normalized)
{
	String128 text {};
	controller->getParamStringByValue (id, normalized, text);
	return kt3host::toAscii (text);
}

// Every parameter with its range, for --list-params and for errors.
std::string parameterTable (IEditController* controller)
{
	std::string table;
	for (int32 i = 0; i < controller->getParameterCount (); ++i)
	{
		ParameterInfo info;
		if (controller->getParameterInfo (i, info) != kResultOk)
			continue;
		const std::string units = kt3host::toAscii (info.units);
		table += "  " + kt3host::toAscii (info.title) + ": " + displayOf (controller, info.id, 0.0) + " to " +
		         displayOf (controller, info.id, 1.0) + (units.empty () ? "" : " " + units) + " (default " +
		         displayOf (controller, info.id, info.defaultNormalizedValue) + ")\n";
	}
	return table;
}

// A short, clearly audible phrase: four percussive clicks, then a decaying two-note tone.
StereoAudio demoSignal ()
{
	StereoAudio a;
	a.sampleRate = 48000.0;
	const size_t frames = size_t (a.sampleRate * 2.5);
	a.left.assign (frames, 0.0f);
	a.right.assign (frames, 0.0f);
	for (int click = 0; click < 4; ++click)
	{
		const size_t start = size_t (click * 0.25 * a.sampleRate);
		for (size_t i = 0; i < 240; ++i)
		{
			const float v = 0.8f * std::exp (-float (i) / 30.0f) * (i % 2 ? -1.0f : 1.0f);
			a.left[start + i] += v;
			a.right[start + i] += v * (click % 2 ? 0.6f : 1.0f);
		}
	}
	const size_t toneStart = size_t (1.1 * a.sampleRate);
	for (size_t i = toneStart; i < frames; ++i)
	{
		const double t = double (i - toneStart) / a.sampleRate;
		const double v = 0.35 * std::exp (-3.0 * t) * (std::sin (2 * M_PI * 440.0 * t) + 0.5 * std::sin (2 * M_PI * 659.25 * t));
		a.left[i] += float (v);
		a.right[i] += float (v);
	}
	return a;
}

void printLevels (const char* label, const StereoAudio& audio)
{
	const std::vector<float>* channels[2] = {&audio.left, &audio.right};
	for (int ch = 0; ch < 2; ++ch)
	{
		double peak = 0, sum = 0;
		for (float s : *channels[ch])
		{
			peak = std::max (peak, double (std::fabs (s)));
			sum += double (s) * s;
		}
		const double rms = audio.frames () ? std::sqrt (sum / audio.frames ()) : 0.0;
		auto db = [] (double x) { return x > 0 ? 20 * std::log10 (x) : -INFINITY; };
		std::printf ("  %s %s: peak %.1f dBFS, RMS %.1f dBFS\n", label, ch ? "right" : "left ", db (peak), db (rms));
	}
}

// The frames the plug-in says its tail lasts at `sampleRate`, at most ten minutes.
size_t reportedTail (IAudioProcessor* processor, double sampleRate)
{
	const double longest = 600.0 * sampleRate;
	const uint32 tail = processor->getTailSamples ();
	return tail == kInfiniteTail ? size_t (longest) : size_t (std::min (double (tail), longest));
}

// Drops the exact silence at the end of the tail (but not of the input's own frames).
void trimTrailingSilence (StereoAudio& audio, size_t keep)
{
	size_t frames = audio.frames ();
	while (frames > keep && audio.left[frames - 1] == 0.0f && audio.right[frames - 1] == 0.0f)
		--frames;
	audio.left.resize (frames);
	audio.right.resize (frames);
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

StereoAudio render (kt3host::PluginInstance& plugin, const StereoAudio& input,
                    const std::vector<std::pair<ParamID, double>>& changes, int blockSize, bool showProgress)
{
	StereoAudio out;
	out.sampleRate = input.sampleRate;
	out.left.resize (input.frames ());
	out.right.resize (input.frames ());
	kt3host::ProcessBlock block (blockSize);
	int lastPercent = -1;
	for (size_t pos = 0; pos < input.frames () || pos == 0; pos += size_t (blockSize))
	{
		const int n = int (std::min<size_t> (size_t (blockSize), input.frames () - pos));
		block.begin (n);
		if (pos == 0)
			for (auto& [id, value] : changes)
				block.changes ().add (id, value);
		std::memcpy (block.in (0), input.left.data () + pos, sizeof (float) * size_t (n));
		std::memcpy (block.in (1), input.right.data () + pos, sizeof (float) * size_t (n));
		block.process (plugin.audioProcessor ());
		std::memcpy (out.left.data () + pos, block.out (0), sizeof (float) * size_t (n));
		std::memcpy (out.right.data () + pos, block.out (1), sizeof (float) * size_t (n));
		const int percent = int (100.0 * double (pos + size_t (n)) / double (std::max<size_t> (1, input.frames ())));
		if (showProgress && percent != lastPercent)
		{
			std::fprintf (stderr, "\r  [%-40s] %3d%%", std::string (size_t (percent * 40 / 100), '#').c_str (), percent);
			lastPercent = percent;
		}
		if (input.frames () == 0)
			break;
	}
	if (showProgress)
		std::fputs ("\n", stderr);
	return out;
}

std::string dryNameFor (const std::string& out)
{
	const auto dot = out.find_last_of ('.');
	const auto slash = out.find_last_of ('/');
	if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
		return out + "-dry.wav";
	return out.substr (0, dot) + "-dry" + out.substr (dot);
}

} // namespace

int main (int argc, char** argv)
{
	const Options o = parse (argc, argv);

	kt3host::PluginModule module (o.plugin);
	if (!module.loaded ())
		fail ("cannot load plug-in '" + o.plugin + "': " + module.error ());
	kt3host::PluginInstance plugin (module);
	if (!plugin.ready () || !plugin.controller ())
		fail ("plug-in '" + o.plugin + "' cannot be used: " + plugin.error ());
	IEditController* controller = plugin.controller ();

	if (o.listParams)
	{
		std::fputs (parameterTable (controller).c_str (), stdout);
		return 0;
	}

	std::vector<std::pair<ParamID, double>> changes;
	for (const auto& [title, text] : o.settings)
	{
		ParameterInfo info;
		if (!plugin.findParameter (title, info))
			fail ("no parameter '" + title + "'; the parameters are:\n" + parameterTable (controller));
		String128 text16;
		kt3host::toString16 (text, text16, 128);
		ParamValue value = 0;
		if (controller->getParamValueByString (info.id, text16, value) != kResultOk)
			fail ("'" + text + "' is not a value for " + title + "; the parameters are:\n" + parameterTable (controller));
		changes.emplace_back (info.id, value);
	}
	ParameterInfo bypass {};
	if (o.bypass)
	{
		if (!plugin.findParameter ("Bypass", bypass))
			fail ("the plug-in has no Bypass parameter");
		controller->setParamNormalized (bypass.id, 1.0);
	}
	for (auto& [id, value] : changes)
		controller->setParamNormalized (id, value);

	StereoAudio input;
	std::string error;
	const bool demo = o.in.empty ();
	if (demo)
		input = demoSignal ();
	else if (!readAudio (o.in, input, error))
		fail (error);
	const std::string outPath = !o.out.empty () ? o.out : demo ? "kt3-demo.wav" : "kt3-render.wav";
	if (demo && !writeAudio (dryNameFor (outPath), input, error))
		fail (error);

	if (!plugin.activate (input.sampleRate, o.block))
		fail ("the plug-in refused a sample rate of " + std::to_string (int (input.sampleRate)) + " Hz");
	if (o.bypass)
		startBypassed (plugin, bypass.id);

	const size_t inputFrames = input.frames ();
	const bool untilDecayed = o.tail < 0.0;
	const size_t tailFrames = untilDecayed ? reportedTail (plugin.audioProcessor (), input.sampleRate)
	                                       : size_t (o.tail * input.sampleRate);
	input.left.resize (inputFrames + tailFrames, 0.0f);
	input.right.resize (inputFrames + tailFrames, 0.0f);

	const bool progress = isatty (STDERR_FILENO) && input.frames () > size_t (5 * input.sampleRate);
	const auto started = std::chrono::steady_clock::now ();
	StereoAudio output = render (plugin, input, changes, o.block, progress);
	const double seconds = std::chrono::duration<double> (std::chrono::steady_clock::now () - started).count ();
	if (untilDecayed)
		trimTrailingSilence (output, inputFrames);
	if (!writeAudio (outPath, output, error))
		fail (error);

	const double length = double (output.frames ()) / output.sampleRate;
	std::printf ("kt3-render: %s -> %s\n", demo ? ("demo phrase (dry: " + dryNameFor (outPath) + ")").c_str () : o.in.c_str (),
	             outPath.c_str ());
	std::printf ("  %.0f Hz, %.2f s (%zu frames, %.2f s tail), blocks of %d\n", output.sampleRate, length,
	             output.frames (), double (output.frames () - inputFrames) / output.sampleRate, o.block);
	printLevels ("in ", input);
	printLevels ("out", output);
	const double processed = double (input.frames ()) / input.sampleRate;
	std::printf ("  processed at %.0fx real time\n", seconds > 0 ? processed / seconds : INFINITY);
	return 0;
}
