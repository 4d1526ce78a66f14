#include "basecontroller.h"
#include "indexedparameter.h"
#include "kt3ids.h"
#include "numbertext.h"
#include "statestream.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include <algorithm>
#include <vector>

namespace Steinberg {
namespace Vst {
namespace Orvix {

BaseController::BaseController (uint32 stateValueCount) : stateValueCount (stateValueCount)
{
	std::fill (std::begin (midiControllerParams), std::end (midiControllerParams), kNoParamId);
}

tresult PLUGIN_API BaseController::initialize (FUnknown* context)
{
	const tresult result = EditControllerEx1::initialize (context);
	if (result != kResultOk)
		return result;

	addUnit (new Unit (UString128 ("Root"), kRootUnitId, kNoParentUnitId, kPresetsId));

	if (hasBypassParameter)
	{
		auto* bypass = new IndexedParameter (UString128 ("Bypass"), nullptr, 1, 0.0,
		                                     ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass,
		                                     kBypassId, kRootUnitId);
		bypass->setStepName (0, UString128 ("off"));
		bypass->setStepName (1, UString128 ("on"));
		parameters.addParameter (bypass);
	}
	return kResultOk;
}

tresult PLUGIN_API BaseController::terminate ()
{
	deferredRestart.cancel ();
	editorFrame = nullptr;
	return EditControllerEx1::terminate ();
}

tresult PLUGIN_API BaseController::setComponentHandler (IComponentHandler* handler)
{
	if (handler != componentHandler)
		deferredRestart.cancel ();
	return EditControllerEx1::setComponentHandler (handler);
}

std::array<FUnknown*, 3> BaseController::runLoopSources () const
{
	return {componentHandler, hostContext, editorFrame};
}

void BaseController::restartLater (int32 flags)
{
	const auto sources = runLoopSources ();
	deferredRestart.request (componentHandler, flags, sources.data (), int32 (sources.size ()));
}

// An editor's frame may bring the run loop that a waiting restart needs; a restart waiting on
// the closing editor's run loop moves to another one.
void BaseController::setEditorFrame (IPlugFrame* frame)
{
	editorFrame = frame;
	const auto sources = runLoopSources ();
	deferredRestart.reschedule (sources.data (), int32 (sources.size ()));
}

void BaseController::sendValuesToProcessor ()
{
	std::vector<double> values (stateValueCount);
	for (uint32 id = 0; id < stateValueCount; ++id)
		values[id] = getParamNormalized (id);
	IMessage* message = allocateMessage ();
	if (!message)
		return;
	message->setMessageID (kValuesMessage);
	if (IAttributeList* attributes = message->getAttributes ())
		attributes->setBinary (kValuesAttribute, values.data (), uint32 (values.size () * sizeof (double)));
	sendMessage (message);
	message->release ();
}

tresult PLUGIN_API BaseController::notify (IMessage* message)
{
	if (!message)
		return kInvalidArgument;
	if (!FIDStringsEqual (message->getMessageID (), "activated"))
		return EditControllerEx1::notify (message);
	double rate = 0.0;
	IAttributeList* attributes = message->getAttributes ();
	if (attributes && attributes->getFloat ("SampleRate", rate) == kResultOk)
		sampleRate = rate;
	return kResultOk;
}

tresult PLUGIN_API BaseController::setComponentState (IBStream* state)
{
	if (!state)
		return kInvalidArgument;
	// Everything is read before anything is set, so a refused stream changes nothing.
	std::vector<double> values (stateValueCount);
	bool bypassed = false;
	if (!readProcessorState (state, values.data (), stateValueCount, bypassed))
		return kResultFalse;
	for (uint32 id = 0; id < stateValueCount; ++id)
		setParamNormalized (id, values[id]);
	setParamNormalized (kBypassId, bypassed ? 1.0 : 0.0);
	return kResultOk;
}

// The SDK's lookups by index throw for an index out of range; the host gets kResultFalse.
tresult PLUGIN_API BaseController::getParameterInfo (int32 paramIndex, ParameterInfo& info)
{
	if (paramIndex < 0 || paramIndex >= getParameterCount ())
		return kResultFalse;
	return EditControllerEx1::getParameterInfo (paramIndex, info);
}

tresult PLUGIN_API BaseController::getUnitInfo (int32 unitIndex, UnitInfo& info)
{
	if (unitIndex < 0 || unitIndex >= getUnitCount ())
		return kResultFalse;
	return EditControllerEx1::getUnitInfo (unitIndex, info);
}

int32 PLUGIN_API BaseController::getProgramListCount ()
{
	return getParameterObject (kPresetsId) ? 1 : 0;
}

tresult PLUGIN_API BaseController::getProgramListInfo (int32 listIndex, ProgramListInfo& info)
{
	Parameter* presets = getParameterObject (kPresetsId);
	if (!presets || listIndex != 0)
		return kResultFalse;
	const int64 lastProgram = truncateToInt64 (presets->toPlain (1.0));
	info.id = kPresetsId;
	info.programCount = static_cast<int32> (std::clamp<int64> (lastProgram, -1, kMaxInt32 - 1) + 1);
	UString (info.name, str16BufferSize (String128)).fromAscii ("Presets");
	return kResultOk;
}

tresult PLUGIN_API BaseController::getProgramName (ProgramListID listId, int32 programIndex,
                                                   String128 name)
{
	if (listId != kPresetsId || programIndex < 0)
		return kResultFalse;
	Parameter* presets = getParameterObject (kPresetsId);
	if (!presets || programIndex > presets->toPlain (1.0))
		return kResultFalse;
	presets->toString (presets->toNormalized (static_cast<double> (programIndex)), name);
	return kResultOk;
}

tresult PLUGIN_API BaseController::getMidiControllerAssignment (int32 busIndex, int16 /*channel*/,
                                                                CtrlNumber midiControllerNumber,
                                                                ParamID& id)
{
	if (busIndex != 0 || midiControllerNumber < 0 || midiControllerNumber >= kCountCtrlNumber)
		return kResultFalse;
	const ParamID assigned = midiControllerParams[midiControllerNumber];
	if (assigned == kNoParamId)
		return kResultFalse;
	id = assigned;
	return kResultOk;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
