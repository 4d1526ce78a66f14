#include "directprocessor.h"

namespace kt3host {

using namespace Steinberg;
using namespace Steinberg::Vst;

DirectProcessor::DirectProcessor (const ProcessorSetup& setup)
: object (owned (new Orvix::KT3ProcessorWithUIController))
, component_ (object)
, processor_ (object)
{
	component_->initialize (static_cast<IHostApplication*> (&host));
	// Hosts activate the main buses they connect.
	component_->activateBus (kAudio, kInput, 0, true);
	component_->activateBus (kAudio, kOutput, 0, true);
	ProcessSetup processSetup {kRealtime, kSample32, setup.maxBlock, setup.sampleRate};
	processor_->setupProcessing (processSetup);
	if (setup.activate)
	{
		component_->setActive (true);
		processor_->setProcessing (true);
		active = true;
	}
}

DirectProcessor::~DirectProcessor ()
{
	if (active)
	{
		processor_->setProcessing (false);
		component_->setActive (false);
	}
	if (peer)
		object->disconnect (peer);
	component_->terminate ();
}

void DirectProcessor::connect (IConnectionPoint* newPeer)
{
	peer = newPeer;
	object->connect (newPeer);
}

} // namespace kt3host
