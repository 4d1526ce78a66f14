// Component and controller state as plain bytes, through the SDK's MemoryStream.
#pragma once

#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include <vector>

namespace kt3host {

using Bytes = std::vector<Steinberg::uint8>;

// The bytes that getState writes (empty when it does not answer kResultOk).
Bytes getState (Steinberg::Vst::IComponent* component);
Steinberg::tresult setState (Steinberg::Vst::IComponent* component, const Bytes& bytes);
Steinberg::tresult setComponentState (Steinberg::Vst::IEditController* controller,
                                      const Bytes& bytes);
// The controller's own state (getState / setState); empty when getState fails.
Bytes getControllerState (Steinberg::Vst::IEditController* controller);
Steinberg::tresult setControllerState (Steinberg::Vst::IEditController* controller, const Bytes& bytes);

} // namespace kt3host
