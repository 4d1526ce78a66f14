// kt3-render's command line, read strictly: every option and value as --help describes it.
#pragma once

#include "outputformat.h"

#include <string>
#include <utility>
#include <vector>

struct RenderOptions
{
	std::string plugin;
	std::string in, out;
	std::vector<std::pair<std::string, std::string>> settings; // title, value text
	std::string preset;     // a factory preset's name or a .vstpreset file; empty: none
	std::string savePreset; // the .vstpreset file to write; empty: none
	SampleFormat format = SampleFormat::automatic;
	int leftChannel = -1, rightChannel = -1; // 0-based; -1: the input's own
	bool clamp = false;
	bool bypass = false;
	bool listParams = false;
	bool listFormats = false;
	bool listPresets = false;
	int block = 512;
	double tail = -1.0; // seconds; negative: auto, until the plug-in's tail has decayed
};

enum class OptionsAction
{
	render,
	help,
	version,
	usageError,
};

// The longest --tail, in seconds, and the largest --block.
constexpr double kMaxTailSeconds = 600.0;
constexpr int kMaxBlock = 65536;

// Reads the arguments (without the program name). --help and --version act where they
// stand, so an error before them is still reported; on a usage error `error` is one line.
OptionsAction parseOptions (const std::vector<std::string>& arguments, RenderOptions& options, std::string& error);

// The plug-in used without --plugin. An installed kt3-render takes the bundle installed with
// it, found from its own executable's real path; any other takes the build tree's bundle.
std::string defaultBundle ();
