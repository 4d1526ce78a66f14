// What kt3-render prints when a render is done: the files, the plug-in, the parameter values
// applied, the lengths, the levels in and out (with the samples clipped) and the speed.
#pragma once

#include "audiowriter.h"
#include "renderloop.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include <cstdio>
#include <string>

struct RenderReport
{
	std::string source;  // the input file, or the demo phrase and its dry file
	std::string plugin;  // the bundle or module loaded
	double sampleRate = 0;
	int block = 0;
	double seconds = 0;  // the time the render took
};

void printSummary (FILE* out, const RenderReport& report, Steinberg::Vst::IEditController* controller,
                   const RenderLoop& loop, const AudioWriter& wet);
