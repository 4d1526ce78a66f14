// kt3-render's presets: --list-presets, --preset by name (any case) or .vstpreset file with --set
// over it, and --save-preset, whose files are the ones a host saves. Run in process.
#include "renderrun.h"
#include "vstpresetfile.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
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

// A run that fails: its arguments, exit status and a part of its error.
struct FailingRun
{
	std::vector<std::string> arguments;
	int status;
	std::string error;
};

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
	// Control bytes in the class ID and in a chunk ID (whose entry points past the file's end).
	std::string escapeInClass = committed;
	escapeInClass.replace (8, 4, "\n\x1b[2");
	std::string escapeInChunk = committed;
	escapeInChunk.replace (committed.size () - 20, 4, "\n\x1b[J");
	escapeInChunk.replace (committed.size () - 8, 8, std::string (8, '\xff'));
	const std::string classEscape = writeFile ("ClassEscape.vstpreset", escapeInClass);
	const std::string chunkEscape = writeFile ("ChunkEscape.vstpreset", escapeInChunk);
	// Files that are not regular or too large are refused before they are read: nothing blocks
	// on a FIFO, nothing reads /dev/zero or a 512 MiB file.
	fs::create_directory (dir / "Folder.vstpreset");
	ASSERT_EQ (mkfifo ((dir / "Fifo.vstpreset").c_str (), 0600), 0);
	fs::create_symlink ("/dev/zero", dir / "Zero.vstpreset");
	writeFile ("Huge.vstpreset", "");
	fs::resize_file (dir / "Huge.vstpreset", 512u << 20);
	const std::vector<FailingRun> cases = {
	    {{"--preset", "Cathedral"}, 2, "no preset 'Cathedral'; the presets are Default, Small Room, Faint Room"},
	    {{"--preset", ""}, 2, "--preset takes a preset's name or a .vstpreset file, not ''"},
	    {{"--preset", "Default", "--preset", "Long Tail"}, 2, "--preset is given twice"},
	    {{"--save-preset", dir / "x.wav"}, 2, "--save-preset takes a file name ending in .vstpreset"},
	    {{"--preset", dir / "missing.vstpreset"}, 1, "missing.vstpreset"},
	    {{"--preset", truncated}, 1, "Truncated.vstpreset"},
	    {{"--preset", foreign}, 1, "Foreign.vstpreset"},
	    {{"--preset", refused}, 1, "the plug-in refuses the preset's processor state"},
	    {{"--preset", classEscape}, 1, "(class ID \\x0a\\x1b[2"},
	    {{"--preset", chunkEscape}, 1, "the chunk \"\\x0a\\x1b[J\" lies outside the file"},
	    {{"--preset", dir / "Folder.vstpreset"}, 1, "Folder.vstpreset: not a regular file"},
	    {{"--preset", dir / "Fifo.vstpreset"}, 1, "Fifo.vstpreset: not a regular file"},
	    {{"--preset", dir / "Zero.vstpreset"}, 1, "Zero.vstpreset: not a regular file"},
	    {{"--preset", dir / "Huge.vstpreset"}, 1, "Huge.vstpreset: larger than 1 MiB"},
	    {{"--set", "Size=4\n5"}, 2, "Size: '4\\x0a5' is not a plain decimal number"},
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
		EXPECT_EQ (r.run.err.find ('\x1b'), std::string::npos) << r.run.err;
		EXPECT_EQ (dir.files (), before) << c.arguments[1] << " left a file";
	}
}

// A run's outputs appear together or not at all: a --save-preset that cannot be written leaves
// --out unwritten and a file there untouched, and a preset path that is the input's or the
// output's file (through links) is refused before anything is written.
TEST (RenderPresets, OutputsAppearTogetherAndAPresetPathIsNeverTheAudiosFile)
{
	const ScratchFolder dir ("together");
	writeInput (dir);
	const std::string input = readBytes (dir / "in.wav");
	std::ofstream (dir / "out.wav") << "what was there";
	fs::create_directory (dir / "Folder.vstpreset");
	ASSERT_EQ (mkfifo ((dir / "Fifo.vstpreset").c_str (), 0600), 0);
	fs::create_symlink ("out.wav", dir / "ToOut.vstpreset");
	fs::create_symlink (dir / "in.wav", dir / "ToIn.vstpreset");
	fs::create_hard_link (dir / "out.wav", dir / "Hard.vstpreset");
	const std::vector<std::string> everyFile = dir.files ();
	const std::vector<FailingRun> cases = {
	    {{"--save-preset", "/proc/x.vstpreset"}, 1, "cannot write '/proc/x.vstpreset'"},
	    {{"--save-preset", dir / "no/folder/x.vstpreset"}, 1, "cannot write"},
	    {{"--save-preset", dir / "Folder.vstpreset"}, 1, "it exists and is not a regular file"},
	    {{"--save-preset", dir / "Fifo.vstpreset"}, 1, "it exists and is not a regular file"},
	    {{"--save-preset", dir / "ToOut.vstpreset"}, 2, "is the same file as --out"},
	    {{"--save-preset", dir / "Hard.vstpreset"}, 2, "is the same file as --out"},
	    {{"--save-preset", dir / "ToIn.vstpreset"}, 2, "is the same file as --in"},
	    {{"--preset", dir / "ToOut.vstpreset"}, 2, "is the same file as --out"},
	};
	for (const FailingRun& c : cases)
	{
		std::vector<std::string> arguments = {"--plugin", kBundle, "--in", dir / "in.wav", "--out", dir / "out.wav"};
		arguments.insert (arguments.end (), c.arguments.begin (), c.arguments.end ());
		const ToolRun r = runToolInProcess (arguments);
		EXPECT_EQ (r.status, c.status) << c.arguments[1] << ": " << r.err;
		EXPECT_NE (r.err.find (c.error), std::string::npos) << r.err;
		EXPECT_TRUE (readBytes (dir / "out.wav") == "what was there") << c.arguments[1];
		EXPECT_TRUE (readBytes (dir / "in.wav") == input) << c.arguments[1];
		EXPECT_EQ (dir.files (), everyFile) << c.arguments[1];
	}
	// The preset file itself may be saved over: it is read before anything is written.
	ASSERT_EQ (runToolInProcess ({"--plugin", kBundle, "--save-preset", dir / "Mine.vstpreset"}).status, 0);
	const ToolRun over = runToolInProcess ({"--plugin", kBundle, "--in", dir / "in.wav", "--out", dir / "out.wav",
	                                        "--preset", dir / "Mine.vstpreset", "--set", "Mix=10",
	                                        "--save-preset", dir / "Mine.vstpreset"});
	ASSERT_EQ (over.status, 0) << over.err;
	EXPECT_FALSE (readBytes (dir / "out.wav") == "what was there");
}
