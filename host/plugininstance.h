// One effect built from a loaded module as a DAW builds it: the processor and the controller
// it names, initialised with a host context, connected, the controller mirroring the
// processor's state, set up for processing and activated. Torn down in reverse order.
#pragma once

#include "edithandler.h"
#include "pluginmodule.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include <string>

namespace kt3host {

class PluginInstance
{
public:
	// Builds the first "Audio Module Class" of the module's factory; `error ()` says why not.
	explicit PluginInstance (const PluginModule& module);
	~PluginInstance ();
	PluginInstance (const PluginInstance&) = delete;
	PluginInstance& operator= (const PluginInstance&) = delete;

	bool ready () const { return processor != nullptr; }
	const std::string& error () const { return errorText; }

	// Sets up processing and activates the processor.
	bool activate (double sampleRate, Steinberg::int32 maxBlock);

	Steinberg::Vst::IComponent* component () const { return componentPtr; }
	Steinberg::Vst::IAudioProcessor* audioProcessor () const { return processor; }
	Steinberg::Vst::IEditController* controller () const { return controllerPtr; }

	// The edits the controller has reported to the host.
	EditHandler& edits () { return *editHandler; }

	// The parameter whose title is `title`, or false.
	bool findParameter (const std::string& title, Steinberg::Vst::ParameterInfo& info) const;

private:
	void connect ();

	Steinberg::Vst::HostApplication host; // not reference-counted: lives with this object
	Steinberg::IPtr<Steinberg::IPluginFactory> factory;
	Steinberg::IPtr<Steinberg::Vst::IComponent> componentPtr;
	Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor;
	Steinberg::IPtr<Steinberg::Vst::IEditController> controllerPtr;
	Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> componentPoint;
	Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> controllerPoint;
	Steinberg::IPtr<EditHandler> editHandler;
	bool active = false;
	std::string errorText;
};

} // namespace kt3host
