// kt3-render's presets: --list-presets, --preset by name (any case) or .vstpreset file with --set
// over it, and --save-preset, whose files are the ones a host saves. Run in process.
#include "renderrun.h"
#include "vstpresetfile.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kt3test;
namespace fs = std::filesystem;

namespace {

const std::string kBundle = KT3_BUNDLE_PATH;
const std::string kCommittedPresets = KT3_COMMITTED_PRESETS;
const std::string kProcessorClassId = "3C9E41A75B2D4F089A61C3E27D04B815";

struct Render
{
	ToolRun run;
	StereoAudio audio;
};

// Renders `in.wav` of `dir` with the extra arguments into out.wav; its audio is empty on failure.
Render render (const ScratchFolder& dir, const std::vector<std::string>& extra)
{
	std::vector<std::string> arguments = {"--plugin", kBundle, "--in", dir / "in.wav", "--out", dir / "out.wav",
	                                      "--tail", "0.2"};
	arguments.insert (arguments.end (), extra.begin (), extra.end ());
	Render r {runToolInProcess (arguments), {}};
	std::string error;
	if (r.run.status == 0)
		readAudio (dir / "out.wav", r.audio, error);
	fs::remove (dir / "out.wav");
	return r;
}

void expectSameAudio (const StereoAudio& a, const StereoAudio& b, const std::string& what)
{
	ASSERT_GT (a.frames (), 0u) << what;
	EXPECT_EQ (a.left, b.left) << what;
	EXPECT_EQ (a.right, b.right) << what;
}

// The summary's "plug-in ...: Bypass off, Size 1.50 m, ..." list, without the plug-in's path.
std::string appliedValues (const std::string& summary)
{
	const auto line = summary.find ("\n  plug-in ");
	const auto colon = summary.find (": ", line);
	return line == std::string::npos ? "" : summary.substr (colon + 2, summary.find ('\n', colon) - colon - 2);
}

// A short burst of noise, then silence, as in.wav.
void writeInput (const ScratchFolder& dir)
{
	writeSignal (dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 4800,
	             [] (int64_t f, int c) { return f < 480 ? noiseAt (f, c, 0.5f) : 0.0f; });
}

} // namespace

TEST (RenderPresets, ListedPresetsAreWhatEachPresetApplies)
{
	const ToolRun list = runToolInProcess ({"--plugin", kBundle, "--list-presets"});
	ASSERT_EQ (list.status, 0) << list.err;
	std::istringstream lines (list.out);
	std::vector<std::string> rows;
	for (std::string line; std::getline (lines, line);)
		rows.push_back (line);
	ASSERT_EQ (rows.size (), 8u) << list.out;
	EXPECT_EQ (rows[0], "  Default: Size 7.00 m, HF Damp 70.00 %, Mix 90.00 %, Output 0.00 dB");

	const ScratchFolder dir ("list");
	writeInput (dir);
	for (const auto& row : rows)
	{
		const std::string name = row.substr (2, row.find (':') - 2);
		const Render r = render (dir, {"--preset", name});
		ASSERT_EQ (r.run.status, 0) << name << ": " << r.run.err;
		EXPECT_EQ (appliedValues (r.run.out), "Bypass off, " + row.substr (row.find (": ") + 2) + ", Preset " + name);
	}
}

TEST (RenderPresets, NameInAnyCaseAndFileGiveTheSameRenderAndSetAppliesOverEither)
{
	const ScratchFolder dir ("choose");
	writeInput (dir);
	const Render byName = render (dir, {"--preset", "sMALL rOOM"});
	const Render byFile = render (dir, {"--preset", kCommittedPresets + "/Small Room.vstpreset"});
	const Render plain = render (dir, {});
	ASSERT_EQ (byName.run.status, 0) << byName.run.err;
	ASSERT_EQ (byFile.run.status, 0) << byFile.run.err;
	expectSameAudio (byName.audio, byFile.audio, "the preset by name and by file");
	EXPECT_NE (byName.audio.left, plain.audio.left) << "the preset changes nothing";

	// --set applies over the preset wherever it stands; the preset's other values stay.
	for (const auto& arguments : {std::vector<std::string> {"--preset", "small room", "--set", "Mix=100"},
	                              std::vector<std::string> {"--set", "Mix=100", "--preset", "small room"},
	                              std::vector<std::string> {"--set", "Mix=100", "--preset",
	                                                        kCommittedPresets + "/Small Room.vstpreset"}})
	{
		const Render r = render (dir, arguments);
		ASSERT_EQ (r.run.status, 0) << r.run.err;
		EXPECT_NE (appliedValues (r.run.out).find ("Size 1.50 m, HF Damp 60.00 %, Mix 100.00 %, Output -1.50 dB"),
		           std::string::npos)
		    << r.run.out;
		if (arguments[0] == "--preset")
		{
			EXPECT_NE (r.audio.left, byName.audio.left);
		}
	}
	const Render first = render (dir, {"--preset", "small room", "--set", "Mix=100"});
	const Render last = render (dir, {"--set", "Mix=100", "--preset", "small room"});
	expectSameAudio (first.audio, last.audio, "--set before and after --preset");
}

TEST (RenderPresets, SavedPresetIsTheHostsFileAndRendersAsItsSettings)
{
	const ScratchFolder dir ("save");
	writeInput (dir);
	// Without --in and --out only the preset is written; a factory preset saved under its own
	// name is the very file a host saves after choosing the program.
	const ToolRun saved = runToolInProcess (
	    {"--plugin", kBundle, "--preset", "Small Room", "--save-preset", dir / "Small Room.vstpreset"});
	ASSERT_EQ (saved.status, 0) << saved.err;
	EXPECT_EQ (saved.out, "kt3-render: saved the starting values as the preset " + dir / "Small Room.vstpreset" + "\n");
	EXPECT_EQ (dir.files (), (std::vector<std::string> {"Small Room.vstpreset", "in.wav"}));
	EXPECT_EQ (readBytes (dir / "Small Room.vstpreset"), readBytes (kCommittedPresets + "/Small Room.vstpreset"));

	// A preset with values of its own, saved during a render, then rendered from.
	const Render made = render (dir, {"--preset", "dark chamber", "--set", "Mix=100", "--set", "Output=-3",
	                                  "--save-preset", dir / "Dark Wet.vstpreset"});
	ASSERT_EQ (made.run.status, 0) << made.run.err;
	kt3host::VstPreset preset;
	std::string error;
	ASSERT_TRUE (kt3host::readVstPresetFile (dir / "Dark Wet.vstpreset", kProcessorClassId, preset, error)) << error;
	EXPECT_EQ (preset.name, "Dark Wet");
	EXPECT_EQ (preset.componentState.size (), 40u);
	const Render again = render (dir, {"--preset", dir / "Dark Wet.vstpreset"});
	ASSERT_EQ (again.run.status, 0) << again.run.err;
	expectSameAudio (made.audio, again.audio, "the saved preset");

	// --bypass is saved with the values: rendering from that file passes the input through.
	ASSERT_EQ (runToolInProcess ({"--plugin", kBundle, "--bypass", "--save-preset", dir / "Bypassed.vstpreset"}).status, 0);
	const Render bypassed = render (dir, {"--preset", dir / "Bypassed.vstpreset", "--tail", "0"});
	StereoAudio input;
	ASSERT_TRUE (readAudio (dir / "in.wav", input, error)) << error;
	ASSERT_EQ (bypassed.run.status, 0) << bypassed.run.err;
	EXPECT_EQ (bypassed.audio.left, input.left);
}

TEST (RenderPresets, BadPresetsAreOneLineErrorsAndLeaveNothing)
{
	const ScratchFolder dir ("bad");
	writeInput (dir);
	const std::string committed = readBytes (kCommittedPresets + "/Small Room.vstpreset");
	auto writeFile = [&] (const std::string& name, const std::string& bytes) {
		std::ofstream (dir / name, std::ios::binary) << bytes;
		return dir / name;
	};
	std::string otherClass = committed;
	otherClass[8] = otherClass[8] == '0' ? '1' : '0'; // the class ID's first digit
	const std::string truncated = writeFile ("Truncated.vstpreset", committed.substr (0, committed.size () - 10));
	const std::string foreign = writeFile ("Foreign.vstpreset", otherClass);
	std::string badState = committed;
	// The first chunk is the processor's state: a count, then Size as a double, made a NaN.
	const std::string notANumber ("\0\0\0\0\0\0\xf8\x7f", 8);
	badState.replace (48 + 4, 8, notANumber);
	const std::string refused = writeFile ("Refused.vstpreset", badState);
	struct Case
	{
		std::vector<std::string> arguments;
		int status;
		std::string error;
	};
	const std::vector<Case> cases = {
	    {{"--preset", "Cathedral"}, 2, "no preset 'Cathedral'; the presets are Default, Small Room, Faint Room"},
	    {{"--preset", ""}, 2, "--preset takes a preset's name or a .vstpreset file, not ''"},
	    {{"--preset", "Default", "--preset", "Long Tail"}, 2, "--preset is given twice"},
	    {{"--save-preset", dir / "x.wav"}, 2, "--save-preset takes a file name ending in .vstpreset"},
	    {{"--preset", dir / "missing.vstpreset"}, 1, "missing.vstpreset"},
	    {{"--preset", truncated}, 1, "Truncated.vstpreset"},
	    {{"--preset", foreign}, 1, "Foreign.vstpreset"},
	    {{"--preset", refused}, 1, "the plug-in refuses the preset's processor state"},
	    {{"--save-preset", dir / "no/folder/x.vstpreset"}, 1, "cannot write"},
	    {{"--save-preset", dir.path.string () + "/.vstpreset/"}, 2, "--save-preset takes"},
	};
	const auto before = dir.files ();
	for (const auto& c : cases)
	{
		const Render r = render (dir, c.arguments);
		EXPECT_EQ (r.run.status, c.status) << c.arguments[1] << ": " << r.run.err;
		EXPECT_NE (r.run.err.find (c.error), std::string::npos) << r.run.err;
		EXPECT_EQ (std::count (r.run.err.begin (), r.run.err.end (), '\n'), 1) << r.run.err;
		EXPECT_EQ (dir.files (), before) << c.arguments[1] << " left a file";
	}
}
