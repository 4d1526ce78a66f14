// kt3-render in constant memory: a 30-minute input with a 10-minute tail under a 64 MB
// address-space limit, and every size the tool derives from a file or an option at its most
// (block, channels, header frame counts, tail at a high rate) under the same limit; and the
// render loop's blocks allocate nothing.
#include "allocationcounter.h"
#include "plugininstance.h"
#include "renderloop.h"
#include "renderrun.h"

#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <chrono>
#include <cmath>
#include <fstream>

using namespace kt3test;

namespace {

constexpr rlim_t kAddressSpace = 64u << 20;

#if defined(KT3_UNDER_SANITIZER)
constexpr bool kUnderSanitizer = true;
#else
constexpr bool kUnderSanitizer = false;
#endif

double freeGigabytes (const std::string& path)
{
	struct statvfs fs {};
	return statvfs (path.c_str (), &fs) == 0 ? double (fs.f_bavail) * double (fs.f_frsize) / 1e9 : 0.0;
}

// A tone that stays well inside full scale.
float toneAt (int64_t frame, int channel)
{
	return 0.25f * float (std::sin (0.0123 * double (frame) + channel));
}

} // namespace

TEST (RenderMemory, ThirtyMinutesAndTenOfTailRenderUnderSixtyFourMegabytes)
{
	if (kUnderSanitizer)
		GTEST_SKIP () << "the sanitizers reserve terabytes of address space";
	ScratchFolder dir;
	if (freeGigabytes (dir.path.string ()) < 2.0)
		GTEST_SKIP () << "needs 2 GB free in " << dir.path;
	const int64_t frames = int64_t (30 * 60) * 48000;
	writeSignal (dir / "long.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, frames, toneAt);
	const auto started = std::chrono::steady_clock::now ();
	const ToolRun r = runTool ({"--in", dir / "long.wav", "--out", dir / "out.wav", "--format", "pcm16", "--tail", "600",
	                            "--block", "4096"},
	                           {kAddressSpace, RLIM_INFINITY});
	const double seconds = std::chrono::duration<double> (std::chrono::steady_clock::now () - started).count ();
	ASSERT_EQ (r.status, 0) << r.err;
	EXPECT_NE (r.out.find ("(115200000 frames, 600.00 s tail)"), std::string::npos) << r.out;
	EXPECT_NEAR (numberAfter (r.out, "in  left", "RMS "), -15.05, 0.05) << r.out;
	EXPECT_LT (r.maxResidentKb, 32 * 1024) << "resident memory";
	std::printf ("30 min + 600 s tail: %.1f s, %ld KB resident at most\n", seconds, r.maxResidentKb);
}

TEST (RenderMemory, TheSizesTakenFromFilesAndOptionsStayBounded)
{
	if (kUnderSanitizer)
		GTEST_SKIP () << "the sanitizers reserve terabytes of address space";
	ScratchFolder dir;
	const ProcessLimits limit {kAddressSpace, RLIM_INFINITY};

	// The most channels libsndfile takes, in the largest blocks.
	writeSignal (dir / "wide.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 1024, 100000,
	             [] (int64_t f, int c) { return c == 1023 ? toneAt (f, 0) : 0.0f; });
	const ToolRun wide = runTool ({"--in", dir / "wide.wav", "--out", dir / "wide-out.wav", "--channels", "1024,1",
	                               "--block", "65536", "--tail", "0"},
	                              limit);
	EXPECT_EQ (wide.status, 0) << wide.err;
	EXPECT_NE (wide.out.find ("(100000 frames, 0.00 s tail)"), std::string::npos) << wide.out;

	// The longest tail at a high rate: 230 million frames, none of them held.
	writeSignal (dir / "fast.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 384000, 2, 1000, toneAt);
	const ToolRun tail = runTool ({"--in", dir / "fast.wav", "--out", dir / "fast-out.wav", "--format", "pcm16", "--tail", "600",
	                               "--block", "65536"},
	                              limit);
	EXPECT_EQ (tail.status, 0) << tail.err;
	EXPECT_NE (tail.out.find ("(230401000 frames, 600.00 s tail)"), std::string::npos) << tail.out;

	// A WAV whose data chunk claims 4 GB, in a file of a few kilobytes: a truncated file.
	writeSignal (dir / "claims.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 1000, toneAt);
	{
		std::fstream file (dir / "claims.wav", std::ios::in | std::ios::out | std::ios::binary);
		file.seekp (40); // the data chunk's size, after RIFF, WAVE, fmt (16 bytes) and "data"
		file.write ("\xF0\xFF\xFF\xFF", 4);
	}
	const ToolRun claims = runTool ({"--in", dir / "claims.wav", "--out", dir / "claims-out.wav"}, limit);
	EXPECT_EQ (claims.status, 1);
	EXPECT_NE (claims.err.find ("is truncated: it holds 1000 of the 1073741820 frames"), std::string::npos) << claims.err;
}

namespace {

// Noise from memory, so that only the loop's own calls are counted.
class NoiseSource final : public BlockSource
{
public:
	explicit NoiseSource (int64_t frames) : total (frames) {}
	double sampleRate () const override { return 48000.0; }
	int64_t length () const override { return total; }
	int read (float* left, float* right, int frames, std::string&) override
	{
		const int n = int (std::min<int64_t> (frames, total - position));
		for (int i = 0; i < n; ++i)
		{
			left[i] = noiseAt (position + i, 0, 0.5f);
			right[i] = noiseAt (position + i, 1, 0.5f);
		}
		position += n;
		return n;
	}

private:
	int64_t total, position = 0;
};

} // namespace

TEST (RenderMemory, TheRenderLoopAllocatesNothing)
{
	ASSERT_TRUE (kt3test::counterSeesThisThread ());
	kt3host::PluginModule module (KT3_BUNDLE_PATH);
	kt3host::PluginInstance plugin (module);
	ASSERT_TRUE (plugin.ready ()) << plugin.error ();
	ASSERT_TRUE (plugin.activate (48000.0, 300));
	Steinberg::Vst::ParameterInfo size {};
	ASSERT_TRUE (plugin.findParameter ("Size", size));

	ScratchFolder dir;
	OutputFormat format;
	std::string error;
	ASSERT_TRUE (outputFormatFor (dir / "out.wav", SampleFormat::pcm24, format, error)) << error;
	AudioWriter wet, dry;
	ASSERT_TRUE (wet.open (dir / "out.wav", format, 48000, 300, error)) << error;
	ASSERT_TRUE (dry.open (dir / "dry.wav", format, 48000, 300, error)) << error;
	RenderLoop loop (plugin.audioProcessor (), 300);
	loop.setStartChanges ({{size.id, 0.3}});
	NoiseSource input (100000);

	kt3test::startCountingAllocations ();
	const bool rendered = loop.run (input, {48000, true}, wet, &dry, error);
	const long allocations = kt3test::stopCountingAllocations ();
	ASSERT_TRUE (rendered) << error;
	EXPECT_EQ (allocations, 0);
	EXPECT_EQ (dry.frames (), 100000);
	EXPECT_GT (wet.frames (), 100000);
	EXPECT_LE (wet.frames (), 148000);
}
