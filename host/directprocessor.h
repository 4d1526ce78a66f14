// A KT3 processor linked into the program, brought up as a host brings one up:
// created, initialised with a host context, set up for processing and activated.
#pragma once

#include "kt3processorwithuicontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

namespace kt3host {

struct ProcessorSetup
{
	double sampleRate = 48000.0;
	Steinberg::int32 maxBlock = 4096;
	bool activate = true;
};

class DirectProcessor
{
public:
	explicit DirectProcessor (const ProcessorSetup& setup = {});
	~DirectProcessor ();
	DirectProcessor (const DirectProcessor&) = delete;
	DirectProcessor& operator= (const DirectProcessor&) = delete;

	Steinberg::Vst::IComponent* component () { return component_; }
	Steinberg::Vst::IAudioProcessor* processor () { return processor_; }
	// Connects a peer that receives the processor's messages.
	void connect (Steinberg::Vst::IConnectionPoint* peer);

private:
	Steinberg::Vst::HostApplication host; // not reference-counted: lives with this object
	Steinberg::IPtr<Steinberg::Vst::Orvix::KT3ProcessorWithUIController> object;
	Steinberg::Vst::IComponent* component_;
	Steinberg::Vst::IAudioProcessor* processor_;
	Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> peer;
	bool active = false;
};

} // namespace kt3host
