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
	HostedController () { EXPECT_EQ (edit->initialize (host), Steinberg::kResultOk); }
	~HostedController () { edit->terminate (); }

	std::string text (Steinberg::Vst::ParamID id, double normalized)
	{
		Steinberg::Vst::String128 out {};
		EXPECT_EQ (edit->getParamStringByValue (id, normalized, out), Steinberg::kResultTrue);
		return kt3host::toAscii (out);
	}
	Steinberg::tresult typed (Steinberg::Vst::ParamID id, const std::string& text,
	                          Steinberg::Vst::ParamValue& normalized)
	{
		Steinberg::Vst::String128 in {};
		kt3host::toString16 (text, in, 128);
		return edit->getParamValueByString (id, in, normalized);
	}

	Steinberg::IPtr<Steinberg::Vst::HostApplication> host =
	    Steinberg::owned (new Steinberg::Vst::HostApplication);
	Steinberg::IPtr<Controller> object = Steinberg::owned (new Controller);
	Steinberg::FUnknownPtr<Steinberg::Vst::IEditController> edit {object->unknownCast ()};
	Steinberg::FUnknownPtr<Steinberg::Vst::IEditController2> edit2 {object->unknownCast ()};
	Steinberg::FUnknownPtr<Steinberg::Vst::IUnitInfo> units {object->unknownCast ()};
	Steinberg::FUnknownPtr<Steinberg::Vst::IMidiMapping> midi {object->unknownCast ()};
	Steinberg::FUnknownPtr<Steinberg::Vst::IConnectionPoint> connection {object->unknownCast ()};
};
