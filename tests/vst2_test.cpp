// The built module loaded as a VST 2.4 host loads it: VSTPluginMain with a host callback,
// then the AEffect's dispatcher, parameter and process functions.
#include "directprocessor.h"
#include "kt3ids.h"
#include "pluginmodule.h"
#include "processblock.h"

#include "public.sdk/source/vst/vst2wrapper/vst2wrapper.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <cmath>
#include <cstdlib>
#include <unistd.h>
#include <cstring>
#include <string>
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
};

// The callback has no user pointer before the effect exists, so the test host is global.
VstIntPtr versionAnswer = kVstVersion;
std::vector<HostCall> hostCalls;

VstIntPtr testHost (AEffect*, int opcode, int index, VstIntPtr, void*, float opt)
{
	hostCalls.push_back ({opcode, index, opt});
	return opcode == audioMasterVersion ? versionAnswer : 0;
}

using MainProc = AEffect* (*) (audioMasterCallback);

constexpr int kBypassIndex = 0, kSizeIndex = 1, kMixIndex = 3;
constexpr int kBlock = 256;

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

// A host's top-level window on the display named by DISPLAY.
class HostWindow
{
public:
	HostWindow ()
	{
		connection = xcb_connect (nullptr, nullptr);
		if (xcb_connection_has_error (connection))
			return;
		xcb_screen_t* screen = xcb_setup_roots_iterator (xcb_get_setup (connection)).data;
		window = xcb_generate_id (connection);
		xcb_create_window (connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 281, 232,
		                   0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
		xcb_map_window (connection, window);
		xcb_flush (connection);
	}
	~HostWindow () { xcb_disconnect (connection); }

	bool isOpen () const { return window != 0; }
	void* parent () const { return reinterpret_cast<void*> (static_cast<uintptr_t> (window)); }
	// The editor's window is made and destroyed on its own connection: the server may serve
	// this query first, so it is asked again for up to a second.
	int childCountSettlingAt (int expected)
	{
		int count = childCount ();
		for (int wait = 0; wait < 100 && count != expected; ++wait)
		{
			usleep (10000);
			count = childCount ();
		}
		return count;
	}

private:
	int childCount ()
	{
		xcb_query_tree_reply_t* tree =
		    xcb_query_tree_reply (connection, xcb_query_tree (connection, window), nullptr);
		const int count = tree ? xcb_query_tree_children_length (tree) : -1;
		std::free (tree);
		return count;
	}

	xcb_connection_t* connection;
	xcb_window_t window = 0;
};

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
	EXPECT_EQ (effect->numPrograms, 1);
	EXPECT_EQ (effect->numParams, 5);
	EXPECT_TRUE (effect->processReplacing);
	EXPECT_FALSE (effect->processDoubleReplacing);
	EXPECT_EQ (effect->flags, effFlagsCanReplacing | effFlagsProgramChunks | effFlagsHasEditor);

	EXPECT_EQ (text (effGetEffectName), "KT3");
	EXPECT_EQ (text (effGetProductString), "KT3");
	EXPECT_EQ (text (effGetVendorString), "Orvix");
	EXPECT_EQ (dispatch (effGetPlugCategory), kPlugCategRoomFx);
	EXPECT_EQ (dispatch (effGetVstVersion), 2400);
	EXPECT_EQ (dispatch (effGetVendorVersion), 1660);
	EXPECT_EQ (dispatch (Vst2::kEffGetTailSize), 0);
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

TEST_F (Vst2Effect, EditorOpensInTheHostWindowRunsOnIdleAndCloses)
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

	if (!std::getenv ("DISPLAY"))
		GTEST_SKIP () << "no X display: run under Xvfb";
	HostWindow window;
	ASSERT_TRUE (window.isOpen ());
	for (int round = 0; round < 2; ++round)
	{
		ASSERT_EQ (dispatch (effEditOpen, 0, 0, window.parent ()), 1) << round;
		EXPECT_EQ (dispatch (effEditOpen, 0, 0, window.parent ()), 0) << "already open";
		for (int i = 0; i < 5; ++i)
			dispatch (effEditIdle);
		EXPECT_EQ (window.childCountSettlingAt (1), 1) << round;
		dispatch (effEditClose);
		EXPECT_EQ (window.childCountSettlingAt (0), 0) << round;
	}
	// Closing the effect with its editor open tears the editor down too.
	ASSERT_EQ (dispatch (effEditOpen, 0, 0, window.parent ()), 1);
	dispatch (effClose);
	effect = nullptr;
	EXPECT_EQ (window.childCountSettlingAt (0), 0);
}
