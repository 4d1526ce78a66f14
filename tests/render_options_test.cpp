// kt3-render's arguments, read strictly: plain decimal numbers with at most the parameter's
// unit, ranges stated in the error (or clamped with --clamp), on/off for Bypass, --tail and
// --block, and --plugin given a bundle, its module or a link to either. Run in process.
#include "pluginmodule.h"
#include "renderrun.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace kt3test;
namespace fs = std::filesystem;

namespace {

const std::string kBundle = KT3_BUNDLE_PATH;

std::vector<std::string> withArguments (std::vector<std::string> base, const std::vector<std::string>& extra)
{
	base.insert (base.end (), extra.begin (), extra.end ());
	return base;
}

} // namespace

TEST (RenderOptions, ValuesAreStrictAndEveryErrorIsOneLine)
{
	ScratchFolder dir;
	writeSignal (dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 2400, [] (int64_t f, int c) { return noiseAt (f, c, 0.3f); });
	const std::vector<std::string> base = {"--in", dir / "in.wav", "--out", dir / "out.wav", "--tail", "0"};
	struct Case
	{
		std::vector<std::string> arguments;
		std::string error; // expected in the one line; empty: accepted
	};
	const std::vector<Case> cases = {
	    {{"--set", "Size=4,5"}, "Size: '4,5' has a decimal comma; write a point: 4.5"},
	    {{"--set", "Mix=0x10"}, "Mix: '0x10' is not a plain decimal number, optionally followed by %"},
	    {{"--set", "Size=4.5xyz"}, "'4.5xyz' is not a plain decimal number"},
	    {{"--set", "Size=4.5 dB"}, "'4.5 dB' is not a plain decimal number, optionally followed by m"},
	    {{"--set", "Size=1e1"}, "'1e1' is not"},
	    {{"--set", "Size=inf"}, "'inf' is not"},
	    {{"--set", "Size=nan"}, "'nan' is not"},
	    {{"--set", "Size="}, "'' is not"},
	    {{"--set", "Size=12"}, "Size=12 is out of range: Size takes 0.00 to 10.00 m"},
	    {{"--set", "Output=-20.5dB"}, "Output=-20.5dB is out of range: Output takes -20.00 to 20.00 dB"},
	    {{"--set", "Bypass=1"}, "Bypass takes on or off, not '1'"},
	    {{"--set", "size=4"}, "no parameter 'size'; the parameters are Bypass, Size, HF Damp, Mix, Output"},
	    {{"--set", "=4"}, "--set takes NAME=VALUE, not '=4'"},
	    {{"--tail", "0x10"}, "--tail takes auto or seconds from 0 to 600"},
	    {{"--tail", "1e1"}, "--tail takes auto"},
	    {{"--tail", "600.5"}, "--tail takes auto"},
	    {{"--tail", "-1"}, "--tail takes auto"},
	    {{"--tail", "2s"}, "--tail takes auto"},
	    {{"--block", "65537"}, "--block takes a whole number of frames from 1 to 65536, not '65537'"},
	    {{"--block", "0"}, "--block takes"},
	    {{"--block", "+5"}, "--block takes"},
	    {{"--block", "2.0"}, "--block takes"},
	    {{"--channels", "0,1"}, "--channels takes two channel numbers from 1"},
	    {{"--channels", "1"}, "--channels takes"},
	    {{"--channels", "1,2,3"}, "--channels takes"},
	    {{"--format", "PCM16"}, "--format takes float, pcm16 or pcm24, not 'PCM16'"},
	    {{"--set"}, "--set needs a value"},
	    {{"-x"}, "unknown option '-x'"},
	    {{"--set", "Size=4.5m", "--set", "Output=-6dB", "--set", "HF Damp=30 %", "--set", "Mix=+50.", "--set", "Bypass=off"}, ""},
	    {{"--set", "Size=.5", "--tail", "auto", "--block", "65536", "--channels", "2,1"}, ""},
	};
	for (const Case& c : cases)
	{
		const ToolRun r = runToolInProcess (withArguments (base, c.arguments));
		const std::string what = c.arguments.back ();
		if (c.error.empty ())
		{
			EXPECT_EQ (r.status, 0) << what << ": " << r.err;
			EXPECT_EQ (r.err, "") << what;
			continue;
		}
		EXPECT_EQ (r.status, 2) << what;
		EXPECT_EQ (r.err.rfind ("kt3-render: ", 0), 0u) << r.err;
		EXPECT_NE (r.err.find (c.error), std::string::npos) << what << ": " << r.err;
		EXPECT_EQ (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
		EXPECT_EQ (r.out, "") << what;
	}
	EXPECT_EQ (dir.files (), (std::vector<std::string> {"in.wav", "out.wav"}));
}

TEST (RenderOptions, ClampLimitsOutOfRangeValuesWithAWarning)
{
	ScratchFolder dir;
	writeSignal (dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 2400, [] (int64_t, int) { return 0.0f; });
	const ToolRun r = runToolInProcess (
	    {"--in", dir / "in.wav", "--out", dir / "out.wav", "--tail", "0", "--clamp", "--set", "Size=12", "--set", "Output=-30dB"});
	ASSERT_EQ (r.status, 0) << r.err;
	EXPECT_EQ (r.err, "kt3-render: warning: Size=12 is out of range (0.00 to 10.00 m); using 10.00 m\n"
	                  "kt3-render: warning: Output=-30dB is out of range (-20.00 to 20.00 dB); using -20.00 dB\n");
	EXPECT_NE (r.out.find ("Size 10.00 m, HF Damp 70.00 %, Mix 90.00 %, Output -20.00 dB"), std::string::npos) << r.out;
}

TEST (RenderOptions, AnExplicitAutoTailIsTheDefault)
{
	ScratchFolder dir;
	writeSignal (dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 4800, [] (int64_t f, int c) { return noiseAt (f, c, 0.3f); });
	ASSERT_EQ (runToolInProcess ({"--in", dir / "in.wav", "--out", dir / "default.wav"}).status, 0);
	ASSERT_EQ (runToolInProcess ({"--in", dir / "in.wav", "--out", dir / "auto.wav", "--tail", "auto"}).status, 0);
	EXPECT_EQ (readBytes (dir / "default.wav"), readBytes (dir / "auto.wav"));
	EXPECT_GT (readBytes (dir / "auto.wav").size (), 4800u * 8 * 2);
}

TEST (RenderOptions, PluginTakesTheBundleItsModuleOrALinkToEither)
{
	ScratchFolder dir;
	const std::string module = (fs::path (kBundle) / "Contents" / kt3host::kArchitectureFolder / "KT3.so").string ();
	fs::create_symlink (module, dir / "KT3.so");            // as ~/.vst/KT3.so links to it
	fs::create_symlink (kBundle, dir / "Linked.vst3");      // a link to the bundle
	fs::create_symlink (dir / "KT3.so", dir / "again.so");  // a link to a link
	const std::string reference = runToolInProcess ({"--list-params"}).out;
	for (const std::string& plugin : {kBundle, kBundle + "/", module, dir / "KT3.so", dir / "Linked.vst3", dir / "again.so"})
	{
		const ToolRun r = runToolInProcess ({"--plugin", plugin, "--list-params"});
		EXPECT_EQ (r.status, 0) << plugin << ": " << r.err;
		EXPECT_EQ (r.out, reference) << plugin;
	}
	// The summary names the bundle the module belongs to.
	const ToolRun demo = runToolInProcess ({"--plugin", dir / "KT3.so", "--out", dir / "demo.wav", "--tail", "0"});
	ASSERT_EQ (demo.status, 0) << demo.err;
	EXPECT_NE (demo.out.find ("  plug-in " + fs::canonical (kBundle).string () + ": "), std::string::npos) << demo.out;

	std::ofstream (dir / "notes.txt") << "not a plug-in";
	for (const auto& [plugin, said] : std::vector<std::pair<std::string, std::string>> {
	         {dir / "notes.txt", "is neither a VST 3 bundle (a .vst3 folder) nor a VST 3 module (a .so file)"},
	         {dir / "missing.vst3", "does not exist"},
	         {dir.path.string (), "cannot open shared object file"}})
	{
		const ToolRun r = runToolInProcess ({"--plugin", plugin, "--list-params"});
		EXPECT_EQ (r.status, 1) << plugin;
		EXPECT_NE (r.err.find ("kt3-render: cannot load plug-in '" + plugin + "': "), std::string::npos) << r.err;
		EXPECT_NE (r.err.find (said), std::string::npos) << r.err;
		EXPECT_EQ (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
	}
}
