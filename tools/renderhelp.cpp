#include "renderhelp.h"
#include "factorypresets.h"
#include "kt3version.h"
#include "pluginmodule.h"
#include "renderoptions.h"
#include "reverbparameters.h"

#include <cstdio>

namespace {

// A plain value as the controller prints it: `precision` decimals.
std::string fixed (double value, int precision)
{
	char text[64];
	std::snprintf (text, sizeof text, "%.*f", precision, value);
	return text;
}

} // namespace

std::vector<std::string> parameterLines ()
{
	using namespace Steinberg::Vst::Orvix;
	std::vector<std::string> lines {"Bypass: off to on (default off)"};
	for (const ReverbParameter& p : kReverbParameters)
		lines.push_back (std::string (p.title) + ": " + fixed (p.minPlain, p.precision) + " to " +
		                 fixed (p.maxPlain, p.precision) + " " + p.units () + " (default " +
		                 fixed (p.plain (p.defaultNormalized), p.precision) + ")");
	const std::string first = factoryPreset (0).name;
	lines.push_back ("Preset: " + first + " to " + factoryPreset (kFactoryPresetCount - 1).name + " (default " +
	                 first + ")");
	return lines;
}

std::string helpText ()
{
	std::string parameters;
	for (const std::string& line : parameterLines ())
		parameters += std::string (21, ' ') + line + "\n";
	return std::string () +
	       "kt3-render " KT3_VERSION_NUMBERS ": renders an audio file through the KT3 reverb\n"
	       "plug-in, loading its VST 3 bundle as a DAW does.\n"
	       "\n"
	       "usage: kt3-render [--plugin BUNDLE] [--in FILE] [--channels L,R] [--out FILE]\n"
	       "                  [--format FORMAT] [--preset PRESET] [--set NAME=VALUE ...]\n"
	       "                  [--clamp] [--bypass] [--block N] [--tail SECONDS]\n"
	       "                  [--save-preset FILE] [--list-params] [--list-presets]\n"
	       "       kt3-render -h | --help | --version | --formats\n"
	       "\n"
	       "Options (a value is the next argument: --block 256, not --block=256):\n"
	       "  --plugin BUNDLE  the VST 3 bundle (a .vst3 folder) to load, its module\n"
	       "                   (the .so in Contents/" + kt3host::kArchitectureFolder + ") or a link to either.\n"
	       "                   Default: " + defaultBundle () + "\n" +
	       "  --in FILE        the audio file to render: WAV, FLAC, AIFF or any other\n"
	       "                   format libsndfile reads, of any length (it is streamed);\n"
	       "                   a mono file is fed to both channels.\n"
	       "                   Default: none, which renders the demo phrase (see below).\n"
	       "  --channels L,R   the input's channels fed to the left and right input,\n"
	       "                   numbered from 1 (1,1 feeds the first to both); needed for\n"
	       "                   an input of more than two channels.\n"
	       "                   Default: 1,2, or 1,1 for a mono input.\n"
	       "  --out FILE       the file to write: two channels at the input's sample\n"
	       "                   rate, in the format its extension names (see below).\n"
	       "                   It appears only once complete; an existing file is\n"
	       "                   replaced then, and left as it was if the render fails.\n"
	       "                   Default: kt3-render.wav, or kt3-demo.wav without --in,\n"
	       "                   in the current folder.\n"
	       "  --format FORMAT  the output's samples: float (32-bit float), pcm16 or\n"
	       "                   pcm24 (16- or 24-bit integer), where the format takes it.\n"
	       "                   Default: the format's own (see below).\n"
	       "  --set NAME=VALUE  sets the parameter titled NAME (as --list-params shows\n"
	       "                   it; case matters) to VALUE, a plain decimal number with a\n"
	       "                   point, in the parameter's display units, optionally\n"
	       "                   followed by its unit (Size=4.5m, Output=-6dB), within\n"
	       "                   its range; Bypass takes on or off, Preset a preset's\n"
	       "                   name. May be given more than once; the last setting of a\n"
	       "                   parameter wins.\n"
	       "                   Default: the plug-in's defaults. KT3's parameters:\n" +
	       parameters +
	       "  --preset PRESET  starts from a preset: a factory preset's name as\n"
	       "                   --list-presets shows it (case does not matter: \"small\n"
	       "                   room\" is Small Room), or a .vstpreset file of KT3's (a\n"
	       "                   host's, or one --save-preset wrote). --set values apply\n"
	       "                   over it, wherever they stand.\n"
	       "                   Default: none, the plug-in's defaults.\n"
	       "  --save-preset FILE  writes the values the render starts with (the preset,\n"
	       "                   the --set values and --bypass) as a .vstpreset file\n"
	       "                   that hosts load, named after the file; it appears with\n"
	       "                   --out or neither does, and may not be the file of --in\n"
	       "                   or --out. Without --in and --out, nothing is rendered.\n"
	       "                   Default: no preset is written.\n"
	       "  --clamp          limits a --set value outside its parameter's range to the\n"
	       "                   range, with a warning. Default: such a value is an error.\n"
	       "  --bypass         starts the plug-in bypassed (without the crossfade into\n"
	       "                   bypass), so the output is the input, bit for bit.\n"
	       "                   Default: not bypassed.\n"
	       "  --block N        frames per processing call, a whole number from 1 to\n"
	       "                   65536; also the largest block the plug-in is set up for.\n"
	       "                   Default: 512 frames.\n"
	       "  --tail SECONDS   the length of the output after the end of the input: auto,\n"
	       "                   or seconds from 0 to 600 as a plain decimal number\n"
	       "                   (rounded down to whole frames), kept as rendered.\n"
	       "                   Default: auto, until the plug-in's tail has decayed to\n"
	       "                   exact silence, at most the tail length the plug-in\n"
	       "                   reports (and 600 s).\n"
	       "  --list-params    prints every parameter's title, range and default in\n"
	       "                   display units, and exits without reading or writing\n"
	       "                   audio.\n"
	       "  --list-presets   prints the plug-in's factory presets with their values,\n"
	       "                   and exits without reading or writing audio.\n"
	       "  --formats        prints the output formats (extension, container, default\n"
	       "                   samples) that this libsndfile writes, and exits.\n"
	       "  -h, --help       prints this help and exits.\n"
	       "  --version        prints \"kt3-render " KT3_VERSION_NUMBERS "\" and exits.\n"
	       "\n"
	       "Output format, from the output file's extension (upper or lower case): .wav\n"
	       "is WAV, 32-bit float; .flac is FLAC, 24-bit; .aif and .aiff are AIFF, 32-bit\n"
	       "float; .ogg is Ogg Vorbis; --formats lists the others. Any other extension,\n"
	       "or none, is refused. Integer formats (FLAC, pcm16, pcm24) clip samples beyond\n"
	       "full scale, and the summary counts them; float formats keep them.\n"
	       "\n"
	       "Demo: without --in, kt3-render renders a built-in 2.5 s phrase at 48000 Hz\n"
	       "(four clicks, then a decaying two-note tone) and also writes the dry phrase\n"
	       "beside the output, with -dry before the extension (kt3-demo-dry.wav by\n"
	       "default).\n"
	       "\n"
	       "kt3-render prints the files, the plug-in, the parameter values applied, the\n"
	       "sample rate, the length, the peak and RMS levels of each channel of the input\n"
	       "and of the output (with the samples clipped), and the processing speed; on a\n"
	       "terminal, a render of over 5 s shows its progress on stderr.\n"
	       "\n"
	       "Exit status: 0 on success (also for --help, --version, --formats,\n"
	       "--list-params and --list-presets); 2 for a usage error (an unknown option, a\n"
	       "missing or bad value, an unknown parameter or a value out of its range, an\n"
	       "unknown preset name, a --save-preset name without .vstpreset or a preset\n"
	       "file that is the input's or an output's file, an output\n"
	       "extension or --format that cannot be written, an input of more than two\n"
	       "channels without --channels or channels it does not have); 1 when the render\n"
	       "fails (a plug-in that cannot be loaded or refuses the sample rate, an input\n"
	       "that cannot be read, is truncated or holds a sample that is not a finite\n"
	       "number, a preset file that cannot be read or is not KT3's, a file that is\n"
	       "not a regular one, an output or preset that cannot be written). Every\n"
	       "error is one line on stderr, control bytes shown as \\xHH.\n"
	       "\n"
	       "See also: man kt3-render.\n";
}
