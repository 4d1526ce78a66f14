#include "rendersummary.h"
#include "printabletext.h"
#include "parametersettings.h"
#include "text16.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// "Bypass off, Size 4.50 m, ...": every parameter at the value the render started with.
std::string parameterValues (IEditController* controller)
{
	std::string list;
	ParameterInfo info;
	for (int32 i = 0; i < controller->getParameterCount (); ++i)
		if (controller->getParameterInfo (i, info) == kResultOk)
			list += (list.empty () ? "" : ", ") + kt3host::toAscii (info.title) + " " +
			        displayWithUnits (controller, info.id, controller->getParamNormalized (info.id));
	return list;
}

void printLevels (FILE* out, const char* label, const LevelMeter& levels, const AudioWriter* clipping)
{
	for (int c = 0; c < 2; ++c)
	{
		std::fprintf (out, "  %s %s: peak %.1f dBFS, RMS %.1f dBFS", label, c ? "right" : "left ", levels.peakDb (c),
		              levels.rmsDb (c));
		if (clipping)
			std::fprintf (out, ", %lld samples clipped", static_cast<long long> (clipping->clipped (c)));
		std::fputs ("\n", out);
	}
}

} // namespace

void printSummary (FILE* out, const RenderReport& report, IEditController* controller, const RenderLoop& loop,
                   const AudioWriter& wet)
{
	const double rate = report.sampleRate;
	const int64_t frames = wet.frames ();
	using kt3host::printable;
	std::fprintf (out, "kt3-render: %s -> %s\n", printable (report.source).c_str (), printable (wet.target ()).c_str ());
	std::fprintf (out, "  plug-in %s: %s\n", printable (report.plugin).c_str (),
	              printable (parameterValues (controller)).c_str ());
	std::fprintf (out, "  %.0f Hz, %.2f s (%lld frames, %.2f s tail), blocks of %d\n", rate, double (frames) / rate,
	              static_cast<long long> (frames), double (frames - loop.inputFrames ()) / rate, report.block);
	printLevels (out, "in ", loop.inputLevels (), nullptr);
	printLevels (out, "out", loop.outputLevels (), wet.clips () ? &wet : nullptr);
	const double processed = double (loop.processedFrames ()) / rate;
	std::fprintf (out, "  processed at %.0fx real time\n", report.seconds > 0 ? processed / report.seconds : INFINITY);
}
