// kt3-render's files: inputs that lie about their length, are truncated or hold non-finite
// samples; outputs that appear whole or not at all, clip in integer formats and take their
// format from the extension and --format.
#include "pluginmodule.h"
#include "renderrun.h"
#include "replacementset.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <fstream>

using namespace kt3test;
namespace fs = std::filesystem;

namespace {

constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

void writeNoise (const std::string& path, int format, int64_t frames, float amplitude = 0.5f, int channels = 2)
{
	writeSignal (path, format, 48000, channels, frames, [=] (int64_t f, int c) { return noiseAt (f, c, amplitude); });
}

SF_INFO infoOf (const std::string& path)
{
	SF_INFO info {};
	if (SNDFILE* file = sf_open (path.c_str (), SFM_READ, &info))
		sf_close (file);
	return info;
}

void patchBytes (const std::string& path, size_t at, const std::string& bytes)
{
	std::fstream file (path, std::ios::in | std::ios::out | std::ios::binary);
	file.seekp (std::streamoff (at));
	file.write (bytes.data (), std::streamsize (bytes.size ()));
}

void truncateTo (const std::string& path, size_t bytes)
{
	fs::resize_file (path, bytes);
}

// FLAC's STREAMINFO total-samples field (36 bits from byte 21's low nibble) set to `frames`.
void setFlacTotalSamples (const std::string& path, uint64_t frames)
{
	std::string bytes = readBytes (path).substr (21, 5);
	bytes[0] = char ((bytes[0] & 0xF0) | ((frames >> 32) & 0x0F));
	for (int i = 0; i < 4; ++i)
		bytes[size_t (1 + i)] = char ((frames >> (24 - 8 * i)) & 0xFF);
	patchBytes (path, 21, bytes);
}

int64_t countBeyondFullScale (const StereoAudio& audio, int channel)
{
	int64_t n = 0;
	for (float v : channel ? audio.right : audio.left)
		n += std::fabs (v) > 1.0f;
	return n;
}

} // namespace

TEST (RenderInput, AFileOfUnknownOrImplausibleLengthIsReadToItsEnd)
{
	ScratchFolder dir;
	// A FLAC whose header leaves the length unknown (total samples 0, as in a stub left by
	// an interrupted write) and one that claims 2^36 - 1 frames: neither count is believed.
	for (const uint64_t claimed : {uint64_t (0), (uint64_t (1) << 36) - 1})
	{
		writeNoise (dir / "in.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 30000);
		setFlacTotalSamples (dir / "in.flac", claimed);
		const ToolRun r = runTool ({"--in", dir / "in.flac", "--out", dir / "out.wav", "--tail", "0.5"},
		                           {64u << 20, RLIM_INFINITY});
		EXPECT_EQ (r.status, 0) << claimed << ": " << r.err;
		EXPECT_EQ (infoOf (dir / "out.wav").frames, 30000 + 24000) << claimed;
	}
}

TEST (RenderInput, ATruncatedFileIsAnErrorAndWritesNothing)
{
	ScratchFolder dir;
	struct Case
	{
		const char* name;
		int format;
		size_t keep; // bytes kept
	};
	for (const Case& c : {Case {"first100.wav", kWavFloat, 100}, Case {"half.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 150000},
	                      Case {"half.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 100000},
	                      Case {"half.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 60000}})
	{
		writeNoise (dir / c.name, c.format, 48000);
		truncateTo (dir / c.name, c.keep);
		const ToolRun r = runTool ({"--in", dir / c.name, "--out", dir / "out.wav"});
		EXPECT_EQ (r.status, 1) << c.name;
		EXPECT_NE (r.err.find ("is truncated"), std::string::npos) << c.name << ": " << r.err;
		EXPECT_EQ (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
		EXPECT_FALSE (fs::exists (dir / "out.wav")) << c.name;
	}
	EXPECT_EQ (dir.files ().size (), 4u) << "no temporary file left";
}

// A FIFO, a device, a folder or a bundle whose module is a FIFO is refused before anything is
// read from it, at once.
TEST (RenderInput, OnlyRegularFilesAreRead)
{
	ScratchFolder dir;
	ASSERT_EQ (mkfifo ((dir / "fifo.wav").c_str (), 0600), 0);
	fs::create_symlink ("/dev/zero", dir / "zero.wav");
	fs::create_directory (dir / "folder.wav");
	const fs::path folder = fs::path (dir / "Fifo.vst3/Contents") / kt3host::kArchitectureFolder;
	fs::create_directories (folder);
	ASSERT_EQ (mkfifo ((folder / "Fifo.so").c_str (), 0600), 0);
	for (const std::vector<std::string>& arguments :
	     {std::vector<std::string> {"--in", dir / "fifo.wav"}, {"--in", dir / "zero.wav"}, {"--in", dir / "folder.wav"},
	      {"--plugin", dir / "Fifo.vst3", "--list-params"}})
	{
		std::vector<std::string> all = arguments;
		all.insert (all.end (), {"--out", dir / "out.wav"});
		const ToolRun r = runToolInProcess (all);
		EXPECT_EQ (r.status, 1) << arguments[1];
		EXPECT_NE (r.err.find ("not a regular file"), std::string::npos) << r.err;
		EXPECT_EQ (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
	}
	EXPECT_FALSE (fs::exists (dir / "out.wav"));
}

TEST (RenderInput, ANonFiniteSampleIsAnErrorNamingItsPosition)
{
	ScratchFolder dir;
	for (const float bad : {NAN, INFINITY, -INFINITY})
	{
		writeSignal (dir / "in.wav", kWavFloat, 48000, 2, 60000,
		             [=] (int64_t f, int c) { return f == 54321 && c == 1 ? bad : 0.25f; });
		const ToolRun r = runTool ({"--in", dir / "in.wav", "--out", dir / "out.wav"});
		EXPECT_EQ (r.status, 1);
		EXPECT_NE (r.err.find ("the sample at frame 54321 (1.131687 s), channel 2, is not a finite number"),
		           std::string::npos)
		    << r.err;
		EXPECT_FALSE (fs::exists (dir / "out.wav"));
	}
}

TEST (RenderInput, MoreThanTwoChannelsNeedChannelsToPickTwo)
{
	ScratchFolder dir;
	writeSignal (dir / "quad.wav", kWavFloat, 48000, 4, 4800, [] (int64_t f, int c) { return noiseAt (f, c, 0.1f * float (c + 1)); });
	const ToolRun refused = runTool ({"--in", dir / "quad.wav", "--out", dir / "out.wav"});
	EXPECT_EQ (refused.status, 2);
	EXPECT_NE (refused.err.find ("has 4 channels; choose the two to render with --channels L,R"), std::string::npos)
	    << refused.err;
	EXPECT_EQ (runTool ({"--in", dir / "quad.wav", "--out", dir / "out.wav", "--channels", "2,5"}).status, 2);
	EXPECT_FALSE (fs::exists (dir / "out.wav"));

	// Bypassed, the output is exactly the channels picked.
	const ToolRun picked = runTool ({"--in", dir / "quad.wav", "--out", dir / "out.wav", "--channels", "4,2", "--bypass",
	                                 "--tail", "0"});
	ASSERT_EQ (picked.status, 0) << picked.err;
	StereoAudio out;
	std::string error;
	ASSERT_TRUE (readAudio (dir / "out.wav", out, error)) << error;
	ASSERT_EQ (out.frames (), 4800u);
	for (int64_t f = 0; f < 4800; ++f)
	{
		ASSERT_EQ (out.left[size_t (f)], noiseAt (f, 3, 0.4f)) << f;
		ASSERT_EQ (out.right[size_t (f)], noiseAt (f, 1, 0.2f)) << f;
	}
}

TEST (RenderOutput, IntegerFormatsClipAndCountWhatTheyClipFloatKeepsAll)
{
	// Loud noise 20 dB up goes far over full scale. The float render keeps every sample; FLAC
	// and 16- and 24-bit WAV and AIFF hold full scale at most, and the summary counts per
	// channel exactly the samples the float render has beyond it.
	ScratchFolder dir;
	writeNoise (dir / "loud.wav", kWavFloat, 24000, 0.9f);
	const std::vector<std::string> settings = {"--set", "Output=20", "--set", "Mix=100", "--tail", "0.2"};
	auto render = [&] (const std::string& out, const std::vector<std::string>& extra) {
		std::vector<std::string> arguments = {"--in", dir / "loud.wav", "--out", dir / out};
		arguments.insert (arguments.end (), settings.begin (), settings.end ());
		arguments.insert (arguments.end (), extra.begin (), extra.end ());
		return runTool (arguments);
	};
	const ToolRun floatRun = render ("float.wav", {});
	ASSERT_EQ (floatRun.status, 0) << floatRun.err;
	StereoAudio reference;
	std::string error;
	ASSERT_TRUE (readAudio (dir / "float.wav", reference, error)) << error;
	const int64_t beyond[2] = {countBeyondFullScale (reference, 0), countBeyondFullScale (reference, 1)};
	ASSERT_GT (beyond[0], 1000);
	ASSERT_GT (beyond[1], 1000);

	struct Case
	{
		std::string out;
		std::vector<std::string> extra;
		int format;
	};
	for (const Case& c : {Case {"out.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
	                      Case {"out16.wav", {"--format", "pcm16"}, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
	                      Case {"out24.aiff", {"--format", "pcm24"}, SF_FORMAT_AIFF | SF_FORMAT_PCM_24}})
	{
		const ToolRun r = render (c.out, c.extra);
		ASSERT_EQ (r.status, 0) << c.out << ": " << r.err;
		EXPECT_EQ (infoOf (dir / c.out).format, c.format) << c.out;
		EXPECT_EQ (numberAfter (r.out, "out left", "dBFS, "), double (beyond[0])) << r.out;
		EXPECT_EQ (numberAfter (r.out, "out right", "dBFS, "), double (beyond[1])) << r.out;
		StereoAudio clipped;
		ASSERT_TRUE (readAudio (dir / c.out, clipped, error)) << error;
		ASSERT_EQ (clipped.frames (), reference.frames ());
		float peak = 0.0f;
		for (size_t i = 0; i < clipped.frames (); ++i)
			peak = std::max ({peak, std::fabs (clipped.left[i]), std::fabs (clipped.right[i])});
		EXPECT_LE (peak, 1.0f) << c.out;
		EXPECT_GT (peak, 0.999f) << c.out << ": clipped at full scale, not wrapped";
	}
}

TEST (RenderOutput, TheExtensionChoosesTheFormatAndUnknownOnesAreRefused)
{
	ScratchFolder dir;
	writeNoise (dir / "in.wav", kWavFloat, 4800);
	const std::vector<std::pair<std::string, int>> known = {
	    {"a.wav", kWavFloat},
	    {"b.FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
	    {"c.aif", SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
	    {"d.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
	    {"e.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
	    {"f.caf", SF_FORMAT_CAF | SF_FORMAT_FLOAT},
	};
	for (const auto& [name, format] : known)
	{
		const ToolRun r = runTool ({"--in", dir / "in.wav", "--out", dir / name, "--tail", "0.1"});
		EXPECT_EQ (r.status, 0) << name << ": " << r.err;
		const SF_INFO info = infoOf (dir / name);
		EXPECT_EQ (info.format, format) << name;
		EXPECT_EQ (info.frames, 4800 + 4800) << name;
	}
	const ToolRun formats = runTool ({"--formats"});
	EXPECT_EQ (formats.status, 0);
	for (const char* line : {".wav: WAV (Microsoft), default 32 bit float\n", ".flac: FLAC (Free Lossless Audio Codec), default Signed 24 bit PCM\n",
	                         ".ogg: OGG (OGG Container format), default Vorbis\n"})
		EXPECT_NE (formats.out.find (line), std::string::npos) << formats.out;

	for (const std::vector<std::string>& refused : std::vector<std::vector<std::string>> {
	         {"--out", dir / "x.xyz"}, {"--out", dir / "noextension"}, {"--out", dir / "x.flac", "--format", "float"},
	         {"--out", dir / "x.ogg", "--format", "pcm16"}, {"--out", dir / "x.wav", "--format", "pcm32"}})
	{
		std::vector<std::string> arguments = {"--in", dir / "in.wav"};
		arguments.insert (arguments.end (), refused.begin (), refused.end ());
		const ToolRun r = runTool (arguments);
		EXPECT_EQ (r.status, 2) << refused[1];
		EXPECT_EQ (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
	}
	const ToolRun unknown = runTool ({"--in", dir / "in.wav", "--out", dir / "x.xyz"});
	EXPECT_NE (unknown.err.find ("the known extensions are .aif, .aiff, "), std::string::npos) << unknown.err;
	EXPECT_EQ (dir.files ().size (), known.size () + 1) << "nothing written for the refused ones";
}

TEST (RenderOutput, AFailedWriteLeavesNothingAndAnExistingFileUntouched)
{
	// A write that fails part-way (the file-size limit stands in for a full disk) and a render
	// that fails after the output was started both leave the target as it was.
	ScratchFolder dir;
	writeNoise (dir / "in.wav", kWavFloat, 480000);
	writeSignal (dir / "nan.wav", kWavFloat, 48000, 2, 480000, [] (int64_t f, int) { return f == 400000 ? NAN : 0.1f; });
	const ProcessLimits fullDisk {RLIM_INFINITY, 1 << 20};
	for (const char* out : {"out.wav", "out.flac"})
	{
		const ToolRun full = runTool ({"--in", dir / "in.wav", "--out", dir / out}, fullDisk);
		EXPECT_EQ (full.status, 1) << out << ": " << full.err;
		EXPECT_NE (full.err.find ("writing '" + dir / out + "' failed"), std::string::npos) << full.err;
		EXPECT_FALSE (fs::exists (dir / out));
	}
	{
		std::ofstream (dir / "kept.wav") << "what was there";
		chmod ((dir / "kept.wav").c_str (), 0640);
		EXPECT_EQ (runTool ({"--in", dir / "in.wav", "--out", dir / "kept.wav"}, fullDisk).status, 1);
		EXPECT_EQ (runTool ({"--in", dir / "nan.wav", "--out", dir / "kept.wav"}).status, 1);
		EXPECT_EQ (readBytes (dir / "kept.wav"), "what was there");
	}
	// Demo mode's pair, on a full disk: neither file.
	const ToolRun demo = runTool ({"--out", dir / "demo.wav"}, {RLIM_INFINITY, 400000});
	EXPECT_EQ (demo.status, 1) << demo.err;
	EXPECT_EQ (dir.files (), (std::vector<std::string> {"in.wav", "kept.wav", "nan.wav"})) << "no temporary files";

	// A successful render replaces the file, keeping its permissions, and through a link
	// replaces the file linked to and keeps the link.
	fs::create_symlink ("kept.wav", dir / "link.wav");
	ASSERT_EQ (runTool ({"--in", dir / "in.wav", "--out", dir / "link.wav", "--tail", "0"}).status, 0);
	EXPECT_TRUE (fs::is_symlink (dir / "link.wav"));
	EXPECT_EQ (infoOf (dir / "kept.wav").frames, 480000);
	EXPECT_EQ (fs::status (dir / "kept.wav").permissions (), fs::perms (0640));
	fs::create_directory (dir / "folder.wav");
	const ToolRun folder = runTool ({"--in", dir / "in.wav", "--out", dir / "folder.wav"});
	EXPECT_EQ (folder.status, 1);
	EXPECT_NE (folder.err.find ("it exists and is not a regular file"), std::string::npos) << folder.err;
}

// Outputs committed as one: when the last cannot be put in place (here its folder has gone),
// the file that replaced an existing one gives way to it again and a new one is removed.
TEST (RenderOutput, OutputsCommittedTogetherAreTakenBackWhenOneFails)
{
	ScratchFolder dir;
	fs::create_directory (dir / "gone");
	std::ofstream (dir / "kept.wav") << "what was there";
	const std::string targets[3] = {dir / "kept.wav", dir / "new.wav", dir / "gone/x.vstpreset"};
	{
		ReplacementFile files[3];
		std::string error;
		ReplacementSet set;
		for (int i = 0; i < 3; ++i)
		{
			ASSERT_TRUE (files[i].create (targets[i], error) && files[i].write ("new", 3, error) && files[i].close (error))
			    << error;
			set.add (files[i]);
		}
		fs::rename (dir / "gone", dir / "moved");
		EXPECT_FALSE (set.commit (error));
		EXPECT_NE (error.find ("cannot write '" + targets[2] + "'"), std::string::npos) << error;
	}
	EXPECT_EQ (readBytes (dir / "kept.wav"), "what was there");
	EXPECT_FALSE (fs::exists (dir / "new.wav"));
	fs::remove_all (dir / "moved");
	EXPECT_EQ (dir.files (), (std::vector<std::string> {"kept.wav"})) << "no temporary files";
}
