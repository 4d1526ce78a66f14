// What the fuzz targets share: a broken invariant aborts with its description, which
// libFuzzer reports as a crash with the input that caused it.
#pragma once

#include "reverbcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <cstdio>
#include <cstdlib>

namespace kt3fuzz {

inline void require (bool holds, const char* invariant)
{
	if (holds)
		return;
	std::fprintf (stderr, "broken invariant: %s\n", invariant);
	std::abort ();
}

// A controller initialised with a host context, as a host holds one.
template <typename ControllerClass = Steinberg::Vst::Orvix::ReverbController>
struct Controller
{
	Controller () { require (edit->initialize (&host) == Steinberg::kResultOk, "initialize"); }
	~Controller () { edit->terminate (); }

	// Held by value: the SDK's host application is not reference-counted.
	Steinberg::Vst::HostApplication host;
	Steinberg::IPtr<ControllerClass> object = Steinberg::owned (new ControllerClass);
	Steinberg::FUnknownPtr<Steinberg::Vst::IEditController> edit {object->unknownCast ()};
};

} // namespace kt3fuzz
