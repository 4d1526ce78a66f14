// The built bundle, loaded as a Linux host loads it.
#include "directprocessor.h"
#include "factoryrecords.h"
#include "flushtozero.h"
#include "kt3ids.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "processblock.h"
#include "referencerender.h"
#include "reverbmodel.h"
#include "statebytes.h"
#include "text16.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <set>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace kt3host;

namespace {

std::set<std::string> exportedSymbols (const std::string& path)
{
	std::set<std::string> names;
	const std::string command = "nm -D --defined-only '" + path + "'";
	FILE* pipe = popen (command.c_str (), "r");
	if (!pipe)
		return names;
	char line[512];
	while (fgets (line, sizeof line, pipe))
	{
		char address[64], type[8], name[400];
		if (sscanf (line, "%63s %7s %399s", address, type, name) == 3)
			names.insert (name);
	}
	pclose (pipe);
	return names;
}

} // namespace

class Module : public ::testing::Test
{
protected:
	PluginModule module {KT3_BUNDLE_PATH};
	void SetUp () override { ASSERT_TRUE (module.loaded ()) << module.error (); }
};

TEST_F (Module, ExportsOnlyTheEntryPoints)
{
	EXPECT_EQ (exportedSymbols (module.modulePath ()),
	           (std::set<std::string> {"ExitDll", "GetPluginFactory", "InitDll", "ModuleEntry", "ModuleExit",
	                                   "VSTPluginMain"}));
	using Hook = bool (*) ();
	auto init = reinterpret_cast<Hook> (module.symbol ("InitDll"));
	auto exit = reinterpret_cast<Hook> (module.symbol ("ExitDll"));
	EXPECT_TRUE (exit ());
	EXPECT_TRUE (init ());
	EXPECT_TRUE (init ());
	EXPECT_TRUE (exit ());
	EXPECT_TRUE (exit ());
}

TEST_F (Module, FactoryIsSharedUntilTheLastReleaseThenBuiltAgain)
{
	IPluginFactory* first = module.factory ();
	IPluginFactory* second = module.factory ();
	ASSERT_EQ (first, second);
	EXPECT_EQ (first->addRef (), 3u);
	EXPECT_EQ (first->release (), 2u);
	EXPECT_EQ (second->release (), 1u);
	EXPECT_EQ (first->release (), 0u);

	IPluginFactory* fresh = module.factory ();
	ASSERT_TRUE (fresh);
	EXPECT_EQ (fresh->countClasses (), 2);
	PClassInfo info;
	ASSERT_EQ (fresh->getClassInfo (0, &info), kResultOk);
	EXPECT_STREQ (info.category, kVstAudioEffectClass);
	ASSERT_EQ (fresh->getClassInfo (1, &info), kResultOk);
	EXPECT_STREQ (info.category, kVstComponentControllerClass);
	EXPECT_EQ (fresh->getClassInfo (2, &info), kInvalidArgument);
	fresh->release ();
}

TEST_F (Module, RecordsDescribeVendorAndBothClasses)
{
	expectRecordsOfKT3 (owned (module.factory ()));
}

TEST_F (Module, CreateInstanceRefusesUnknownClassesAndInterfaces)
{
	auto factory = owned (module.factory ());
	void* obj = reinterpret_cast<void*> (1);
	const FUID unknown (1, 2, 3, 4);
	TUID bytes;
	unknown.toTUID (bytes);
	EXPECT_EQ (factory->createInstance (bytes, IComponent::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);

	Orvix::kKT3ProcessorUID.toTUID (bytes);
	obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->createInstance (bytes, IEditController::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
}

// The controller class the processor names is the factory's one registered controller, the
// one with the editor, and it starts at the defaults before any state reaches it.
TEST_F (Module, ProcessorNamesTheRegisteredControllerWithTheEditor)
{
	PluginInstance plugin (module); // creates the controller of the class the processor names
	ASSERT_TRUE (plugin.ready () && plugin.controller ()) << plugin.error ();
	TUID named;
	ASSERT_EQ (plugin.component ()->getControllerClassId (named), kResultOk);
	auto factory = owned (module.factory ());
	int32 records = 0;
	for (int32 i = 0; i < factory->countClasses (); ++i)
	{
		PClassInfo info;
		ASSERT_EQ (factory->getClassInfo (i, &info), kResultOk);
		if (FUID::fromTUID (info.cid) == FUID::fromTUID (named))
		{
			EXPECT_STREQ (info.category, kVstComponentControllerClass);
			++records;
		}
	}
	EXPECT_EQ (records, 1);

	IPtr<IPlugView> view = owned (plugin.controller ()->createView (ViewType::kEditor));
	ASSERT_TRUE (view);
	ViewRect size;
	ASSERT_EQ (view->getSize (&size), kResultTrue);
	EXPECT_EQ (size.getWidth (), 281);
	EXPECT_EQ (size.getHeight (), 232);

	void* object = nullptr;
	ASSERT_EQ (factory->createInstance (named, IEditController::iid, &object), kResultOk);
	auto fresh = owned (static_cast<IEditController*> (object));
	HostApplication host;
	ASSERT_EQ (fresh->initialize (&host), kResultOk);
	String128 text;
	ASSERT_EQ (fresh->getParamStringByValue (Orvix::kSizeId,
	                                         fresh->getParamNormalized (Orvix::kSizeId), text),
	           kResultTrue);
	EXPECT_EQ (toAscii (text), "7.00");
	fresh->terminate ();
}

TEST_F (Module, LoadedEffectMirrorsStateAndSoundsLikeTheLinkedProcessor)
{
	PluginInstance plugin (module);
	ASSERT_TRUE (plugin.ready ()) << plugin.error ();
	ASSERT_TRUE (plugin.controller ());
	TUID controllerCid;
	ASSERT_EQ (plugin.component ()->getControllerClassId (controllerCid), kResultOk);
	EXPECT_EQ (FUID::fromTUID (controllerCid), Orvix::kKT3ControllerUID);
	EXPECT_DOUBLE_EQ (plugin.controller ()->getParamNormalized (Orvix::kMixId), 0.9);
	ASSERT_TRUE (plugin.activate (48000, 512));

	DirectProcessor linked;
	ProcessBlock loadedBlock (512), linkedBlock (512);
	for (int b = 0; b < 20; ++b)
	{
		for (ProcessBlock* block : {&loadedBlock, &linkedBlock})
		{
			block->begin (512);
			if (b == 5)
				block->changes ().add (Orvix::kSizeId, 0.25);
			if (b == 9 || b == 13)
				block->changes ().add (Orvix::kBypassId, b == 9 ? 1.0 : 0.0);
			const auto l = noise (512, 100 + b), r = noise (512, 200 + b);
			std::memcpy (block->in (0), l.data (), sizeof (float) * 512);
			std::memcpy (block->in (1), r.data (), sizeof (float) * 512);
		}
		loadedBlock.process (plugin.audioProcessor ());
		linkedBlock.process (linked.processor ());
		ASSERT_EQ (0, std::memcmp (loadedBlock.out (0), linkedBlock.out (0), sizeof (float) * 512)) << b;
		ASSERT_EQ (0, std::memcmp (loadedBlock.out (1), linkedBlock.out (1), sizeof (float) * 512)) << b;
	}
	const Bytes state = getState (plugin.component ());
	EXPECT_EQ (state, getState (linked.component ()));

	// The state restores into a fresh pair, and its controller follows.
	PluginInstance fresh (module);
	ASSERT_TRUE (fresh.ready ());
	EXPECT_EQ (setState (fresh.component (), state), kResultOk);
	EXPECT_EQ (setComponentState (fresh.controller (), state), kResultOk);
	EXPECT_EQ (getState (fresh.component ()), state);
	EXPECT_DOUBLE_EQ (fresh.controller ()->getParamNormalized (Orvix::kSizeId), 0.25);
}

// The loaded bundle and the linked processor render the reference scenario to the bits that
// the Windows module is held to as well.
TEST_F (Module, RendersTheReferenceScenario)
{
	using namespace kt3test;
	EXPECT_TRUE (matchesReference (renderReference (module, Timing::InsideBlocks), kReferenceHash));
	EXPECT_TRUE (matchesReference (renderReference (module, Timing::BlockStarts), kBlockStartsReferenceHash));
	DirectProcessor linked ({kReferenceRate, kReferenceMaxBlock});
	Vst3Target target (linked.component (), linked.processor ());
	EXPECT_TRUE (matchesReference (renderReference (target, Timing::InsideBlocks), kReferenceHash));
}

// Many hosts run their audio threads with denormals flushed to zero, others do not; the
// reverb's silence rule keeps it from leaning on denormals, so it renders the same bits either way.
TEST_F (Module, RendersTheReferenceScenarioWithDenormalsFlushedToZero)
{
	using namespace kt3test;
	const FlushToZero flushing;
	ASSERT_TRUE (FlushToZero::flushes ());
	EXPECT_TRUE (matchesReference (renderReference (module, Timing::InsideBlocks), kReferenceHash));
}
