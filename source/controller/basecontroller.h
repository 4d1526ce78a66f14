// BaseController: the effect-independent edit controller. The root unit and its program list,
// the bypass parameter, the processor's state read into the parameters, the sample rate from
// the processor's activation message, and a MIDI controller mapping table.
#pragma once

#include "deferredrestart.h"

#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include <array>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class BaseController : public EditControllerEx1, public IMidiMapping
{
public:
	// `stateValueCount`: how many values the effect's processor writes to its state stream,
	// for the IDs 0 to stateValueCount - 1.
	explicit BaseController (uint32 stateValueCount);

	//---IPluginBase: the root unit and, first of all parameters, the bypass
	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API terminate () SMTG_OVERRIDE;

	//---IConnectionPoint: records the sample rate of "activated"
	tresult PLUGIN_API notify (IMessage* message) SMTG_OVERRIDE;

	//---IEditController
	// Host's UI thread. Reads the processor's state as the processor reads it: a count word
	// (ignored), the processor's number of values for the IDs 0 up, then the bypass word
	// (non-zero: bypassed). Values outside 0..1 are limited to it. A stream the processor
	// refuses (it ends early, or a value is not a finite number) changes nothing and gives
	// kResultFalse, as the processor's setState does.
	tresult PLUGIN_API setComponentState (IBStream* state) SMTG_OVERRIDE;
	tresult PLUGIN_API getParameterInfo (int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;
	// Host's UI thread. A restart still pending for the old handler is dropped.
	tresult PLUGIN_API setComponentHandler (IComponentHandler* handler) SMTG_OVERRIDE;

	//---IUnitInfo: the program list is backed by a parameter with the ID kPresetsId, if any
	tresult PLUGIN_API getUnitInfo (int32 unitIndex, UnitInfo& info) SMTG_OVERRIDE;
	int32 PLUGIN_API getProgramListCount () SMTG_OVERRIDE;
	tresult PLUGIN_API getProgramListInfo (int32 listIndex, ProgramListInfo& info) SMTG_OVERRIDE;
	tresult PLUGIN_API getProgramName (ProgramListID listId, int32 programIndex,
	                                   String128 name) SMTG_OVERRIDE;

	//---IMidiMapping
	tresult PLUGIN_API getMidiControllerAssignment (int32 busIndex, int16 channel,
	                                                CtrlNumber midiControllerNumber,
	                                                ParamID& id) SMTG_OVERRIDE;

	// The sample rate the processor last reported (44100 until it does).
	double getSampleRate () const { return sampleRate; }

	OBJ_METHODS (BaseController, EditControllerEx1)
	DEFINE_INTERFACES
		DEF_INTERFACE (IMidiMapping)
		DEF_INTERFACE (IUnitInfo)
	END_DEFINE_INTERFACES (EditControllerEx1)
	REFCOUNT_METHODS (EditControllerEx1)

protected:
	// Main thread: tells the host `flags` (restartComponent) later, outside the host call that
	// is running, from the host's run loop (see DeferredRestart).
	void restartLater (int32 flags);
	// Main thread: hands the processor the values of the IDs 0 up, for values the controller set
	// itself, so that the processor's state holds them before its next block.
	void sendValuesToProcessor ();
	// Main thread: the frame of the open editor, whose run loop may serve restarts; null when
	// it closes.
	void setEditorFrame (IPlugFrame* frame);

	// The parameter for each MIDI controller number (128 after-touch, 129 pitch bend);
	// kNoParamId where none is assigned.
	ParamID midiControllerParams[kCountCtrlNumber];
	const uint32 stateValueCount;
	double sampleRate = 44100.0;
	bool hasBypassParameter = true;

private:
	// Where a run loop for deferred restarts may come from, in the order they are asked.
	std::array<FUnknown*, 3> runLoopSources () const;

	DeferredRestart deferredRestart;
	IPlugFrame* editorFrame = nullptr;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
