// The built module loaded as a VST 2.4 host loads it: VSTPluginMain with a host callback,
// then the AEffect's dispatcher, parameter and process functions.
#include "directprocessor.h"
#include "factorypresets.h"
#include "kt3ids.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "privatedisplay.h"
#include "referencevst2.h"
#include "x11parentwindow.h"

#include "public.sdk/source/vst/vst2wrapper/vst2wrapper.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <unistd.h>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace kt3host;

namespace {

struct HostCall
{
	int opcode;
	int index;
	float opt;
	VstIntPtr value;
};

// The callback has no user pointer before the effect exists, so the test host is global. It
// resizes the editor's window whenever asked.
VstIntPtr versionAnswer = kVstVersion;
std::vector<HostCall> hostCalls;

VstIntPtr testHost (AEffect*, int opcode, int index, VstIntPtr value, void*, float opt)
{
	hostCalls.push_back ({opcode, index, opt, value});
	return opcode == audioMasterVersion ? versionAnswer : opcode == audioMasterSizeWindow ? 1 : 0;
}

using MainProc = AEffect* (*) (audioMasterCallback);

constexpr int kBypassIndex = 0, kSizeIndex = 1, kMixIndex = 3, kParamCount = 5;
constexpr int kBlock = 256;
// effVendorSpecific's index and value for the editor's content scale factor: 'PreS', 'AeCs'.
constexpr int kScaleIndex = 0x50726553;
constexpr VstIntPtr kScaleValue = 0x41654373;

// Fills both channels of a block with a reproducible noise burst.
void fillInput (float* left, float* right, int frames, int seed)
{
	uint32 state = 0x9E3779B9u * static_cast<uint32> (seed + 1);
	for (int i = 0; i < frames; ++i)
	{
		state = state * 1664525u + 1013904223u;
		left[i] = static_cast<float> (state >> 8) / 16777216.f - 0.5f;
		right[i] = left[(i * 7) % (i + 1)] * 0.5f;
	}
}

std::vector<uint8> chunkOf (int64 componentSize, int64 controllerSize, const std::vector<uint8>& body)
{
	std::vector<uint8> chunk;
	for (int64 size : {componentSize, controllerSize})
		for (int byte = 0; byte < 8; ++byte)
			chunk.push_back (static_cast<uint8> (static_cast<uint64> (size) >> (8 * byte)));
	chunk.insert (chunk.end (), body.begin (), body.end ());
	return chunk;
}

// The size double of the component state in a chunk: after the two sizes and the count word.
double sizeIn (const std::vector<uint8>& chunk)
{
	double value = -1.0;
	if (chunk.size () >= 28)
		std::memcpy (&value, chunk.data () + 20, sizeof value);
	return value;
}

// Waits until `done` (a window or chunk the X server or the other threads deliver) for up to
// three seconds, calling `step` in between.
template <typename Done, typename Step>
bool settle (Done done, Step step)
{
	for (int wait = 0; wait < 300; ++wait)
	{
		if (done ())
			return true;
		step ();
		usleep (10000);
	}
	return done ();
}

// The editor's window is made and destroyed on its own connection: the server may serve a
// query first, so it is asked again until it answers `expected`.
void* parentOf (const kt3host::X11ParentWindow& window)
{
	return reinterpret_cast<void*> (static_cast<uintptr_t> (window.id ()));
}

size_t childCountSettlingAt (kt3host::X11ParentWindow& window, size_t expected)
{
	settle ([&] { return window.children ().size () == expected; }, [] {});
	return window.children ().size ();
}

} // namespace

class Vst2Effect : public ::testing::Test
{
protected:
	PluginModule module {KT3_BUNDLE_PATH};
	MainProc vstMain = nullptr;
	AEffect* effect = nullptr;

	void SetUp () override
	{
		ASSERT_TRUE (module.loaded ()) << module.error ();
		vstMain = reinterpret_cast<MainProc> (module.symbol ("VSTPluginMain"));
		ASSERT_TRUE (vstMain);
		versionAnswer = kVstVersion;
		hostCalls.clear ();
		effect = vstMain (testHost);
		ASSERT_TRUE (effect);
	}
	void TearDown () override
	{
		if (effect)
			dispatch (effClose);
	}

	VstIntPtr dispatch (int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr,
	                    float opt = 0.f)
	{
		return effect->dispatcher (effect, opcode, index, value, ptr, opt);
	}
	std::string text (int opcode, int index = 0)
	{
		char buffer[128];
		std::memset (buffer, 'x', sizeof buffer);
		buffer[sizeof buffer - 1] = 0;
		dispatch (opcode, index, 0, buffer);
		return buffer;
	}
	void start (int blockSize = kBlock)
	{
		dispatch (effSetSampleRate, 0, 0, nullptr, 48000.f);
		dispatch (effSetBlockSize, 0, blockSize);
		dispatch (effMainsChanged, 0, 1);
	}
	std::vector<uint8> chunk ()
	{
		void* data = nullptr;
		const VstIntPtr size = dispatch (effGetChunk, 0, 0, &data);
		const auto* bytes = static_cast<const uint8*> (data);
		return size > 0 && bytes ? std::vector<uint8> (bytes, bytes + size) : std::vector<uint8> {};
	}
	VstIntPtr setChunk (std::vector<uint8> bytes)
	{
		return dispatch (effSetChunk, 0, static_cast<VstIntPtr> (bytes.size ()), bytes.data ());
	}
	// As a host's other thread sets a value: from a thread of its own.
	void setOnAnotherThread (int index, float value)
	{
		std::thread ([=] { effect->setParameter (effect, index, value); }).join ();
	}
	// One block of kBlock frames of noise through the effect and, with the changes `block` holds,
	// through `linked`: true when both give the same bits.
	bool processBoth (DirectProcessor& linked, ProcessBlock& block, int seed)
	{
		fillInput (block.in (0), block.in (1), kBlock, seed);
		std::vector<float> out[2] = {std::vector<float> (kBlock), std::vector<float> (kBlock)};
		float* inputs[] = {block.in (0), block.in (1)};
		float* outputs[] = {out[0].data (), out[1].data ()};
		effect->processReplacing (effect, inputs, outputs, kBlock);
		block.process (linked.processor ());
		return std::memcmp (block.out (0), out[0].data (), sizeof (float) * kBlock) == 0 &&
		       std::memcmp (block.out (1), out[1].data (), sizeof (float) * kBlock) == 0;
	}
	// Idles the editor as a host's main thread does until the window shows what `done` waits for.
	bool idleUntil (const std::function<bool ()>& done)
	{
		return settle (done, [this] { dispatch (effEditIdle); });
	}
};

// The effect with a private X display, and a host window on it for the editor.
class Vst2EffectWithDisplay : public WithPrivateDisplay<Vst2Effect>
{
protected:
	void SetUp () override
	{
		WithPrivateDisplay<Vst2Effect>::SetUp ();
		ASSERT_TRUE (window.isOpen ()) << window.error ();
	}

	kt3host::X11ParentWindow window {281, 232};
};

TEST_F (Vst2Effect, VersionZeroHostGetsNothingAndTheFactoryLivesOnlyWithEffects)
{
	// While an effect is open it holds the only factory reference besides ours.
	IPluginFactory* factory = module.factory ();
	EXPECT_EQ (factory->addRef (), 3u);
	factory->release ();
	factory->release ();
	dispatch (effClose);
	effect = nullptr;

	versionAnswer = 0;
	hostCalls.clear ();
	EXPECT_EQ (vstMain (testHost), nullptr);
	ASSERT_EQ (hostCalls.size (), 1u);
	EXPECT_EQ (hostCalls[0].opcode, audioMasterVersion);
	EXPECT_EQ (vstMain (nullptr), nullptr);

	// No factory outlived the closed effect or the refusal: the next one is new.
	factory = module.factory ();
	EXPECT_EQ (factory->addRef (), 2u);
	factory->release ();
	factory->release ();
}

TEST_F (Vst2Effect, DescribesItselfAsTheStereoReverb)
{
	EXPECT_EQ (effect->magic, kEffectMagic);
	EXPECT_EQ (effect->uniqueID, CCONST ('j', 'K', 'T', '3'));
	EXPECT_EQ (effect->numInputs, 2);
	EXPECT_EQ (effect->numOutputs, 2);
	EXPECT_EQ (effect->numPrograms, Orvix::kFactoryPresetCount);
	EXPECT_EQ (effect->numParams, 5); // the program-change parameter is the programs
	EXPECT_TRUE (effect->processReplacing);
	EXPECT_FALSE (effect->processDoubleReplacing);
	EXPECT_EQ (effect->flags, effFlagsCanReplacing | effFlagsProgramChunks | effFlagsHasEditor);

	EXPECT_EQ (text (effGetEffectName), "KT3");
	EXPECT_EQ (text (effGetProductString), "KT3");
	EXPECT_EQ (text (effGetVendorString), "Orvix");
	EXPECT_EQ (dispatch (effGetPlugCategory), kPlugCategRoomFx);
	EXPECT_EQ (dispatch (effGetVstVersion), 2400);
	EXPECT_EQ (dispatch (effGetVendorVersion), 1660);
	char bypass[] = "bypass", midi[] = "receiveVstMidiEvent";
	EXPECT_EQ (dispatch (effCanDo, 0, 0, bypass), 1);
	EXPECT_EQ (dispatch (effCanDo, 0, 0, midi), 0);

	VstSpeakerArrangement stereo {}, mono {};
	stereo.type = kSpeakerArrStereo;
	stereo.numChannels = 2;
	mono.type = kSpeakerArrMono;
	mono.numChannels = 1;
	EXPECT_EQ (dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&stereo), &stereo), 1);
	EXPECT_EQ (dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&mono), &mono), 0);
}

TEST_F (Vst2Effect, ParametersInControllerOrderWithTheirTexts)
{
	const char* names[] = {"Bypass", "Size", "HF Damp", "Mix", "Output"};
	const char* labels[] = {"", "m", "%", "%", "dB"};
	const char* displays[] = {"off", "7.00", "70.00", "90.00", "0.00"};
	for (int i = 0; i < 5; ++i)
	{
		EXPECT_EQ (text (effGetParamName, i), names[i]) << i;
		EXPECT_EQ (text (effGetParamLabel, i), labels[i]) << i;
		EXPECT_EQ (text (effGetParamDisplay, i), displays[i]) << i;
		EXPECT_EQ (dispatch (effCanBeAutomated, i), 1) << i;
	}
	EXPECT_FLOAT_EQ (effect->getParameter (effect, kMixIndex), 0.9f);

	char fifty[] = "50", junk[] = "loud";
	EXPECT_EQ (dispatch (effString2Parameter, kMixIndex, 0, fifty), 1);
	EXPECT_FLOAT_EQ (effect->getParameter (effect, kMixIndex), 0.5f);
	EXPECT_EQ (text (effGetParamDisplay, kMixIndex), "50.00");
	EXPECT_EQ (dispatch (effString2Parameter, kMixIndex, 0, junk), 0);
	EXPECT_FLOAT_EQ (effect->getParameter (effect, kMixIndex), 0.5f);

	EXPECT_EQ (dispatch (Vst2::kEffSetBypass, 0, 1), 1);
	EXPECT_FLOAT_EQ (effect->getParameter (effect, kBypassIndex), 1.f);
}

// The factory presets as VST 2 programs: names, the program change reaching the parameters, the
// host and the audio as the VST 3 path's four values do, and the current program set again
// (as hosts do around a project's chunk) changing nothing.
TEST_F (Vst2Effect, FactoryPresetsAreTheProgramsAndReachTheAudio)
{
	using namespace Orvix;
	const int last = kFactoryPresetCount - 1;
	for (int i = 0; i <= last; ++i)
		EXPECT_EQ (text (effGetProgramNameIndexed, i), factoryPreset (i).name);
	EXPECT_EQ (dispatch (effGetProgramNameIndexed, kFactoryPresetCount, 0, nullptr), 0);
	EXPECT_EQ (dispatch (effGetProgram), 0);
	EXPECT_EQ (text (effGetProgramName), "Default");

	start ();
	DirectProcessor linked ({48000.0, kBlock});
	ProcessBlock block (kBlock);
	block.begin (kBlock);
	ASSERT_TRUE (processBoth (linked, block, 1));

	hostCalls.clear ();
	dispatch (effSetProgram, 0, last);
	EXPECT_EQ (dispatch (effGetProgram), last);
	EXPECT_EQ (text (effGetProgramName), factoryPreset (last).name);
	EXPECT_TRUE (std::any_of (hostCalls.begin (), hostCalls.end (), [] (const HostCall& c) {
		return c.opcode == Vst2::kAudioMasterUpdateDisplay;
	}));
	for (ParamID id = 0; id < kReverbParamCount; ++id)
		EXPECT_FLOAT_EQ (effect->getParameter (effect, int (id) + 1),
		                 float (presetNormalized (factoryPreset (last), id)));
	// A project saved now, while processing is on but before the next block, keeps the program.
	EXPECT_EQ (sizeIn (chunk ()), presetNormalized (factoryPreset (last), kSizeId));
	block.begin (kBlock);
	for (ParamID id = 0; id < kReverbParamCount; ++id)
		block.changes ().add (id, presetNormalized (factoryPreset (last), id));
	EXPECT_TRUE (processBoth (linked, block, 2));

	// An edit, then the current program again: the edit stays.
	effect->setParameter (effect, kSizeIndex, 0.25f);
	dispatch (effSetProgram, 0, last);
	EXPECT_FLOAT_EQ (effect->getParameter (effect, kSizeIndex), 0.25f);
	dispatch (effSetProgram, 0, kFactoryPresetCount); // no such program
	dispatch (effSetProgram, 0, -1);
	EXPECT_EQ (dispatch (effGetProgram), last);
	block.begin (kBlock);
	block.changes ().add (kSizeId, 0.25f);
	EXPECT_TRUE (processBoth (linked, block, 3));

	// The chunk is the 40-byte state as before: a program is a way to set values.
	EXPECT_EQ (chunk ().size (), 16u + 40u);
}

TEST_F (Vst2Effect, OutputEqualsTheVst3PathBitForBit)
{
	start ();
	DirectProcessor linked ({48000.0, kBlock});
	ProcessBlock block (kBlock);
	std::vector<float> in[2], out[2];
	auto* handler = static_cast<IComponentHandler*> (static_cast<Vst2Wrapper*> (effect->object));

	// Block sizes: within the announced size, then one longer (run as 256 + 256 + 88).
	const int frames[] = {256, 256, 100, 256, 256, 256, 256, 600};
	for (int b = 0; b < 8; ++b)
	{
		block.begin (std::min (frames[b], kBlock));
		if (b == 0)
		{
			effect->setParameter (effect, kSizeIndex, 0.8f);
			block.changes ().add (Orvix::kSizeId, 0.8f);
		}
		if (b == 3)
		{
			handler->performEdit (Orvix::kMixId, 0.3);
			block.changes ().add (Orvix::kMixId, 0.3);
		}
		if (b == 5)
		{
			dispatch (Vst2::kEffSetBypass, 0, 1);
			block.changes ().add (Orvix::kBypassId, 1.0);
		}
		if (b == 6)
		{
			dispatch (Vst2::kEffSetBypass, 0, 0);
			block.changes ().add (Orvix::kBypassId, 0.0);
		}
		for (int c = 0; c < 2; ++c)
		{
			in[c].assign (frames[b], 0.f);
			out[c].assign (frames[b], 1.f);
		}
		fillInput (in[0].data (), in[1].data (), frames[b], b);
		float* inputs[] = {in[0].data (), in[1].data ()};
		float* outputs[] = {out[0].data (), out[1].data ()};
		effect->processReplacing (effect, inputs, outputs, frames[b]);

		for (int done = 0; done < frames[b]; done += kBlock)
		{
			const int count = std::min (frames[b] - done, kBlock);
			if (done > 0)
				block.begin (count);
			for (int c = 0; c < 2; ++c)
				std::memcpy (block.in (c), in[c].data () + done, sizeof (float) * count);
			block.process (linked.processor ());
			for (int c = 0; c < 2; ++c)
				ASSERT_EQ (0, std::memcmp (block.out (c), out[c].data () + done, sizeof (float) * count))
				    << "block " << b << " channel " << c << " at " << done;
		}
	}
}

// Changes through setParameter and a state through effSetChunk give the VST 3 path's bits.
TEST_F (Vst2Effect, RendersTheBlockStartsReferenceScenario)
{
	kt3test::Vst2Target target (effect);
	EXPECT_TRUE (kt3test::matchesReference (kt3test::renderReference (target, kt3test::Timing::BlockStarts),
	                                        kt3test::kBlockStartsReferenceHash));
}

TEST_F (Vst2Effect, ControllerEditsReachTheHostAsAutomation)
{
	auto* handler = static_cast<IComponentHandler*> (static_cast<Vst2Wrapper*> (effect->object));
	hostCalls.clear ();
	EXPECT_EQ (handler->beginEdit (Orvix::kOutputId), kResultOk);
	EXPECT_EQ (handler->performEdit (Orvix::kOutputId, 0.25), kResultOk);
	EXPECT_EQ (handler->endEdit (Orvix::kOutputId), kResultOk);
	EXPECT_NE (handler->performEdit (12345, 0.25), kResultOk);
	ASSERT_EQ (hostCalls.size (), 3u);
	EXPECT_EQ (hostCalls[0].opcode, audioMasterBeginEdit);
	EXPECT_EQ (hostCalls[1].opcode, audioMasterAutomate);
	EXPECT_FLOAT_EQ (hostCalls[1].opt, 0.25f);
	EXPECT_EQ (hostCalls[2].opcode, audioMasterEndEdit);
	for (const HostCall& call : hostCalls)
		EXPECT_EQ (call.index, 4);

	hostCalls.clear ();
	EXPECT_EQ (handler->restartComponent (kParamValuesChanged), kResultOk);
	ASSERT_EQ (hostCalls.size (), 1u);
	EXPECT_EQ (hostCalls[0].opcode, Vst2::kAudioMasterUpdateDisplay);

	// A value the host set that the controller has yet to take stays the newest over a restart.
	effect->setParameter (effect, kMixIndex, 0.3f);
	handler->restartComponent (kParamValuesChanged);
	EXPECT_FLOAT_EQ (effect->getParameter (effect, kMixIndex), 0.3f);
	EXPECT_EQ (text (effGetParamDisplay, kMixIndex), "30.00");

	// An edit the controller made after the host set a value wins, and the host's value does not
	// reach the controller afterwards.
	effect->setParameter (effect, 4, 0.9f);
	handler->performEdit (Orvix::kOutputId, 0.25);
	EXPECT_FLOAT_EQ (effect->getParameter (effect, 4), 0.25f);
	dispatch (effEditIdle);
	EXPECT_NE (text (effGetParamDisplay, 4), "16.00") << "the host's older value reached the controller";
	EXPECT_FLOAT_EQ (effect->getParameter (effect, 4), 0.25f);
}

TEST_F (Vst2Effect, ChunkRoundTripsAndBadChunksChangeNothing)
{
	effect->setParameter (effect, kSizeIndex, 0.8f);
	const std::vector<uint8> saved = chunk ();
	ASSERT_EQ (saved.size (), 16u + 40u);
	EXPECT_EQ (std::vector<uint8> (saved.begin (), saved.begin () + 16),
	           std::vector<uint8> ({40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

	effect->setParameter (effect, kSizeIndex, 0.1f);
	EXPECT_EQ (setChunk (saved), 1);
	EXPECT_FLOAT_EQ (effect->getParameter (effect, kSizeIndex), 0.8f);
	EXPECT_EQ (chunk (), saved);

	const std::vector<uint8> body (saved.begin () + 16, saved.end ());
	std::vector<uint8> notANumber = body;
	std::memset (notANumber.data () + 4, 0xFF, 8); // the Size value becomes a NaN
	const std::vector<std::vector<uint8>> bad = {
	    {},
	    std::vector<uint8> (saved.begin (), saved.end () - 1), // shorter than it claims
	    chunkOf (-40, 0, body),
	    chunkOf (40, -1, body),
	    chunkOf (40, INT64_MAX, body),
	    chunkOf (INT64_MAX, INT64_MAX, body),
	    chunkOf (0, 0, {}),
	    chunkOf (40, 0, notANumber),
	};
	effect->setParameter (effect, kSizeIndex, 0.2f);
	const std::vector<uint8> before = chunk ();
	for (size_t i = 0; i < bad.size (); ++i)
	{
		EXPECT_EQ (setChunk (bad[i]), 0) << i;
		EXPECT_FLOAT_EQ (effect->getParameter (effect, kSizeIndex), 0.2f) << i;
		EXPECT_EQ (chunk (), before) << i;
	}
	EXPECT_EQ (dispatch (effSetChunk, 0, 56, nullptr), 0);
	EXPECT_EQ (dispatch (effGetChunk, 0, 0, nullptr), 0);
}

TEST_F (Vst2Effect, BadHostCallsDoNotCrash)
{
	float left[64], right[64], outLeft[64], outRight[64];
	fillInput (left, right, 64, 1);
	std::fill (outLeft, outLeft + 64, 1.f);
	std::fill (outRight, outRight + 64, 1.f);
	float* inputs[] = {left, right};
	float* outputs[] = {outLeft, outRight};
	// Before effMainsChanged: silence.
	effect->processReplacing (effect, inputs, outputs, 64);
	EXPECT_EQ (outLeft[0], 0.f);
	EXPECT_EQ (outRight[63], 0.f);

	start (16);
	effect->processReplacing (effect, nullptr, outputs, 64);
	effect->processReplacing (effect, inputs, nullptr, 64);
	effect->processReplacing (effect, inputs, outputs, -5);
	effect->processReplacing (effect, inputs, outputs, 64); // four announced blocks long
	effect->setParameter (effect, -1, 0.5f);
	effect->setParameter (effect, 99, 0.5f);
	effect->setParameter (effect, kSizeIndex, NAN);
	EXPECT_FLOAT_EQ (effect->getParameter (effect, kSizeIndex), 0.7f);
	EXPECT_EQ (effect->getParameter (effect, 99), 0.f);
	for (int opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay, effString2Parameter,
	                   effGetEffectName, effGetVendorString, effCanDo, effSetSpeakerArrangement})
		EXPECT_EQ (dispatch (opcode, 0, 0, nullptr), 0) << opcode;
	for (int opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay, effString2Parameter})
		for (int index : {-1, 5, 99})
			EXPECT_EQ (text (opcode, index), std::string (127, 'x')) << opcode << " " << index;
	EXPECT_EQ (dispatch (effSetSampleRate, 0, 0, nullptr, -1.f), 0);
	EXPECT_EQ (dispatch (effSetBlockSize, 0, 0), 0);
	EXPECT_EQ (dispatch (12345), 0);
	EXPECT_EQ (effect->dispatcher (nullptr, effGetVstVersion, 0, 0, nullptr, 0.f), 0);
	dispatch (effMainsChanged, 0, 0);
	dispatch (effStartProcess);

	// An absurd block size must not make the processor reserve gigabytes.
	dispatch (effSetBlockSize, 0, INT32_MAX);
	dispatch (effSetBlockSize, 0, VstIntPtr (1) << 40);
	dispatch (effMainsChanged, 0, 1);
	effect->processReplacing (effect, inputs, outputs, 64);
	EXPECT_TRUE (std::isfinite (outLeft[63]));
}

TEST_F (Vst2EffectWithDisplay, EditorOpensInTheHostWindowRunsOnIdleAndCloses)
{
	ERect* rect = nullptr;
	ASSERT_EQ (dispatch (effEditGetRect, 0, 0, &rect), 1);
	ASSERT_TRUE (rect);
	EXPECT_EQ (rect->right - rect->left, 281);
	EXPECT_EQ (rect->bottom - rect->top, 232);
	EXPECT_EQ (dispatch (effEditGetRect), 0);
	EXPECT_EQ (dispatch (effEditOpen), 0);
	dispatch (effEditIdle);
	dispatch (effEditClose);

	for (int round = 0; round < 2; ++round)
	{
		ASSERT_EQ (dispatch (effEditOpen, 0, 0, parentOf (window)), 1) << round;
		EXPECT_EQ (dispatch (effEditOpen, 0, 0, parentOf (window)), 0) << "already open";
		for (int i = 0; i < 5; ++i)
			dispatch (effEditIdle);
		EXPECT_EQ (childCountSettlingAt (window, 1), 1u) << round;
		dispatch (effEditClose);
		EXPECT_EQ (childCountSettlingAt (window, 0), 0u) << round;
	}
	// Closing the effect with its editor open tears the editor down too.
	ASSERT_EQ (dispatch (effEditOpen, 0, 0, parentOf (window)), 1);
	dispatch (effClose);
	effect = nullptr;
	EXPECT_EQ (childCountSettlingAt (window, 0), 0u);
}

// 'PreS' 'AeCs' carries the host's content scale factor: the editor's size follows it, an open
// editor asks the host for its new size, and the next opening keeps it.
TEST_F (Vst2EffectWithDisplay, ScaleFactorSizesTheEditorAndAnOpenOneAsksTheHost)
{
	const auto scale = [this] (float factor, int index = kScaleIndex) {
		return dispatch (effVendorSpecific, index, kScaleValue, nullptr, factor);
	};
	// effEditGetRect's size, and the open editor window's once the server has it.
	const auto editorIs = [this] (std::pair<int, int> size) {
		ERect* rect = nullptr;
		const auto editor = [this] { return window.children ().empty () ? 0u : window.children ()[0]; };
		return dispatch (effEditGetRect, 0, 0, &rect) == 1 &&
		       std::make_pair (rect->right - rect->left, rect->bottom - rect->top) == size &&
		       (!editor () || idleUntil ([&] { return window.size (editor ()) == size; }));
	};
	hostCalls.clear ();
	EXPECT_EQ (scale (2.f, 0), 0);
	EXPECT_EQ (scale (NAN), 0);
	EXPECT_TRUE (editorIs ({281, 232}));
	ASSERT_EQ (scale (2.f), 1);
	EXPECT_TRUE (hostCalls.empty ()) << "no window to resize";
	EXPECT_TRUE (editorIs ({562, 464}));
	ASSERT_EQ (dispatch (effEditOpen, 0, 0, parentOf (window)), 1);
	ASSERT_EQ (childCountSettlingAt (window, 1), 1u);
	EXPECT_TRUE (editorIs ({562, 464}));

	hostCalls.clear ();
	ASSERT_EQ (scale (1.5f), 1);
	ASSERT_EQ (hostCalls.size (), 1u);
	EXPECT_EQ (hostCalls[0].opcode, audioMasterSizeWindow);
	EXPECT_EQ (std::make_pair (hostCalls[0].index, int (hostCalls[0].value)), std::make_pair (422, 348));
	EXPECT_TRUE (editorIs ({422, 348}));
	dispatch (effEditClose);
	ASSERT_EQ (dispatch (effEditOpen, 0, 0, parentOf (window)), 1);
	ASSERT_EQ (childCountSettlingAt (window, 1), 1u);
	EXPECT_TRUE (editorIs ({422, 348}));
}

TEST_F (Vst2Effect, TailSizeIsTheProcessorsOwn)
{
	start ();
	DirectProcessor linked ({48000.0, kBlock});
	EXPECT_EQ (dispatch (Vst2::kEffGetTailSize), static_cast<VstIntPtr> (linked.processor ()->getTailSamples ()));
}

// A host sets values on a thread of its own while its audio thread processes and its main
// thread idles the editor and reads texts. Blocks run in step with a linked processor that
// is handed the newest value at the block after the setting.
TEST_F (Vst2Effect, ValuesSetOnAnotherThreadReachTheProcessorAndTheControllerNewestFirst)
{
	start ();
	DirectProcessor linked ({48000.0, kBlock});
	ProcessBlock block (kBlock);
	constexpr int kBlocks = 12, kSetBefore = 5;
	const float values[] = {0.1f, 0.5f, 0.3f, 0.8f}; // the last one is the newest
	const float newest = values[3];

	std::atomic<int> phase {0}; // 1: the audio thread waits for the values; 2: they are set
	std::atomic<bool> audioDone {false};
	std::vector<int> differingBlocks;
	std::thread audio ([&] {
		for (int b = 0; b < kBlocks; ++b)
		{
			block.begin (kBlock);
			if (b == kSetBefore)
			{
				phase = 1;
				while (phase != 2)
					std::this_thread::yield ();
				block.changes ().add (Orvix::kSizeId, newest);
			}
			if (!processBoth (linked, block, b))
				differingBlocks.push_back (b);
		}
		audioDone = true;
	});
	std::vector<float> readBack;
	std::thread setter ([&] {
		while (phase != 1)
			std::this_thread::yield ();
		for (float value : values)
		{
			effect->setParameter (effect, kSizeIndex, value);
			readBack.push_back (effect->getParameter (effect, kSizeIndex));
		}
		phase = 2;
	});
	while (!audioDone)
	{
		dispatch (effEditIdle);
		text (effGetParamDisplay, kSizeIndex);
	}
	audio.join ();
	setter.join ();

	EXPECT_EQ (readBack, std::vector<float> (std::begin (values), std::end (values)));
	EXPECT_TRUE (differingBlocks.empty ()) << "first differing block " << differingBlocks[0];
	EXPECT_EQ (effect->getParameter (effect, kSizeIndex), newest);
	EXPECT_EQ (text (effGetParamDisplay, kSizeIndex), "8.00");

	// The chunk holds the value, and a load brings it back over a value set before the load.
	const std::vector<uint8> saved = chunk ();
	EXPECT_EQ (sizeIn (saved), double (newest));
	setOnAnotherThread (kSizeIndex, 0.2f);
	ASSERT_EQ (setChunk (saved), 1);
	EXPECT_EQ (effect->getParameter (effect, kSizeIndex), newest);
	dispatch (effEditIdle);
	EXPECT_EQ (text (effGetParamDisplay, kSizeIndex), "8.00");
	block.begin (kBlock);
	EXPECT_TRUE (processBoth (linked, block, kBlocks)) << "the value set before the load came after it";
	EXPECT_EQ (chunk (), saved);
}

// A host loads chunks on its main thread while its audio thread runs blocks back to back: a
// value set just before a load never lands after it, and one set before a refused load still
// arrives.
TEST_F (Vst2Effect, ChunkLoadsWhileBlocksRunKeepTheOrderOfValues)
{
	start (64);
	float left[64] {}, right[64] {};
	float* inputs[] = {left, right};
	float* outputs[] = {left, right};
	effect->setParameter (effect, kSizeIndex, 0.8f);
	effect->processReplacing (effect, inputs, outputs, 64);
	const std::vector<uint8> saved = chunk ();
	ASSERT_EQ (sizeIn (saved), double (0.8f));
	const std::vector<uint8> refused = chunkOf (40, 0, std::vector<uint8> (40, 0xFF)); // NaN values

	std::atomic<int> blocks {0};
	std::atomic<bool> stop {false};
	std::thread audio ([&] {
		while (!stop)
		{
			effect->processReplacing (effect, inputs, outputs, 64);
			++blocks;
		}
	});
	const auto twoMoreBlocks = [&] {
		const int seen = blocks;
		while (blocks < seen + 2)
			std::this_thread::yield ();
	};
	int late = 0, lost = 0, refusals = 0;
	for (int round = 0; round < 200; ++round)
	{
		effect->setParameter (effect, kSizeIndex, 0.2f);
		refusals += setChunk (saved) != 1;
		twoMoreBlocks ();
		late += sizeIn (chunk ()) != double (0.8f);
		effect->setParameter (effect, kSizeIndex, 0.3f);
		refusals += setChunk (refused) != 0;
		twoMoreBlocks ();
		lost += sizeIn (chunk ()) != double (0.3f);
	}
	stop = true;
	audio.join ();
	EXPECT_EQ (refusals, 0);
	EXPECT_EQ (late, 0) << "a value set before a load reached the processor after it";
	EXPECT_EQ (lost, 0) << "a value set before a refused load never reached the processor";
}

// The thread sanitizer's case: values set in a loop on one thread, blocks on another, and the
// main thread idling the open editor and reading texts.
TEST_F (Vst2EffectWithDisplay, SetParameterProcessAndIdleOnThreeThreadsAtOnce)
{
	ASSERT_EQ (dispatch (effEditOpen, 0, 0, parentOf (window)), 1);
	start (64);
	std::atomic<bool> setterDone {false}, audioDone {false};
	float last[kParamCount] {};
	std::thread setter ([&] {
		uint32 state = 12345;
		for (int i = 0; i < 20000; ++i)
		{
			state = state * 1664525u + 1013904223u;
			const int index = static_cast<int> (state >> 29) % kParamCount;
			last[index] = static_cast<float> (state >> 8 & 0xffff) / 65535.f;
			effect->setParameter (effect, index, last[index]);
		}
		setterDone = true;
	});
	std::thread audio ([&] {
		float left[64] {}, right[64] {};
		float* inputs[] = {left, right};
		float* outputs[] = {left, right};
		// Blocks go on after the last value, so that the processor has every newest value.
		for (int after = 0; after < 4; after += setterDone ? 1 : 0)
		{
			fillInput (left, right, 64, after);
			effect->processReplacing (effect, inputs, outputs, 64);
		}
		audioDone = true;
	});
	char display[kVstMaxParamStrLen];
	while (!audioDone)
	{
		dispatch (effEditIdle);
		for (int i = 0; i < kParamCount; ++i)
			dispatch (effGetParamDisplay, i, 0, display);
	}
	setter.join ();
	audio.join ();

	const std::vector<uint8> saved = chunk ();
	for (int i = 0; i < kParamCount; ++i)
		EXPECT_EQ (effect->getParameter (effect, i), last[i]) << i;
	EXPECT_EQ (sizeIn (saved), double (last[kSizeIndex]));
	setOnAnotherThread (kMixIndex, 0.5f);
	ASSERT_EQ (setChunk (saved), 1);
	EXPECT_EQ (effect->getParameter (effect, kMixIndex), last[kMixIndex]);
}

TEST_F (Vst2EffectWithDisplay, EditorKnobFollowsAValueSetOnAnotherThreadAtTheNextIdle)
{
	// What the editor shows once it has painted: unchanged over ten idle calls, several paint
	// intervals.
	const auto shown = [&] {
		std::vector<uint32_t> picture;
		int steady = 0;
		idleUntil ([&] {
			const auto children = window.children ();
			if (children.size () != 1 || !window.isMapped (children[0]))
				return false;
			std::vector<uint32_t> now = window.capture (children[0], 281, 232);
			steady = !now.empty () && now == picture ? steady + 1 : 0;
			picture = std::move (now);
			return steady == 10;
		});
		return picture;
	};
	ASSERT_EQ (dispatch (effEditOpen, 0, 0, parentOf (window)), 1);
	const std::vector<uint32_t> before = shown ();
	ASSERT_FALSE (before.empty ());

	setOnAnotherThread (kSizeIndex, 0.2f);
	const std::vector<uint32_t> after = shown ();
	EXPECT_NE (after, before) << "the Size knob did not move";

	// A new editor, built from the controller's values, looks the same.
	dispatch (effEditClose);
	ASSERT_EQ (childCountSettlingAt (window, 0), 0u);
	ASSERT_EQ (dispatch (effEditOpen, 0, 0, parentOf (window)), 1);
	EXPECT_EQ (shown (), after);
}
