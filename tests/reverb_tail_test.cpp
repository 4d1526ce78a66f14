// The reported tail length: derived from the signal path as a bound, and checked against the
// real decay of the processor driven by the input that excites its slowest stage the most.
#include "directprocessor.h"
#include "flushtozero.h"
#include "kt3ids.h"
#include "processblock.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using namespace kt3host;

namespace {

constexpr int kDelays[4] = {287, 381, 745, 1019}; // Size 10
constexpr double kThreshold = 1e-10;
// A full-scale stereo input reaches the low-pass with (1 + 1) x the wet gain at Mix 100 %
// and Output +20 dB (0.8 x 10).
constexpr double kInputBound = 16.0;

// The values written into each ring in reply to a unit impulse, in double.
std::vector<std::vector<double>> ringResponses (double filterCoeff, size_t length)
{
	std::vector<std::vector<double>> v (4, std::vector<double> (length));
	double a = 0.0;
	for (size_t t = 0; t < length; ++t)
	{
		a += ((t == 0 ? 1.0 : 0.0) - a) * filterCoeff;
		double u = a;
		for (int k = 0; k < 4; ++k)
		{
			const double y = t >= size_t (kDelays[k]) ? v[size_t (k)][t - size_t (kDelays[k])] : 0.0;
			v[size_t (k)][t] = u - 0.8 * y;
			u = v[size_t (k)][t] + y;
		}
	}
	return v;
}

// The first sample after the input stops from which no input bounded by kInputBound can
// leave a ring entry above the threshold: the entries then held were written at most one
// delay earlier, and each is bounded by the absolute sum of the response's remaining tail.
size_t derivedTail (double filterCoeff)
{
	const auto responses = ringResponses (filterCoeff, 200000);
	size_t tail = 0;
	for (int k = 0; k < 4; ++k)
	{
		const std::vector<double>& h = responses[size_t (k)];
		double sum = 0.0;
		size_t t = h.size ();
		while (t > 0 && kInputBound * (sum + std::fabs (h[t - 1])) <= kThreshold)
			sum += std::fabs (h[--t]);
		tail = std::max (tail, t + size_t (kDelays[k]));
	}
	return tail;
}

} // namespace

TEST (ReverbTail, ReportedLengthBoundsTheDerivedDecayAtEveryDamping)
{
	DirectProcessor p;
	const uint32 reported = p.processor ()->getTailSamples ();
	for (double damp : {0.0, 0.5, 1.0})
	{
		const double coeff = double (float (damp * double (0.9f) + double (0.05f)));
		const size_t derived = derivedTail (coeff);
		EXPECT_LE (derived, reported) << "damp " << damp;
		EXPECT_GT (derived, reported * 0.94) << "damp " << damp << ": the bound is loose";
	}
}

namespace {

// The processor at its longest setting (everything at 1) under the input that drives the last
// stage's ring to its largest value at the end of the input: the sign of the ring's impulse
// response, reversed, at full scale; then silence for `silence` frames. Left and right
// interleaved.
std::vector<float> renderWorstDecay (size_t drive, size_t silence)
{
	const double coeff = double (float (1.0 * double (0.9f) + double (0.05f)));
	const std::vector<double> h = ringResponses (coeff, drive)[3];

	DirectProcessor p;
	const int32 blockSize = 64;
	ProcessBlock block (blockSize);
	std::vector<float> output;
	for (size_t pos = 0; pos < drive + silence; pos += blockSize)
	{
		block.begin (blockSize);
		if (pos == 0)
			for (ParamID id : {kSizeId, kHFDampId, kMixId, kOutputId})
				block.changes ().add (id, 1.0);
		for (int32 i = 0; i < blockSize; ++i)
		{
			const size_t t = pos + size_t (i);
			const float x = t < drive ? (h[drive - 1 - t] < 0.0 ? -1.0f : 1.0f) : 0.0f;
			block.in (0)[i] = block.in (1)[i] = x;
		}
		block.process (p.processor ());
		for (int32 i = 0; i < blockSize; ++i)
			output.insert (output.end (), {block.out (0)[i], block.out (1)[i]});
	}
	return output;
}

constexpr size_t kDrive = 60000;

} // namespace

TEST (ReverbTail, WorstFullScaleInputDecaysToExactSilenceWithinTheReportedLength)
{
	const uint32 reported = DirectProcessor ().processor ()->getTailSamples ();
	const std::vector<float> output = renderWorstDecay (kDrive, reported + 640);
	size_t lastSound = 0;
	for (size_t i = 0; i < output.size (); ++i)
		if (output[i] != 0.0f)
			lastSound = i / 2;
	ASSERT_GT (lastSound, kDrive);
	const size_t decay = lastSound - kDrive;
	EXPECT_LE (decay, reported);
	// The bound is not far off what this input really does.
	EXPECT_GT (decay, reported * 0.9);
	std::printf ("decay to exact silence: %zu samples of %u reported\n", decay, reported);
}

// Many hosts' audio threads flush denormals to zero, others do not. The filter's decay passes
// through denormals within a block, and the silence lasts long enough for the rings to reach
// them too, were it not for the silence rule; the bits are the same either way.
TEST (ReverbTail, DecayIsTheSameWithDenormalsFlushedToZero)
{
	const uint32 reported = DirectProcessor ().processor ()->getTailSamples ();
	const std::vector<float> kept = renderWorstDecay (kDrive, 5 * reported);
	const kt3test::FlushToZero flushing;
	ASSERT_TRUE (kt3test::FlushToZero::flushes ());
	EXPECT_TRUE (renderWorstDecay (kDrive, 5 * reported) == kept);
}
