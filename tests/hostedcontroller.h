// A controller as a host holds one: created, initialised with a host context and reached only
// through the interfaces that it answers.
#pragma once

#include "reverbcontroller.h"
#include "text16.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include <gtest/gtest.h>
#include <string>

template <typename Controller = Steinberg::Vst::Orvix::ReverbController>
struct HostedController
{
	HostedController () { EXPECT_EQ (edit->initialize (&host), Steinberg::kResultOk); }
	~HostedController () { edit->terminate (); }

	std::string text (Steinberg::Vst::ParamID id, double normalized)
	{
		Steinberg::Vst::String128 out {};
		EXPECT_EQ (edit->getParamStringByValue (id, normalized, out), Steinberg::kResultTrue);
		return kt3host::toAscii (out);
	}
	// The normalised value of a typed-in text, or -1 when the controller refuses it.
	double typed (Steinberg::Vst::ParamID id, const std::string& text)
	{
		Steinberg::Vst::String128 in {};
		kt3host::toString16 (text, in, 128);
		Steinberg::Vst::ParamValue value = -1;
		return edit->getParamValueByString (id, in, value) == Steinberg::kResultTrue ? value : -1;
	}

	// Held by value: the SDK's host application ignores reference counting and never frees itself.
	Steinberg::Vst::HostApplication host;
	Steinberg::IPtr<Controller> object = Steinberg::owned (new Controller);
	Steinberg::FUnknownPtr<Steinberg::Vst::IEditController> edit {object->unknownCast ()};
	Steinberg::FUnknownPtr<Steinberg::Vst::IUnitInfo> units {object->unknownCast ()};
	Steinberg::FUnknownPtr<Steinberg::Vst::IMidiMapping> midi {object->unknownCast ()};
	Steinberg::FUnknownPtr<Steinberg::Vst::IConnectionPoint> connection {object->unknownCast ()};
};
