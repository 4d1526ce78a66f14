#include "vst2wrapper.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/memorystream.h"
#include "hostresizeframe.h"
#include "public.sdk/source/vst/vstguieditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <thread>

namespace Steinberg {
namespace Vst {
namespace {

// The processor reserves working memory for its largest block: a larger announced size is
// cut to this, and longer host blocks run in pieces of it, so the host sees no difference.
constexpr int32 kLargestBlock = 65536;

// Copies `text` into a host buffer of `size` bytes, cut and always terminated.
VstIntPtr copyText (void* ptr, const std::string& text, size_t size)
{
	if (!ptr)
		return 0;
	auto* out = static_cast<char*> (ptr);
	const size_t length = std::min (text.size (), size - 1);
	std::memcpy (out, text.data (), length);
	out[length] = 0;
	return 1;
}

std::string toAscii (const TChar* text, int32 size)
{
	char buffer[256] {};
	UString (const_cast<TChar*> (text), size).toAscii (buffer, sizeof buffer);
	return buffer;
}

// The VST 2.4 plug-in category a VST 3 sub-category list names; the first match wins.
VstInt32 categoryOf (const std::string& subCategories)
{
	static const struct
	{
		const char* subCategory;
		VstInt32 category;
	} table[] = {
	    {"Reverb", kPlugCategRoomFx},       {"Instrument", kPlugCategSynth},
	    {"Analyzer", kPlugCategAnalysis},   {"Mastering", kPlugCategMastering},
	    {"Spatial", kPlugCategSpacializer}, {"Restoration", kPlugCategRestoration},
	    {"Generator", kPlugCategGenerator},
	};
	for (const auto& entry : table)
		if (subCategories.find (entry.subCategory) != std::string::npos)
			return entry.category;
	return kPlugCategEffect;
}

// "1.6.06.0811" as major * 1000 + minor * 100 + sub-version * 10: 1660.
VstInt32 versionOf (const char8* version)
{
	int major = 0, minor = 0, sub = 0;
	if (std::sscanf (version, "%d.%d.%d", &major, &minor, &sub) < 1)
		return 0;
	return major * 1000 + minor * 100 + sub * 10;
}

IPtr<MemoryStream> streamOf (const Vst2Chunk::Bytes& bytes)
{
	auto stream = owned (new MemoryStream);
	int32 written = 0;
	if (!bytes.empty ())
		stream->write (const_cast<uint8*> (bytes.data ()), static_cast<int32> (bytes.size ()),
		               &written);
	stream->seek (0, IBStream::kIBSeekSet, nullptr);
	return stream;
}

Vst2Chunk::Bytes bytesOf (MemoryStream& stream)
{
	const auto* data = reinterpret_cast<const uint8*> (stream.getData ());
	return Vst2Chunk::Bytes (data, data + stream.getSize ());
}

template <typename State>
Vst2Chunk::Bytes stateOf (State* object)
{
	auto stream = owned (new MemoryStream);
	if (!object || object->getState (stream) != kResultOk)
		return {};
	return bytesOf (*stream);
}

// A new object of the class `cid`, initialised; null if either step fails.
template <typename Interface>
IPtr<Interface> createInitialized (IPluginFactory* factory, const TUID cid, FUnknown* context)
{
	Interface* object = nullptr;
	if (factory->createInstance (cid, Interface::iid, reinterpret_cast<void**> (&object)) !=
	        kResultOk ||
	    !object)
		return nullptr;
	auto created = owned (object);
	return created->initialize (context) == kResultOk ? created : nullptr;
}

// A block of `samples` frames carrying the posted parameter changes.
ProcessData blockData (int32 samples, IParameterChanges* changes)
{
	ProcessData data;
	data.processMode = kRealtime;
	data.symbolicSampleSize = kSample32;
	data.numSamples = samples;
	data.inputParameterChanges = changes;
	return data;
}

} // namespace

AEffect* Vst2Wrapper::create (IPluginFactory* factory, const TUID componentId, VstInt32 uniqueId,
                              audioMasterCallback hostCallback)
{
	if (!factory || !hostCallback)
		return nullptr;
	auto* wrapper = new (std::nothrow) Vst2Wrapper (factory, hostCallback);
	if (!wrapper)
		return nullptr;
	if (!wrapper->init (componentId, uniqueId))
	{
		delete wrapper;
		return nullptr;
	}
	return &wrapper->effect;
}

Vst2Wrapper::Vst2Wrapper (IPluginFactory* factory, audioMasterCallback hostCallback)
: hostCallback (hostCallback), factory (factory)
{
	effect.magic = kEffectMagic;
	effect.object = this;
	effect.dispatcher = dispatcherCall;
	effect.setParameter = setParameterCall;
	effect.getParameter = getParameterCall;
	effect.processReplacing = processCall;
	effect.numPrograms = 1;
	effect.numInputs = 2;
	effect.numOutputs = 2;
	effect.flags = effFlagsCanReplacing | effFlagsProgramChunks;
	// The host answers non-zero when it has resized the editor's window. Views ask only while
	// open (from effEditOpen on, where a view may take the desktop's factor).
	editorFrame = owned (new Orvix::HostResizeFrame ([this] (int32 width, int32 height) {
		return this->hostCallback (&effect, audioMasterSizeWindow, width, height, nullptr, 0.f) != 0;
	}));
}

Vst2Wrapper::~Vst2Wrapper ()
{
	terminate ();
}

bool Vst2Wrapper::init (const TUID componentId, VstInt32 uniqueId)
{
	if (!readClassRecords (componentId))
		return false;
	FUnknown* context = static_cast<IHostApplication*> (&hostContext);

	component = createInitialized<IComponent> (factory, componentId, context);
	if (!component)
		return false;
	processor = FUnknownPtr<IAudioProcessor> (component);
	TUID controllerId;
	if (!processor || component->getControllerClassId (controllerId) != kResultOk)
		return false;

	controller = createInitialized<IEditController> (factory, controllerId, context);
	if (!controller)
		return false;
	// The slots exist before the controller can report an edit or a restart.
	readParameters ();
	controller->setComponentHandler (this);

	componentConnection = FUnknownPtr<IConnectionPoint> (component);
	controllerConnection = FUnknownPtr<IConnectionPoint> (controller);
	if (componentConnection && controllerConnection)
	{
		componentConnection->connect (controllerConnection);
		controllerConnection->connect (componentConnection);
	}
	controller->setComponentState (streamOf (stateOf (component.get ())));
	adoptControllerValues ();

	component->activateBus (kAudio, kInput, 0, true);
	component->activateBus (kAudio, kOutput, 0, true);
	SpeakerArrangement stereo[] = {SpeakerArr::kStereo};
	SpeakerArrangement stereoOut[] = {SpeakerArr::kStereo};
	processor->setBusArrangements (stereo, 1, stereoOut, 1);

	if (makeView ())
		effect.flags |= effFlagsHasEditor;
	effect.uniqueID = uniqueId;
	effect.version = vendorVersion;
	return true;
}

bool Vst2Wrapper::readClassRecords (const TUID componentId)
{
	PFactoryInfo factoryInfo;
	if (factory->getFactoryInfo (&factoryInfo) == kResultOk)
		vendor = factoryInfo.vendor;
	FUnknownPtr<IPluginFactory2> factory2 (factory);
	for (int32 i = 0; i < factory->countClasses (); ++i)
	{
		PClassInfo2 info;
		if (factory2 && factory2->getClassInfo2 (i, &info) == kResultOk)
		{
			if (std::memcmp (info.cid, componentId, sizeof (TUID)) != 0)
				continue;
			effectName = info.name;
			subCategories = info.subCategories;
			vendorVersion = versionOf (info.version);
			if (info.vendor[0])
				vendor = info.vendor;
			return true;
		}
		PClassInfo plainInfo;
		if (factory->getClassInfo (i, &plainInfo) == kResultOk &&
		    std::memcmp (plainInfo.cid, componentId, sizeof (TUID)) == 0)
		{
			effectName = plainInfo.name;
			return true;
		}
	}
	return false;
}

// A program-change parameter becomes the VST 2 programs and stays out of the parameter list, so
// that the other parameters keep the indices a host's automation refers to.
void Vst2Wrapper::readParameters ()
{
	const int32 count = std::max<int32> (controller->getParameterCount (), 0);
	for (int32 i = 0; i < count; ++i)
	{
		ParameterInfo info {};
		controller->getParameterInfo (i, info);
		if ((info.flags & ParameterInfo::kIsProgramChange) && programId == kNoParamId)
		{
			programId = info.id;
			effect.numPrograms = std::max<int32> (info.stepCount + 1, 1);
			continue;
		}
		paramIds.push_back (info.id);
		if ((info.flags & ParameterInfo::kIsBypass) && bypassId == kNoParamId)
			bypassId = info.id;
	}
	const auto slots = static_cast<int32> (paramIds.size ());
	parameterSlots.reset (new Vst2ParameterSlots (slots));
	pendingChanges.reset (new Vst2PendingChanges (paramIds.data (), *parameterSlots));
	effect.numParams = slots;
}

void Vst2Wrapper::terminate ()
{
	closeEditor ();
	view = nullptr;
	if (active)
		setActive (false);
	if (componentConnection && controllerConnection)
	{
		componentConnection->disconnect (controllerConnection);
		controllerConnection->disconnect (componentConnection);
	}
	componentConnection = nullptr;
	controllerConnection = nullptr;
	if (controller)
	{
		controller->setComponentHandler (nullptr);
		controller->terminate ();
		controller = nullptr;
	}
	processor = nullptr;
	if (component)
	{
		component->terminate ();
		component = nullptr;
	}
	factory = nullptr;
}

//------------------------------------------------------------------------
// Host calls

Vst2Wrapper* Vst2Wrapper::of (AEffect* effect)
{
	return effect ? static_cast<Vst2Wrapper*> (effect->object) : nullptr;
}

VstIntPtr Vst2Wrapper::dispatcherCall (AEffect* effect, int opcode, int index, VstIntPtr value,
                                       void* ptr, float opt)
{
	auto* wrapper = of (effect);
	if (!wrapper)
		return 0;
	if (opcode == effClose)
	{
		delete wrapper;
		return 1;
	}
	return wrapper->dispatch (opcode, index, value, ptr, opt);
}

void Vst2Wrapper::setParameterCall (AEffect* effect, int index, float value)
{
	if (auto* wrapper = of (effect))
		wrapper->setParameter (index, value);
}

float Vst2Wrapper::getParameterCall (AEffect* effect, int index)
{
	auto* wrapper = of (effect);
	return wrapper ? wrapper->getParameter (index) : 0.f;
}

void Vst2Wrapper::processCall (AEffect* effect, float** inputs, float** outputs, int frames)
{
	if (auto* wrapper = of (effect))
		wrapper->processReplacing (inputs, outputs, frames);
}

VstIntPtr Vst2Wrapper::dispatch (int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
	// Every dispatcher call comes on the main thread: the controller catches up first, so that
	// texts, chunks and the editor (at effEditIdle) show what the host set.
	updateController ();
	switch (opcode)
	{
		case effGetParamLabel:
		case effGetParamDisplay:
		case effGetParamName:
		case effString2Parameter:
		case effGetProgramName:
		case effGetProgramNameIndexed:
		case effGetEffectName:
		case effGetProductString:
		case effGetVendorString:
		case effCanDo: return dispatchText (opcode, index, ptr);
		case effGetChunk:
		case effSetChunk: return dispatchChunk (opcode, value, ptr);
		case effSetProgram: setProgram (value); return 0;
		case effGetProgram: return currentProgram ();
		case effSetSampleRate:
		case effSetBlockSize:
		case effMainsChanged:
		case effStartProcess:
		case effStopProcess: return dispatchProcessing (opcode, value, opt);
		case effEditGetRect:
		case effEditOpen:
		case effEditClose:
		case effEditIdle: return dispatchEditor (opcode, ptr);
		case effVendorSpecific:
			return index == Vst2::kVendorScaleIndex && value == Vst2::kVendorScaleValue ? setScaleFactor (opt) : 0;
		case effCanBeAutomated:
		{
			ParameterInfo info {};
			return validIndex (index) && controller->getParameterInfo (index, info) == kResultOk &&
			       (info.flags & ParameterInfo::kCanAutomate);
		}
		case Vst2::kEffSetBypass:
		{
			const int32 bypassIndex = indexOf (bypassId);
			if (bypassIndex < 0)
				return 0;
			setParameter (bypassIndex, value ? 1.f : 0.f);
			return 1;
		}
		case effSetSpeakerArrangement:
		{
			const auto* in = reinterpret_cast<const VstSpeakerArrangement*> (value);
			const auto* out = static_cast<const VstSpeakerArrangement*> (ptr);
			return in && out && in->numChannels == 2 && out->numChannels == 2;
		}
		case effGetPlugCategory: return categoryOf (subCategories);
		case effGetVendorVersion: return vendorVersion;
		case effGetVstVersion: return kVstVersion;
		case Vst2::kEffGetTailSize: return static_cast<VstIntPtr> (processor->getTailSamples ());
		default: return 0;
	}
}

VstIntPtr Vst2Wrapper::dispatchText (int opcode, int index, void* ptr)
{
	if (!ptr)
		return 0;
	switch (opcode)
	{
		case effGetEffectName:
			return copyText (ptr, effectName, Vst2::kMaxEffectNameSize);
		case effGetProductString:
			return copyText (ptr, effectName, Vst2::kMaxVendorTextSize);
		case effGetVendorString:
			return copyText (ptr, vendor, Vst2::kMaxVendorTextSize);
		case effGetProgramName:
			return copyText (ptr, programName (currentProgram ()), Vst2::kMaxProgramNameSize);
		case effGetProgramNameIndexed:
			return index >= 0 && index < effect.numPrograms
			           ? copyText (ptr, programName (index), Vst2::kMaxProgramNameSize)
			           : 0;
		case effCanDo:
		{
			const char* canDo = static_cast<const char*> (ptr);
			for (const char* supported : {"bypass", "plugAsChannelInsert", "plugAsSend"})
				if (std::strcmp (canDo, supported) == 0)
					return Vst2::kCanDoYes;
			return Vst2::kCanDoUnknown;
		}
		default: break;
	}

	if (!validIndex (index))
		return 0;
	const ParamID id = paramIds[index];
	if (opcode == effString2Parameter)
	{
		String128 text {};
		UString (text, 128).fromAscii (static_cast<const char*> (ptr));
		ParamValue normalized = 0.0;
		if (controller->getParamValueByString (id, text, normalized) != kResultOk)
			return 0;
		setParameter (index, static_cast<float> (normalized));
		return 1;
	}
	ParameterInfo info {};
	if (controller->getParameterInfo (index, info) != kResultOk)
		return 0;
	if (opcode == effGetParamName)
		return copyText (ptr, toAscii (info.title, 128), Vst2::kMaxParamTextSize);
	if (opcode == effGetParamLabel)
		return copyText (ptr, toAscii (info.units, 128), Vst2::kMaxParamTextSize);
	String128 display {};
	if (controller->getParamStringByValue (id, controller->getParamNormalized (id), display) !=
	    kResultOk)
		return 0;
	return copyText (ptr, toAscii (display, 128), Vst2::kMaxParamTextSize);
}

VstIntPtr Vst2Wrapper::dispatchChunk (int opcode, VstIntPtr value, void* ptr)
{
	if (opcode == effGetChunk)
		return getChunk (static_cast<void**> (ptr));
	return setChunk (ptr, value);
}

VstIntPtr Vst2Wrapper::dispatchProcessing (int opcode, VstIntPtr value, float opt)
{
	const bool wasActive = active;
	switch (opcode)
	{
		case effSetSampleRate:
			if (!(opt > 0.f))
				return 0;
			if (wasActive)
				setActive (false);
			sampleRate = opt;
			break;
		case effSetBlockSize:
			if (value <= 0)
				return 0;
			if (wasActive)
				setActive (false);
			maxBlockSize = static_cast<int32> (std::min<VstIntPtr> (value, kLargestBlock));
			break;
		case effMainsChanged: setActive (value != 0); return 0;
		case effStartProcess: setProcessing (true); return 0;
		case effStopProcess: setProcessing (false); return 0;
		default: return 0;
	}
	if (wasActive)
		setActive (true);
	return 0;
}

//------------------------------------------------------------------------
// Editor

bool Vst2Wrapper::makeView ()
{
	if (view)
		return true;
	view = owned (controller->createView (ViewType::kEditor));
	if (!view)
		return false;
	view->setFrame (editorFrame);
	// Without a factor from the host the view keeps its own (the desktop's).
	FUnknownPtr<IPlugViewContentScaleSupport> scaling (view.get ());
	if (scaling && scaleFactor)
		scaling->setContentScaleFactor (*scaleFactor);
	return true;
}

VstIntPtr Vst2Wrapper::setScaleFactor (float factor)
{
	if (!std::isfinite (factor) || !makeView ())
		return 0;
	scaleFactor = factor;
	FUnknownPtr<IPlugViewContentScaleSupport> scaling (view.get ());
	return scaling && scaling->setContentScaleFactor (factor) == kResultTrue;
}

VstIntPtr Vst2Wrapper::dispatchEditor (int opcode, void* ptr)
{
	switch (opcode)
	{
		case effEditGetRect:
		{
			ViewRect size;
			if (!ptr || !makeView () || view->getSize (&size) != kResultOk)
				return 0;
			editorRect = {0, 0, static_cast<short> (size.getHeight ()),
			              static_cast<short> (size.getWidth ())};
			*static_cast<ERect**> (ptr) = &editorRect;
			return 1;
		}
		case effEditOpen:
		{
			// ptr is the host's parent window: an HWND on Windows, an X11 window elsewhere.
#if defined(_WIN32)
			const FIDString parentType = kPlatformTypeHWND;
#else
			const FIDString parentType = kPlatformTypeX11EmbedWindowID;
#endif
			if (editorOpen || !ptr || !makeView ())
				return 0;
			editorOpen = view->attached (ptr, parentType) == kResultTrue;
			return editorOpen;
		}
		case effEditClose: closeEditor (); return 0;
		case effEditIdle:
			// A VST 2 host offers no run loop: its idle calls serve the editor's events and timers.
			if (editorOpen)
				if (auto* editor = dynamic_cast<VSTGUIEditor*> (view.get ()))
					editor->idle ();
			return 0;
		default: return 0;
	}
}

void Vst2Wrapper::closeEditor ()
{
	if (!editorOpen)
		return;
	view->removed ();
	editorOpen = false;
	view = nullptr; // the next opening starts from a new view, as VST 3 hosts do
}

void Vst2Wrapper::setParameter (int index, float value)
{
	if (!validIndex (index) || !(value >= 0.f && value <= 1.f))
		return;
	parameterSlots->post (index, value, Vst2ParameterSlots::kProcessor | Vst2ParameterSlots::kController);
}

float Vst2Wrapper::getParameter (int index)
{
	return static_cast<float> (parameterSlots->newest (index));
}

void Vst2Wrapper::updateController ()
{
	for (int32 i = 0; i < parameterSlots->size (); ++i)
	{
		ParamValue value = 0.0;
		if (parameterSlots->take (i, Vst2ParameterSlots::kController, value))
			controller->setParamNormalized (paramIds[i], value);
	}
}

void Vst2Wrapper::adoptControllerValues ()
{
	for (int32 i = 0; i < parameterSlots->size (); ++i)
		parameterSlots->post (i, controller->getParamNormalized (paramIds[i]), 0);
}

void Vst2Wrapper::processReplacing (float** inputs, float** outputs, int frames)
{
	if (!outputs || !outputs[0] || !outputs[1] || frames <= 0)
		return;
	if (!processing || !inputs || !inputs[0] || !inputs[1])
	{
		std::fill (outputs[0], outputs[0] + frames, 0.f);
		std::fill (outputs[1], outputs[1] + frames, 0.f);
		return;
	}
	blockSequence.fetch_add (1, std::memory_order_acq_rel);
	pendingChanges->collect ();
	// A block longer than announced runs as several blocks of at most the announced size.
	for (int done = 0; done < frames;)
	{
		const int32 count = std::min (frames - done, maxBlockSize);
		float* in[2] = {inputs[0] + done, inputs[1] + done};
		float* out[2] = {outputs[0] + done, outputs[1] + done};
		AudioBusBuffers inBus {};
		inBus.numChannels = 2;
		inBus.channelBuffers32 = in;
		AudioBusBuffers outBus {};
		outBus.numChannels = 2;
		outBus.channelBuffers32 = out;

		ProcessData data = blockData (count, pendingChanges.get ());
		data.numInputs = 1;
		data.numOutputs = 1;
		data.inputs = &inBus;
		data.outputs = &outBus;
		processor->process (data);
		pendingChanges->clear (); // the changes belong to the first block
		done += count;
	}
	blockSequence.fetch_add (1, std::memory_order_release);
}

//------------------------------------------------------------------------
// Processing state

void Vst2Wrapper::setupProcessing ()
{
	ProcessSetup setup {kRealtime, kSample32, maxBlockSize, sampleRate};
	processor->setupProcessing (setup);
}

void Vst2Wrapper::setActive (bool state)
{
	if (state == active)
		return;
	if (state)
	{
		setupProcessing ();
		component->setActive (true);
		active = true;
		setProcessing (true);
	}
	else
	{
		setProcessing (false);
		component->setActive (false);
		active = false;
	}
}

void Vst2Wrapper::setProcessing (bool state)
{
	if (state == processing || (state && !active))
		return;
	processor->setProcessing (state);
	processing = state;
}

// When the audio thread took a value before the main thread's hold could, the hold reads the
// slot after that take and so sees the block's start, counted before the take.
void Vst2Wrapper::waitForRunningBlock () const
{
	const uint64 seen = blockSequence.load (std::memory_order_acquire);
	if (seen & 1)
		while (blockSequence.load (std::memory_order_acquire) == seen)
			std::this_thread::yield ();
}

// While no blocks run, values posted by the host would wait for the next block, and a chunk
// saved meanwhile would miss them: a block of no samples hands them to the processor now.
void Vst2Wrapper::flushPendingChanges ()
{
	if (processing)
		return;
	pendingChanges->collect ();
	ProcessData data = blockData (0, pendingChanges.get ());
	processor->process (data);
	pendingChanges->clear ();
}

//------------------------------------------------------------------------
// State

VstIntPtr Vst2Wrapper::getChunk (void** data)
{
	if (!data)
		return 0;
	flushPendingChanges ();
	chunk = Vst2Chunk::write (stateOf (component.get ()), stateOf (controller.get ()));
	*data = chunk.data ();
	return static_cast<VstIntPtr> (chunk.size ());
}

VstIntPtr Vst2Wrapper::setChunk (const void* data, VstIntPtr size)
{
	Vst2Chunk::Bytes componentState, controllerState;
	if (size <= 0 ||
	    !Vst2Chunk::read (data, static_cast<size_t> (size), componentState, controllerState))
		return 0;
	// Values set before the load take effect before it, not after it: the controller has them
	// already, and those still waiting for the processor's next block are held back while the
	// state is loaded, so that a block running meanwhile cannot apply them over it. A block
	// that took some of them already hands them on before the state is loaded: the processor
	// applies a loaded state before the changes of the block that finds it.
	std::vector<std::pair<int32, ParamValue>> held;
	for (int32 i = 0; i < parameterSlots->size (); ++i)
	{
		ParamValue value = 0.0;
		if (parameterSlots->take (i, Vst2ParameterSlots::kProcessor, value))
			held.emplace_back (i, value);
	}
	waitForRunningBlock ();
	if (component->setState (streamOf (componentState)) != kResultOk)
	{
		// Nothing was loaded: the held values go on to the processor.
		for (const auto& [index, value] : held)
			parameterSlots->giveBack (index, Vst2ParameterSlots::kProcessor, value);
		return 0;
	}
	// The controller mirrors the component state, as after a VST 3 host's project load.
	controller->setComponentState (streamOf (componentState));
	if (!controllerState.empty ())
		controller->setState (streamOf (controllerState));
	adoptControllerValues ();
	return 1;
}

//------------------------------------------------------------------------
// Programs

VstInt32 Vst2Wrapper::currentProgram () const
{
	if (programId == kNoParamId)
		return 0;
	const ParamValue plain =
	    controller->normalizedParamToPlain (programId, controller->getParamNormalized (programId));
	return std::clamp (static_cast<VstInt32> (plain), 0, effect.numPrograms - 1);
}

std::string Vst2Wrapper::programName (VstInt32 program) const
{
	if (programId == kNoParamId)
		return "Default";
	String128 name {};
	const ParamValue value = controller->plainParamToNormalized (programId, program);
	if (controller->getParamStringByValue (programId, value, name) != kResultOk)
		return {};
	return toAscii (name, 128);
}

// A host sets the current program again as it loads a project, before or after the chunk that
// holds the project's values: only another program replaces the values.
void Vst2Wrapper::setProgram (VstIntPtr program)
{
	if (programId == kNoParamId || program < 0 || program >= effect.numPrograms ||
	    program == currentProgram ())
		return;
	const auto index = static_cast<VstInt32> (program);
	controller->setParamNormalized (programId, controller->plainParamToNormalized (programId, index));
	// The controller has set the program's values, and its processor's state holds them; the
	// processor applies them with its next block. The controller's own restart may come only
	// later (from a run loop that a VST 2 host may not have): the host hears of them now, as
	// VST 2 hosts expect during a program change.
	for (int32 i = 0; i < parameterSlots->size (); ++i)
		parameterSlots->post (i, controller->getParamNormalized (paramIds[i]),
		                      Vst2ParameterSlots::kProcessor);
	hostCallback (&effect, Vst2::kAudioMasterUpdateDisplay, 0, 0, nullptr, 0.f);
}

//------------------------------------------------------------------------
// Controller edits

int32 Vst2Wrapper::indexOf (ParamID id) const
{
	const auto found = std::find (paramIds.begin (), paramIds.end (), id);
	return found == paramIds.end () ? -1 : static_cast<int32> (found - paramIds.begin ());
}

tresult Vst2Wrapper::tellHost (int opcode, ParamID id, float value)
{
	const int32 index = indexOf (id);
	if (index < 0)
		return kInvalidArgument;
	hostCallback (&effect, opcode, index, 0, nullptr, value);
	return kResultOk;
}

tresult PLUGIN_API Vst2Wrapper::beginEdit (ParamID id)
{
	return tellHost (audioMasterBeginEdit, id);
}

tresult PLUGIN_API Vst2Wrapper::performEdit (ParamID id, ParamValue valueNormalized)
{
	// The controller has the value already; an unknown ID posts nothing.
	parameterSlots->post (indexOf (id), valueNormalized, Vst2ParameterSlots::kProcessor);
	return tellHost (audioMasterAutomate, id, static_cast<float> (valueNormalized));
}

tresult PLUGIN_API Vst2Wrapper::endEdit (ParamID id)
{
	return tellHost (audioMasterEndEdit, id);
}

tresult PLUGIN_API Vst2Wrapper::restartComponent (int32 flags)
{
	if (flags & kParamValuesChanged)
	{
		for (int32 i = 0; i < parameterSlots->size (); ++i)
			parameterSlots->refresh (i, controller->getParamNormalized (paramIds[i]));
		hostCallback (&effect, Vst2::kAudioMasterUpdateDisplay, 0, 0, nullptr, 0.f);
	}
	return kResultOk;
}

tresult PLUGIN_API Vst2Wrapper::queryInterface (const TUID iid, void** obj)
{
	QUERY_INTERFACE (iid, obj, FUnknown::iid, IComponentHandler)
	QUERY_INTERFACE (iid, obj, IComponentHandler::iid, IComponentHandler)
	*obj = nullptr;
	return kNoInterface;
}

} // namespace Vst
} // namespace Steinberg
