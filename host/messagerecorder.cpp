#include "messagerecorder.h"

namespace kt3host {

using namespace Steinberg;

tresult PLUGIN_API MessageRecorder::connect (Vst::IConnectionPoint*)
{
	return kResultOk;
}

tresult PLUGIN_API MessageRecorder::disconnect (Vst::IConnectionPoint*)
{
	return kResultOk;
}

tresult PLUGIN_API MessageRecorder::notify (Vst::IMessage* message)
{
	if (!message)
		return kInvalidArgument;
	Received received {message->getMessageID () ? message->getMessageID () : "", false, 0.0};
	if (Vst::IAttributeList* attributes = message->getAttributes ())
		received.hasSampleRate = attributes->getFloat ("SampleRate", received.sampleRate) == kResultOk;
	messages.push_back (received);
	return kResultOk;
}

} // namespace kt3host
