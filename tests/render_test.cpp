// kt3-render as a user runs it: files in and out, parameter texts, and its error cases.
#include "audiofile.h"
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"
#include "renderrun.h"
#include "reverbmodel.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace Steinberg::Vst;

namespace {

const std::string kTool = KT3_RENDER_PATH;

int run (const std::string& arguments)
{
	const int status = std::system ((kTool + " " + arguments + " > /dev/null 2>&1").c_str ());
	return WIFEXITED (status) ? WEXITSTATUS (status) : -1;
}

std::string tempPath (const std::string& name)
{
	return ::testing::TempDir () + "kt3-render-" + name;
}

StereoAudio shortInput (double rate)
{
	StereoAudio a;
	a.sampleRate = rate;
	a.left = noise (4000, 5);
	a.right = noise (4000, 6);
	return a;
}

// Writes `input` to a WAV file, renders it with `options` into `outName` (whose extension
// picks the format) and reads the result back.
void renderFile (const StereoAudio& input, const std::string& outName, const std::string& options,
                 StereoAudio& output)
{
	std::string error;
	const std::string in = tempPath (outName + "-in.wav"), out = tempPath (outName);
	ASSERT_TRUE (writeAudio (in, input, error)) << error;
	ASSERT_EQ (run ("--in " + in + " --out " + out + " " + options), 0);
	ASSERT_TRUE (readAudio (out, output, error)) << error;
}

} // namespace

TEST (Render, KeepsTheRateAndAppendsTheTail)
{
	StereoAudio result;
	renderFile (shortInput (44100), "out.flac", "--tail 0.5", result);
	if (HasFatalFailure ())
		return;
	EXPECT_EQ (result.sampleRate, 44100);
	EXPECT_EQ (result.frames (), 4000u + 22050u);
}

TEST (Render, ParameterTextsReachTheProcessorAsTyped)
{
	const StereoAudio input = shortInput (48000);
	StereoAudio rendered;
	renderFile (input, "params-out.wav", "--tail 0 --block 256 --set Size=4.5 --set 'HF Damp=30' --set Output=-6",
	            rendered);
	if (HasFatalFailure ())
		return;

	// The same settings as normalised values, applied directly to a linked processor.
	kt3host::DirectProcessor p ({48000.0, 256, true});
	kt3host::ProcessBlock block (256);
	for (size_t pos = 0; pos < input.frames (); pos += 256)
	{
		const int n = int (std::min<size_t> (256, input.frames () - pos));
		block.begin (n);
		if (pos == 0)
		{
			block.changes ().add (Orvix::kSizeId, 0.45);
			block.changes ().add (Orvix::kHFDampId, 0.3);
			block.changes ().add (Orvix::kOutputId, 14.0 / 40.0);
		}
		std::memcpy (block.in (0), &input.left[pos], n * sizeof (float));
		std::memcpy (block.in (1), &input.right[pos], n * sizeof (float));
		block.process (p.processor ());
		ASSERT_EQ (0, std::memcmp (block.out (0), &rendered.left[pos], n * sizeof (float))) << pos;
		ASSERT_EQ (0, std::memcmp (block.out (1), &rendered.right[pos], n * sizeof (float))) << pos;
	}
}

TEST (Render, DemoWritesWetAndDryFiles)
{
	const std::string out = tempPath ("demo.wav");
	ASSERT_EQ (run ("--out " + out + " --tail 0.1"), 0);
	StereoAudio wet, dry;
	std::string error;
	ASSERT_TRUE (readAudio (out, wet, error)) << error;
	ASSERT_TRUE (readAudio (tempPath ("demo-dry.wav"), dry, error)) << error;
	EXPECT_EQ (wet.frames (), dry.frames () + 4800u);
	EXPECT_NE (wet.left, std::vector<float> (wet.frames (), 0.0f));
}

TEST (Render, ErrorsAreOneLineWithStatusTwoForUsageAndOneForFailedRenders)
{
	std::string error;
	const std::string in = tempPath ("err-in.wav");
	ASSERT_TRUE (writeAudio (in, shortInput (48000), error));
	const std::vector<std::pair<std::vector<std::string>, int>> cases = {
	    {{"--in", "/nonexistent/file.wav"}, 1},
	    {{"--plugin", "/nonexistent.vst3"}, 1},
	    {{"--in", in, "--out", "/nonexistent/dir/out.wav"}, 1},
	    {{"--in", in, "--set", "Colour=3"}, 2},
	    {{"--in", in, "--set", "Size=abc"}, 2},
	    {{"--in", in, "--set", "Size"}, 2},
	    {{"--block", "0"}, 2},
	    {{"--frobnicate"}, 2},
	    {{"--tail"}, 2},
	};
	for (const auto& [arguments, status] : cases)
	{
		const kt3test::ToolRun r = kt3test::runTool (arguments);
		EXPECT_EQ (r.status, status) << arguments[0] << " " << r.err;
		EXPECT_EQ (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
		EXPECT_EQ (r.err.rfind ("kt3-render: ", 0), 0u) << r.err;
		EXPECT_EQ (r.out, "");
	}
	EXPECT_EQ (run ("--list-params"), 0);
}

TEST (Render, TheSummaryMeasuresTheInputAloneAndListsTheValuesApplied)
{
	// A constant 0.125 in: -18.1 dBFS peak and RMS, however long the tail after it.
	kt3test::ScratchFolder dir;
	kt3test::writeSignal (dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 48000,
	                      [] (int64_t, int) { return 0.125f; });
	const kt3test::ToolRun r = kt3test::runTool (
	    {"--in", dir / "in.wav", "--out", dir / "out.wav", "--tail", "5", "--set", "Size=4.5m", "--set", "Output=-6dB"});
	ASSERT_EQ (r.status, 0) << r.err;
	EXPECT_NEAR (kt3test::numberAfter (r.out, "in  left", "RMS "), -18.1, 0.05) << r.out;
	EXPECT_NEAR (kt3test::numberAfter (r.out, "in  right", "peak "), -18.1, 0.05) << r.out;
	EXPECT_NE (r.out.find ("Size 4.50 m, HF Damp 70.00 %, Mix 90.00 %, Output -6.00 dB"), std::string::npos) << r.out;
	EXPECT_NE (r.out.find ("(288000 frames, 5.00 s tail)"), std::string::npos) << r.out;
	EXPECT_EQ (r.out.find ("clipped"), std::string::npos) << "a float output clips nothing";
}

TEST (Render, ByDefaultTheTailRingsOutUntilItHasDecayed)
{
	// Half a second of a 440 Hz tone, fully wet: the output goes on past the input and fades
	// smoothly, with no cut to silence where the input stops.
	StereoAudio tone;
	tone.sampleRate = 48000;
	for (int i = 0; i < 24000; ++i)
	{
		const float v = 0.5f * float (std::sin (2 * M_PI * 440.0 * i / 48000.0));
		tone.left.push_back (v);
		tone.right.push_back (v);
	}
	StereoAudio wet;
	renderFile (tone, "tone-out.wav", "--set Mix=100", wet);
	if (HasFatalFailure ())
		return;
	ASSERT_GT (wet.frames (), 24000u + 24000u) << "a tail of over half a second";
	EXPECT_LT (wet.frames (), 24000u + 140000u) << "no more than the reported tail";
	auto rms = [&] (size_t from, size_t count) {
		double sum = 0.0;
		for (size_t i = from; i < from + count; ++i)
			sum += double (wet.left[i]) * wet.left[i] + double (wet.right[i]) * wet.right[i];
		return 10 * std::log10 (sum / double (2 * count));
	};
	const double atTheEnd = rms (24000, 2400), later = rms (24000 + 12000, 2400);
	EXPECT_GT (atTheEnd, -30.0);
	EXPECT_LT (later, atTheEnd - 20.0);
	EXPECT_GT (later, -120.0);
	EXPECT_LT (std::fabs (wet.right.back ()) + std::fabs (wet.left.back ()), 1e-9f);
}

TEST (Render, BypassRendersTheInputUnchanged)
{
	const StereoAudio input = shortInput (48000);
	StereoAudio rendered;
	renderFile (input, "bypass-out.wav", "--bypass --tail 0 --block 300", rendered);
	if (HasFatalFailure ())
		return;
	EXPECT_EQ (rendered.left, input.left);
	EXPECT_EQ (rendered.right, input.right);
}
