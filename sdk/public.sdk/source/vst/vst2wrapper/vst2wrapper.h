// Vst2Wrapper: a VST 3 processor and its controller, created through the module's factory,
// presented to a VST 2.4 host as one effect. The host talks to the AEffect; its dispatcher
// calls reach the wrapper, and the controller's edits reach the host's callback.
//
// Threads: the host calls the dispatcher on its main thread, which is also the editor's;
// processReplacing on its audio thread; setParameter and getParameter on any thread. The
// controller, and through it the editor, is only ever called on the main thread: values the
// host sets wait in lock-free slots until the next dispatcher call hands them over.
//
// The editor takes the host's content scale factor from effVendorSpecific ('PreS', 'AeCs'), and
// asks for a new window size through audioMasterSizeWindow.
#pragma once

#include "fstinterface.h"
#include "vst2chunk.h"
#include "vst2pendingchanges.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Steinberg {
namespace Vst {

class Vst2Wrapper final : public IComponentHandler
{
public:
	// Builds the effect around the processor class `componentId`; null when the processor or
	// its controller cannot be made. The wrapper takes its own reference to the factory.
	// The effect lives until the host sends effClose.
	static AEffect* create (IPluginFactory* factory, const TUID componentId, VstInt32 uniqueId,
	                        audioMasterCallback hostCallback);

	~Vst2Wrapper ();
	Vst2Wrapper (const Vst2Wrapper&) = delete;
	Vst2Wrapper& operator= (const Vst2Wrapper&) = delete;

	//---IComponentHandler, called by the controller on the main thread: its edits, passed on to
	// the host as automation
	tresult PLUGIN_API beginEdit (ParamID id) SMTG_OVERRIDE;
	tresult PLUGIN_API performEdit (ParamID id, ParamValue valueNormalized) SMTG_OVERRIDE;
	tresult PLUGIN_API endEdit (ParamID id) SMTG_OVERRIDE;
	tresult PLUGIN_API restartComponent (int32 flags) SMTG_OVERRIDE;

	// Owned by the effect: reference counting is a no-op.
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE { return 1; }
	uint32 PLUGIN_API release () SMTG_OVERRIDE { return 1; }

private:
	Vst2Wrapper (IPluginFactory* factory, audioMasterCallback hostCallback);
	bool init (const TUID componentId, VstInt32 uniqueId);
	bool readClassRecords (const TUID componentId);
	void readParameters ();
	void terminate ();

	// Main thread.
	VstIntPtr dispatch (int opcode, int index, VstIntPtr value, void* ptr, float opt);
	VstIntPtr dispatchText (int opcode, int index, void* ptr);
	VstIntPtr dispatchChunk (int opcode, VstIntPtr value, void* ptr);
	VstIntPtr dispatchProcessing (int opcode, VstIntPtr value, float opt);
	VstIntPtr dispatchEditor (int opcode, void* ptr);
	// The view, made with the editor frame and the scale factor if there is none.
	bool makeView ();
	// 1 when the view takes the factor (finite; the view limits it), which is kept for later views.
	VstIntPtr setScaleFactor (float factor);
	void closeEditor ();

	// Any thread: the value waits for the processor's next block and the controller's next
	// main-thread call; getParameter gives the newest value at once.
	void setParameter (int index, float value);
	float getParameter (int index);
	// Audio thread.
	void processReplacing (float** inputs, float** outputs, int frames);
	// Main thread: hands the controller the values the host set since the last call.
	void updateController ();
	// Main thread: the controller's values become every slot's newest, with nothing left to take
	// (after a state load, which replaces whatever the host set before it).
	void adoptControllerValues ();

	int32 indexOf (ParamID id) const;
	bool validIndex (int index) const { return index >= 0 && index < effect.numParams; }
	// Sends the host `opcode` for the parameter `id` under its index; refuses unknown IDs.
	tresult tellHost (int opcode, ParamID id, float value = 0.f);

	void setActive (bool state);
	void setProcessing (bool state);
	void setupProcessing ();
	void flushPendingChanges ();
	// Main thread: returns once a block that is running, if any, has handed on its values.
	void waitForRunningBlock () const;
	VstIntPtr getChunk (void** data);
	VstIntPtr setChunk (const void* data, VstIntPtr size);

	// Main thread: the controller's program-change parameter as the host's programs; one
	// program, "Default", without one.
	VstInt32 currentProgram () const;
	std::string programName (VstInt32 program) const;
	void setProgram (VstIntPtr program);

	static Vst2Wrapper* of (AEffect* effect);
	static VstIntPtr dispatcherCall (AEffect* effect, int opcode, int index, VstIntPtr value,
	                                 void* ptr, float opt);
	static void setParameterCall (AEffect* effect, int index, float value);
	static float getParameterCall (AEffect* effect, int index);
	static void processCall (AEffect* effect, float** inputs, float** outputs, int frames);

	AEffect effect {};
	audioMasterCallback hostCallback;
	HostApplication hostContext; // not reference-counted: lives with the wrapper
	IPtr<IPluginFactory> factory;
	IPtr<IComponent> component;
	IPtr<IAudioProcessor> processor;
	IPtr<IEditController> controller;
	IPtr<IConnectionPoint> componentConnection;
	IPtr<IConnectionPoint> controllerConnection;

	std::string effectName;
	std::string vendor;
	std::string subCategories;
	VstInt32 vendorVersion = 0;

	std::vector<ParamID> paramIds;
	ParamID bypassId = kNoParamId;
	ParamID programId = kNoParamId; // the program-change parameter, kept out of paramIds
	std::unique_ptr<Vst2ParameterSlots> parameterSlots; // by host index
	std::unique_ptr<Vst2PendingChanges> pendingChanges; // the processor's share of the slots

	double sampleRate = 44100.0;
	int32 maxBlockSize = 1024;
	bool active = false;
	bool processing = false;
	// Odd while processReplacing is between taking the processor's values and handing them on.
	std::atomic<uint64> blockSequence {0};
	Vst2Chunk::Bytes chunk; // the last chunk handed to the host, alive until the next request

	// Every view's IPlugFrame: a resize goes to the host as audioMasterSizeWindow. It outlives the
	// views, which hold it unreferenced.
	IPtr<IPlugFrame> editorFrame;
	std::optional<float> scaleFactor; // the host's last content scale factor for the editor
	IPtr<IPlugView> view; // made on the first editor request, kept until effEditClose
	bool editorOpen = false;
	ERect editorRect {};
};

} // namespace Vst
} // namespace Steinberg
