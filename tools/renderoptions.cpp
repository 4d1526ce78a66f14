#include "renderoptions.h"
#include "decimaltext.h"
#include "presetchoice.h"

#include <filesystem>
#include <system_error>

namespace {

// The highest channel number --channels takes: libsndfile's own limit.
constexpr long kMaxChannelNumber = 1024;

bool parseChannels (const std::string& text, RenderOptions& o)
{
	const auto comma = text.find (',');
	long left = 0, right = 0;
	if (comma == std::string::npos || !parseWholeNumber (text.substr (0, comma), 1, kMaxChannelNumber, left) ||
	    !parseWholeNumber (text.substr (comma + 1), 1, kMaxChannelNumber, right))
		return false;
	o.leftChannel = int (left - 1);
	o.rightChannel = int (right - 1);
	return true;
}

bool parseTail (const std::string& text, RenderOptions& o, std::string& error)
{
	if (text == "auto")
	{
		o.tail = -1.0;
		return true;
	}
	double seconds = 0;
	std::string why;
	if (!parseDecimal (text, "", seconds, why) || seconds < 0 || seconds > kMaxTailSeconds)
	{
		error = "--tail takes auto or seconds from 0 to 600 as a plain decimal number, not '" + text + "'";
		return false;
	}
	o.tail = seconds;
	return true;
}

} // namespace

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

OptionsAction parseOptions (const std::vector<std::string>& arguments, RenderOptions& o, std::string& error)
{
	o.plugin = defaultBundle ();
	for (size_t i = 0; i < arguments.size (); ++i)
	{
		const std::string& arg = arguments[i];
		const bool takesValue = arg == "--plugin" || arg == "--in" || arg == "--out" || arg == "--set" ||
		                        arg == "--preset" || arg == "--save-preset" || arg == "--format" ||
		                        arg == "--channels" || arg == "--block" || arg == "--tail";
		if (takesValue && i + 1 >= arguments.size ())
		{
			error = arg + " needs a value";
			return OptionsAction::usageError;
		}
		const std::string value = takesValue ? arguments[++i] : std::string ();
		long number = 0;
		if (arg == "--plugin")
			o.plugin = value;
		else if (arg == "--in")
			o.in = value;
		else if (arg == "--out")
			o.out = value;
		else if (arg == "--set")
		{
			const auto eq = value.find ('=');
			if (eq == std::string::npos || eq == 0)
			{
				error = "--set takes NAME=VALUE, not '" + value + "'";
				return OptionsAction::usageError;
			}
			o.settings.emplace_back (value.substr (0, eq), value.substr (eq + 1));
		}
		else if (arg == "--preset")
		{
			if (!o.preset.empty ())
			{
				error = "--preset is given twice ('" + o.preset + "', then '" + value + "'); --set changes single values";
				return OptionsAction::usageError;
			}
			if (value.empty ())
			{
				error = "--preset takes a preset's name or a .vstpreset file, not ''";
				return OptionsAction::usageError;
			}
			o.preset = value;
		}
		else if (arg == "--save-preset")
		{
			if (!isPresetFileName (value))
			{
				error = "--save-preset takes a file name ending in .vstpreset, not '" + value + "'";
				return OptionsAction::usageError;
			}
			o.savePreset = value;
		}
		else if (arg == "--format")
		{
			if (!parseSampleFormat (value, o.format))
			{
				error = "--format takes float, pcm16 or pcm24, not '" + value + "'";
				return OptionsAction::usageError;
			}
		}
		else if (arg == "--channels")
		{
			if (!parseChannels (value, o))
			{
				error = "--channels takes two channel numbers from 1, as L,R (such as 3,4), not '" + value + "'";
				return OptionsAction::usageError;
			}
		}
		else if (arg == "--block")
		{
			if (!parseWholeNumber (value, 1, kMaxBlock, number))
			{
				error = "--block takes a whole number of frames from 1 to 65536, not '" + value + "'";
				return OptionsAction::usageError;
			}
			o.block = int (number);
		}
		else if (arg == "--tail")
		{
			if (!parseTail (value, o, error))
				return OptionsAction::usageError;
		}
		else if (arg == "--clamp")
			o.clamp = true;
		else if (arg == "--bypass")
			o.bypass = true;
		else if (arg == "--list-params")
			o.listParams = true;
		else if (arg == "--formats")
			o.listFormats = true;
		else if (arg == "--list-presets")
			o.listPresets = true;
		else if (arg == "--help" || arg == "-h")
			return OptionsAction::help;
		else if (arg == "--version")
			return OptionsAction::version;
		else
		{
			error = "unknown option '" + arg + "' (kt3-render --help lists them)";
			return OptionsAction::usageError;
		}
	}
	return OptionsAction::render;
}
