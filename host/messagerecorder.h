// A connection peer that records the messages it is sent, as a controller would receive them.
#pragma once

#include "pluginterfaces/vst/ivstmessage.h"
#include "base/source/fobject.h"
#include <string>
#include <vector>

namespace kt3host {

class MessageRecorder : public Steinberg::FObject, public Steinberg::Vst::IConnectionPoint
{
public:
	struct Received
	{
		std::string id;
		bool hasSampleRate;
		double sampleRate;
	};
	std::vector<Received> messages;

	Steinberg::tresult PLUGIN_API connect (Steinberg::Vst::IConnectionPoint*) override;
	Steinberg::tresult PLUGIN_API disconnect (Steinberg::Vst::IConnectionPoint*) override;
	Steinberg::tresult PLUGIN_API notify (Steinberg::Vst::IMessage* message) override;

	OBJ_METHODS (MessageRecorder, FObject)
	DEFINE_INTERFACES
		DEF_INTERFACE (Steinberg::Vst::IConnectionPoint)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)
};

} // namespace kt3host
