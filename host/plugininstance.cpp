#include "plugininstance.h"
#include "statebytes.h"
#include "text16.h"

#include <cstring>

namespace kt3host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <typename T>
IPtr<T> createInstance (IPluginFactory* factory, const TUID cid)
{
	void* obj = nullptr;
	if (factory->createInstance (cid, T::iid, &obj) != kResultOk || !obj)
		return nullptr;
	return owned (static_cast<T*> (obj));
}

} // namespace

PluginInstance::PluginInstance (const PluginModule& module) : editHandler (owned (new EditHandler))
{
	factory = owned (module.factory ());
	if (!factory)
	{
		errorText = "the module offers no factory";
		return;
	}
	PClassInfo info;
	for (int32 i = 0; i < factory->countClasses () && !componentPtr; ++i)
		if (factory->getClassInfo (i, &info) == kResultOk &&
		    std::strcmp (info.category, kVstAudioEffectClass) == 0)
			componentPtr = createInstance<IComponent> (factory, info.cid);
	if (!componentPtr)
	{
		errorText = "the module offers no audio processor";
		return;
	}
	FUnknown* context = static_cast<IHostApplication*> (&host);
	if (componentPtr->initialize (context) != kResultOk)
	{
		errorText = "the processor failed to initialise";
		componentPtr = nullptr;
		return;
	}
	TUID controllerCid;
	if (componentPtr->getControllerClassId (controllerCid) == kResultOk)
		controllerPtr = createInstance<IEditController> (factory, controllerCid);
	if (controllerPtr && controllerPtr->initialize (context) != kResultOk)
		controllerPtr = nullptr;
	connect ();
	if (controllerPtr)
	{
		controllerPtr->setComponentHandler (editHandler);
		setComponentState (controllerPtr, getState (componentPtr));
	}
	processor = FUnknownPtr<IAudioProcessor> (componentPtr);
	if (!processor)
		errorText = "the processor offers no audio processing";
}

void PluginInstance::connect ()
{
	if (!controllerPtr)
		return;
	componentPoint = FUnknownPtr<IConnectionPoint> (componentPtr);
	controllerPoint = FUnknownPtr<IConnectionPoint> (controllerPtr);
	if (componentPoint && controllerPoint)
	{
		componentPoint->connect (controllerPoint);
		controllerPoint->connect (componentPoint);
	}
}

bool PluginInstance::activate (double sampleRate, int32 maxBlock)
{
	if (!processor)
		return false;
	componentPtr->activateBus (kAudio, kInput, 0, true);
	componentPtr->activateBus (kAudio, kOutput, 0, true);
	ProcessSetup setup {kOffline, kSample32, maxBlock, sampleRate};
	if (processor->setupProcessing (setup) != kResultOk)
		return false;
	active = componentPtr->setActive (true) == kResultOk;
	if (active)
		processor->setProcessing (true);
	return active;
}

bool PluginInstance::findParameter (const std::string& title, ParameterInfo& info) const
{
	if (!controllerPtr)
		return false;
	for (int32 i = 0; i < controllerPtr->getParameterCount (); ++i)
		if (controllerPtr->getParameterInfo (i, info) == kResultOk && toAscii (info.title) == title)
			return true;
	return false;
}

PluginInstance::~PluginInstance ()
{
	if (active)
	{
		processor->setProcessing (false);
		componentPtr->setActive (false);
	}
	if (componentPoint && controllerPoint)
	{
		componentPoint->disconnect (controllerPoint);
		controllerPoint->disconnect (componentPoint);
	}
	if (controllerPtr)
	{
		controllerPtr->setComponentHandler (nullptr);
		controllerPtr->terminate ();
	}
	if (componentPtr)
		componentPtr->terminate ();
}

} // namespace kt3host
