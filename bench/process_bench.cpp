// Throughput of process() at default settings on stereo noise, and on the silence after it
// while the tail rings out. Reports time per stereo frame and how many times faster than
// real time at 48 kHz.
#include "directprocessor.h"
#include "kt3ids.h"
#include "processblock.h"

#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdint>

using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

constexpr double kBenchRate = 48000.0;

void fillNoise (kt3host::ProcessBlock& block, int frames)
{
	uint32_t seed = 12345;
	for (int ch = 0; ch < 2; ++ch)
		for (int i = 0; i < frames; ++i)
		{
			seed = seed * 1664525u + 1013904223u;
			block.in (ch)[i] = 0.5f * (float (seed >> 8) / float (1 << 23) - 1.0f);
		}
}

void report (benchmark::State& state, int frames)
{
	const double total = double (frames) * double (state.iterations ());
	state.counters["time_per_frame"] =
	    benchmark::Counter (total, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
	state.counters["x_realtime_48k"] = benchmark::Counter (total / kBenchRate, benchmark::Counter::kIsRate);
}

enum class Mode { Process, Crossfade, Bypassed, Tail };

void run (benchmark::State& state, Mode mode)
{
	const int frames = int (state.range (0));
	kt3host::DirectProcessor p ({kBenchRate, 4096, true});
	kt3host::ProcessBlock block (frames);
	fillNoise (block, frames);
	block.begin (frames);
	if (mode == Mode::Bypassed)
	{
		block.changes ().add (kBypassId, 1.0);
		block.process (p.processor ());
	}
	bool bypassOn = false;
	bool ringing = false;
	for (auto _ : state)
	{
		block.begin (frames);
		if (mode == Mode::Crossfade)
			block.changes ().add (kBypassId, (bypassOn = !bypassOn) ? 1.0 : 0.0);
		if (mode == Mode::Tail)
		{
			// Silence while the last tail rings; one block of noise starts the next when it
			// has decayed (about one block in 300 at 512 frames).
			const bool restart = !ringing;
			if (restart)
				fillNoise (block, frames);
			else
				for (int ch = 0; ch < 2; ++ch)
					std::fill (block.in (ch), block.in (ch) + frames, 0.0f);
			block.process (p.processor ());
			ringing = restart || block.out (0)[frames - 1] != 0.0f || block.out (1)[frames - 1] != 0.0f;
		}
		else
			block.process (p.processor ());
		benchmark::DoNotOptimize (block.out (0)[frames - 1]);
	}
	report (state, frames);
}

void BM_Process (benchmark::State& state) { run (state, Mode::Process); }
void BM_CrossfadeBlock (benchmark::State& state) { run (state, Mode::Crossfade); }
void BM_BypassedBlock (benchmark::State& state) { run (state, Mode::Bypassed); }
void BM_SilenceWhileTheTailRings (benchmark::State& state) { run (state, Mode::Tail); }

} // namespace

BENCHMARK (BM_Process)->Arg (32)->Arg (64)->Arg (512)->Arg (4096);
BENCHMARK (BM_CrossfadeBlock)->Arg (512);
BENCHMARK (BM_BypassedBlock)->Arg (512);
BENCHMARK (BM_SilenceWhileTheTailRings)->Arg (32)->Arg (512);
BENCHMARK_MAIN ();
