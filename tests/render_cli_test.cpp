// kt3-render's command line: --version, --help, its man page and its default plug-in. The
// options the parser takes (the option literals in tools/renderoptions.cpp), those --help lists and
// those the man page describes must be the same set; each one listed must be accepted with the
// value the help names; the man page must render without warnings; an installed copy must
// default to the bundle installed beside it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kTool = KT3_RENDER_PATH;
const std::string kSource = KT3_RENDER_SOURCE;
const std::string kManPage = KT3_MAN_PAGE_PATH;
const std::string kBuildBundle = KT3_BUNDLE_PATH;
const std::string kBundleFromBinDir = KT3_BUNDLE_FROM_BIN_DIR;
const std::string kVersion = KT3_PROJECT_VERSION;

std::string readFile (const fs::path& path)
{
	std::ifstream file (path, std::ios::binary);
	std::ostringstream text;
	text << file.rdbuf ();
	return text.str ();
}

// A scratch folder of the test's own (tests run in parallel), empty, removed with the object.
struct Scratch
{
	fs::path path;
	explicit Scratch (const std::string& name)
	{
		const auto* test = ::testing::UnitTest::GetInstance ()->current_test_info ();
		path = fs::path (::testing::TempDir ()) /
		       ("kt3-render-cli-" + std::string (test->name ()) + "-" + name + "-" + std::to_string (getpid ()));
		fs::remove_all (path);
		fs::create_directories (path);
		path = fs::canonical (path);
	}
	~Scratch ()
	{
		std::error_code error;
		fs::remove_all (path, error);
	}
	Scratch (const Scratch&) = delete;
	Scratch& operator= (const Scratch&) = delete;
};

struct Outcome
{
	int status = -1; // the exit status, or -1 when the program did not exit normally
	std::string out, err;
};

// Runs `program` with `arguments` (no shell), in `cwd` if given, and collects its output.
Outcome run (const std::string& program, const std::vector<std::string>& arguments, const fs::path& cwd = {})
{
	const Scratch scratch ("run");
	const fs::path& dir = scratch.path;
	const std::string outPath = (dir / "stdout").string (), errPath = (dir / "stderr").string ();
	const pid_t pid = fork ();
	if (pid == 0)
	{
		if (!cwd.empty () && chdir (cwd.c_str ()) != 0)
			_exit (126);
		const int in = open ("/dev/null", O_RDONLY);
		const int out = open (outPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		const int err = open (errPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		if (in < 0 || out < 0 || err < 0 || dup2 (in, 0) < 0 || dup2 (out, 1) < 0 || dup2 (err, 2) < 0)
			_exit (126);
		std::vector<char*> argv;
		argv.push_back (const_cast<char*> (program.c_str ()));
		for (const auto& a : arguments)
			argv.push_back (const_cast<char*> (a.c_str ()));
		argv.push_back (nullptr);
		execv (program.c_str (), argv.data ());
		_exit (127);
	}
	Outcome result;
	int status = 0;
	if (pid > 0 && waitpid (pid, &status, 0) == pid && WIFEXITED (status))
		result.status = WEXITSTATUS (status);
	result.out = readFile (outPath);
	result.err = readFile (errPath);
	return result;
}

// Runs a command through the shell (for groff, found on PATH).
Outcome shell (const std::string& command)
{
	return run ("/bin/sh", {"-c", command});
}

std::string quoted (const std::string& text)
{
	std::string q = "'";
	for (char c : text)
		q += c == '\'' ? std::string ("'\\''") : std::string (1, c);
	return q + "'";
}

std::string help ()
{
	const Outcome r = run (kTool, {"--help"});
	EXPECT_EQ (r.status, 0) << r.err;
	return r.out;
}

// The man page as text: comments dropped, roff's minus signs and other escapes as typed.
std::string manText ()
{
	std::istringstream page (readFile (kManPage));
	std::string text, line;
	while (std::getline (page, line))
	{
		if (line.rfind (".\\\"", 0) == 0)
			continue;
		for (const auto& [escape, plain] : {std::pair<std::string, std::string> {"\\-", "-"}, {"\\|", ""}, {"\\ ", " "}, {"\\%", ""},
		                                {"\\fB", ""}, {"\\fI", ""}, {"\\fR", ""}, {"\\fP", ""}, {"\\e", "\\"}})
			for (size_t at = line.find (escape); at != std::string::npos; at = line.find (escape, at + plain.size ()))
				line.replace (at, escape.size (), plain);
		text += line + "\n";
	}
	return text;
}

// The option words in a text: every --word, and every -x of a single letter, standing on their
// own (not inside kt3-render or -dry).
std::set<std::string> optionWords (const std::string& text)
{
	std::set<std::string> words;
	static const std::regex word ("(?:^|[^A-Za-z0-9_-])(-{1,2}[A-Za-z][A-Za-z0-9-]*)");
	for (auto it = std::sregex_iterator (text.begin (), text.end (), word); it != std::sregex_iterator (); ++it)
	{
		const std::string w = (*it)[1];
		if (w.compare (0, 2, "--") == 0 || w.size () == 2)
			words.insert (w);
	}
	return words;
}

// The options the parser compares its arguments with: the string literals in renderoptions.cpp
// that are an option and nothing else.
std::set<std::string> parserOptions ()
{
	const std::string source = readFile (kSource);
	std::set<std::string> options;
	static const std::regex literal ("\"(-{1,2}[A-Za-z][A-Za-z0-9-]*)\"");
	for (auto it = std::sregex_iterator (source.begin (), source.end (), literal); it != std::sregex_iterator (); ++it)
	{
		const std::string w = (*it)[1];
		if (w.compare (0, 2, "--") == 0 || w.size () == 2)
			options.insert (w);
	}
	return options;
}

std::string listed (const std::set<std::string>& words)
{
	std::string s;
	for (const auto& w : words)
		s += " " + w;
	return s.empty () ? " (none)" : s;
}

std::set<std::string> minus (const std::set<std::string>& a, const std::set<std::string>& b)
{
	std::set<std::string> d;
	for (const auto& w : a)
		if (!b.count (w))
			d.insert (w);
	return d;
}

// The option entries of --help: "  -h, --help  ..." or "  --block N  ...", option to its value
// (empty for a switch).
std::map<std::string, std::string> helpEntries (const std::string& text)
{
	std::map<std::string, std::string> entries;
	static const std::regex entry ("^  (?:(-[A-Za-z]), )?(--[a-z][a-z-]*)(?: ([A-Z][A-Z=,]*))?  ");
	std::istringstream lines (text);
	std::string line;
	std::smatch m;
	while (std::getline (lines, line))
		if (std::regex_search (line, m, entry))
		{
			entries[m[2]] = m[3];
			if (m[1].matched)
				entries[m[1]] = m[3];
		}
	return entries;
}

// The option entries of the man page: the tags of its .TP paragraphs that name options, option
// to the name of its value (".BI --block \" N\"": "N"; empty for a switch).
std::map<std::string, std::string> manEntries (const std::string& text)
{
	std::map<std::string, std::string> entries;
	static const std::regex valued ("^\\.BI -[-A-Za-z]+ \" ([A-Z,]+)\"");
	std::istringstream lines (text);
	std::string line, tag;
	bool tagNext = false;
	while (std::getline (lines, line))
	{
		if (tagNext)
		{
			std::smatch m;
			const std::string value = std::regex_search (line, m, valued) ? std::string (m[1]) : std::string ();
			for (const auto& option : optionWords (line))
				entries[option] = value;
		}
		tagNext = line == ".TP";
	}
	return entries;
}

std::vector<std::string> trimmedLines (const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream in (text);
	std::string line;
	while (std::getline (in, line))
	{
		const auto first = line.find_first_not_of (' ');
		if (first != std::string::npos)
			lines.push_back (line.substr (first, line.find_last_not_of (' ') - first + 1));
	}
	return lines;
}

bool hasLine (const std::vector<std::string>& lines, const std::string& line)
{
	return std::find (lines.begin (), lines.end (), line) != lines.end ();
}

// The bundle an installed kt3-render at `exe` takes by default, as the rule says.
std::string installedBundleFor (const fs::path& exe)
{
	return (fs::canonical (exe).parent_path () / kBundleFromBinDir).lexically_normal ().string ();
}

// A scratch install: kt3-render copied into <root>/prefix/bin, and the build's bundle where
// an installed one would be from there.
struct ScratchInstall
{
	fs::path exe, bundle;
	explicit ScratchInstall (const fs::path& root)
	{
		const fs::path bin = root / "prefix" / "bin";
		fs::create_directories (bin);
		exe = bin / "kt3-render";
		fs::copy_file (kTool, exe);
		fs::permissions (exe, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
		bundle = (bin / kBundleFromBinDir).lexically_normal ();
		fs::create_directories (bundle.parent_path ());
		fs::copy (kBuildBundle, bundle, fs::copy_options::recursive);
	}
};

} // namespace

TEST (Version, PrintsTheProjectVersionAndExitsZero)
{
	const Outcome r = run (kTool, {"--version"});
	EXPECT_EQ (r.status, 0);
	EXPECT_EQ (r.out, "kt3-render " + kVersion + "\n");
	EXPECT_EQ (r.err, "");
}

TEST (Help, GoesToStandardOutputAndExitsZero)
{
	const Outcome longForm = run (kTool, {"--help"}), shortForm = run (kTool, {"-h"});
	EXPECT_EQ (longForm.status, 0);
	EXPECT_EQ (shortForm.status, 0);
	EXPECT_EQ (longForm.err, "");
	EXPECT_EQ (longForm.out, shortForm.out);
	EXPECT_EQ (longForm.out.rfind ("kt3-render " + kVersion + ":", 0), 0u) << longForm.out;
	EXPECT_NE (longForm.out.find ("\nusage: kt3-render "), std::string::npos);
	for (const char* section : {"Output format", "Demo:", "Exit status:"})
		EXPECT_NE (longForm.out.find (section), std::string::npos) << section;
	// Lines fit a terminal of 80 columns (but for the default plug-in's path).
	std::istringstream lines (longForm.out);
	for (std::string line; std::getline (lines, line);)
	{
		if (line.find ("Default: /") == std::string::npos)
		{
			EXPECT_LE (line.size (), 80u) << line;
		}
	}
}

TEST (Help, UsageErrorsAreOneLineAndExitTwo)
{
	const Outcome unknown = run (kTool, {"--frobnicate"});
	EXPECT_EQ (unknown.status, 2);
	EXPECT_EQ (unknown.out, "");
	EXPECT_EQ (unknown.err, "kt3-render: unknown option '--frobnicate' (kt3-render --help lists them)\n");
}

TEST (Help, ListsExactlyTheOptionsTheParserTakesAsDoesTheManPage)
{
	const std::set<std::string> parser = parserOptions ();
	ASSERT_GE (parser.size (), 15u) << "options found in " << kSource << ":" << listed (parser);
	for (const char* option : {"--plugin", "--in", "--channels", "--out", "--format", "--set", "--clamp", "--bypass",
	                           "--block", "--tail", "--list-params", "--formats", "-h", "--help", "--version", "--preset",
	                           "--save-preset", "--list-presets"})
		EXPECT_TRUE (parser.count (option)) << option << " not found in " << kSource;

	const std::set<std::string> inHelp = optionWords (help ()), inMan = optionWords (manText ());
	EXPECT_EQ (minus (parser, inHelp), std::set<std::string> ()) << "taken by the parser, missing in --help:"
	                                                           << listed (minus (parser, inHelp));
	EXPECT_EQ (minus (inHelp, parser), std::set<std::string> ()) << "in --help, not taken by the parser:"
	                                                           << listed (minus (inHelp, parser));
	EXPECT_EQ (minus (parser, inMan), std::set<std::string> ()) << "taken by the parser, missing in the man page:"
	                                                          << listed (minus (parser, inMan));
	EXPECT_EQ (minus (inMan, parser), std::set<std::string> ()) << "in the man page, not taken by the parser:"
	                                                          << listed (minus (inMan, parser));

	// Each option has an entry of its own in both option lists, with the same value name.
	std::set<std::string> helpListed, manListed;
	const auto helpValues = helpEntries (help ());
	const auto manValues = manEntries (manText ());
	for (const auto& [option, value] : helpValues)
		helpListed.insert (option);
	for (const auto& [option, value] : manValues)
		manListed.insert (option);
	EXPECT_EQ (helpListed, parser) << "--help's option entries:" << listed (helpListed);
	EXPECT_EQ (manListed, parser) << "the man page's option entries:" << listed (manListed);
	for (const auto& [option, value] : helpValues)
	{
		if (manValues.count (option))
		{
			EXPECT_EQ (value.substr (0, value.find ('=')), manValues.at (option)) << option;
		}
	}
}

TEST (Help, EveryOptionIsAcceptedWithTheValueItNames)
{
	const Scratch scratch ("values");
	const fs::path& dir = scratch.path;
	const std::map<std::string, std::string> sample = {
	    {"BUNDLE", kBuildBundle}, {"FILE", (dir / "file.wav").string ()}, {"NAME=VALUE", "Size=4.5"},
	    {"N", "256"},            {"SECONDS", "0.5"},                    {"FORMAT", "pcm24"},
	    {"L,R", "1,2"},          {"PRESET", "Small Room"},
	};
	// Values that the option's own rule needs in place of the sample for their name.
	const std::map<std::string, std::string> ownSample = {{"--save-preset", (dir / "file.vstpreset").string ()}};
	const auto entries = helpEntries (help ());
	ASSERT_FALSE (entries.empty ());
	for (const auto& [option, value] : entries)
	{
		std::vector<std::string> arguments {option};
		if (!value.empty ())
		{
			ASSERT_TRUE (sample.count (value)) << "no sample value for " << option << " " << value;
			arguments.push_back (ownSample.count (option) ? ownSample.at (option) : sample.at (value));
		}
		arguments.push_back ("--list-params"); // acts on nothing else: no audio read or written
		const Outcome r = run (kTool, arguments);
		EXPECT_EQ (r.status, 0) << option << " " << value << ": " << r.err;
		EXPECT_EQ (r.err.find ("unknown option"), std::string::npos) << option;
		if (!value.empty ())
		{
			const Outcome bare = run (kTool, {option});
			EXPECT_EQ (bare.status, 2) << option;
			EXPECT_NE (bare.err.find (option + " needs a value"), std::string::npos) << option << ": " << bare.err;
		}
	}
	EXPECT_FALSE (fs::exists (dir / "file.wav"));
	EXPECT_FALSE (fs::exists (dir / "file.vstpreset"));
}

TEST (Help, ParameterTablesAreThePluginsOwn)
{
	const Outcome list = run (kTool, {"--list-params"});
	ASSERT_EQ (list.status, 0) << list.err;
	const auto parameters = trimmedLines (list.out);
	ASSERT_EQ (parameters.size (), 6u) << list.out;
	const auto helpLines = trimmedLines (help ()), manLines = trimmedLines (manText ());
	for (const auto& p : parameters)
	{
		EXPECT_TRUE (hasLine (helpLines, p)) << "--help lacks '" << p << "'";
		EXPECT_TRUE (hasLine (manLines, p)) << "the man page lacks '" << p << "'";
	}
	static const std::regex row ("^[A-Za-z][A-Za-z ]*: .+ to .+ \\(default .+\\)$");
	for (const auto* lines : {&helpLines, &manLines})
		for (const auto& line : *lines)
		{
			if (std::regex_match (line, row))
			{
				EXPECT_TRUE (hasLine (parameters, line)) << "'" << line << "' is not in --list-params";
			}
		}
}

TEST (Help, DefaultsAreTheOnesUsed)
{
	const std::string text = help ();
	for (const char* said : {"Default: 512 frames.", "Default: kt3-render.wav, or kt3-demo.wav without --in",
	                         "Default: auto, until", "Default: 1,2, or 1,1 for a mono input.",
	                         "Default: such a value is an error."})
		EXPECT_NE (text.find (said), std::string::npos) << said;

	// Without --in and --out: the demo into kt3-demo.wav beside kt3-demo-dry.wav, blocks of 512.
	const Scratch scratch ("defaults");
	const fs::path& dir = scratch.path;
	const Outcome demo = run (kTool, {"--tail", "0"}, dir);
	ASSERT_EQ (demo.status, 0) << demo.err;
	EXPECT_TRUE (fs::exists (dir / "kt3-demo.wav"));
	EXPECT_TRUE (fs::exists (dir / "kt3-demo-dry.wav"));
	EXPECT_NE (demo.out.find ("48000 Hz, 2.50 s (120000 frames, 0.00 s tail), blocks of 512\n"), std::string::npos)
	    << demo.out;
	// With --in and without --out: kt3-render.wav.
	const Outcome file = run (kTool, {"--in", "kt3-demo-dry.wav", "--tail", "0"}, dir);
	ASSERT_EQ (file.status, 0) << file.err;
	EXPECT_TRUE (fs::exists (dir / "kt3-render.wav"));
	EXPECT_NE (file.out.find ("kt3-render: kt3-demo-dry.wav -> kt3-render.wav\n"), std::string::npos) << file.out;
}

TEST (ManPage, CarriesTheProjectVersion)
{
	const std::string page = readFile (kManPage);
	ASSERT_FALSE (page.empty ()) << kManPage;
	EXPECT_NE (page.find ("\n.TH KT3\\-RENDER 1 \"\" \"KT3 " + kVersion + "\""), std::string::npos);
	EXPECT_NE (page.find ("kt3\\-render " + kVersion), std::string::npos);
	EXPECT_EQ (page.find ('@'), std::string::npos) << "a placeholder left unfilled";
	for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES", "EXAMPLES",
	                            "SEE ALSO"})
		EXPECT_NE (page.find (std::string ("\n.SH ") + section + "\n"), std::string::npos) << section;
}

TEST (ManPage, RendersWithoutWarnings)
{
	for (const char* device : {"", " -Tutf8", " -Tascii -rLL=65n"})
	{
		const Outcome r = shell (std::string ("groff -man -ww -z -b") + device + " " + quoted (kManPage));
		ASSERT_NE (r.status, 127) << "groff is missing: install groff-base (scripts/install-deps.sh lists it)";
		EXPECT_EQ (r.status, 0) << device;
		EXPECT_EQ (r.err, "") << "groff" << device;
	}
}

TEST (DefaultPlugin, IsTheBuildTreesBundleForTheBuiltProgram)
{
	const std::string installed = installedBundleFor (kTool);
	const std::string expected = fs::exists (installed) ? installed : kBuildBundle;
	EXPECT_NE (help ().find ("  --plugin BUNDLE  the VST 3 bundle (a .vst3 folder) to load, its module\n"
	                         "                   (the .so in Contents/" KT3_ARCHITECTURE_FOLDER ") or a link to either.\n"
	                         "                   Default: " + expected + "\n"),
	           std::string::npos);
}

TEST (DefaultPlugin, IsTheBundleInstalledBesideAnInstalledCopy)
{
	const Scratch scratch ("install");
	const fs::path& root = scratch.path;
	const ScratchInstall install (root);
	ASSERT_EQ (installedBundleFor (install.exe), install.bundle.string ());

	const Outcome h = run (install.exe.string (), {"--help"});
	ASSERT_EQ (h.status, 0);
	EXPECT_NE (h.out.find ("Default: " + install.bundle.string () + "\n"), std::string::npos) << h.out;
	EXPECT_EQ (h.out.find (kBuildBundle), std::string::npos) << h.out;

	// It lists the parameters and renders through it.
	const Outcome list = run (install.exe.string (), {"--list-params"});
	EXPECT_EQ (list.status, 0) << list.err;
	EXPECT_EQ (list.out, run (kTool, {"--list-params"}).out);
	const Outcome demo = run (install.exe.string (), {"--tail", "0", "--out", (root / "demo.wav").string ()});
	EXPECT_EQ (demo.status, 0) << demo.err;
	EXPECT_TRUE (fs::exists (root / "demo.wav"));

	// Started through a symbolic link elsewhere, it still finds the bundle from its real path.
	fs::create_directories (root / "elsewhere");
	fs::create_symlink (install.exe, root / "elsewhere" / "kt3-render");
	const Outcome linked = run ((root / "elsewhere" / "kt3-render").string (), {"--help"});
	EXPECT_NE (linked.out.find ("Default: " + install.bundle.string () + "\n"), std::string::npos) << linked.out;

	// It really loads that bundle: with the module gone from it, the load fails and names it.
	fs::remove_all (install.bundle / "Contents" / KT3_ARCHITECTURE_FOLDER);
	const Outcome broken = run (install.exe.string (), {"--list-params"});
	EXPECT_EQ (broken.status, 1);
	EXPECT_EQ (broken.err.rfind ("kt3-render: cannot load plug-in '" + install.bundle.string () + "'", 0), 0u) << broken.err;

	// Without an installed bundle it falls back to the build tree's.
	fs::remove_all (install.bundle);
	const Outcome fallback = run (install.exe.string (), {"--help"});
	EXPECT_NE (fallback.out.find ("Default: " + kBuildBundle + "\n"), std::string::npos) << fallback.out;
	EXPECT_EQ (run (install.exe.string (), {"--list-params"}).status, 0);
}
