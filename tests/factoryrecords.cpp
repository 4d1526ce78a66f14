#include "factoryrecords.h"
#include "kt3ids.h"
#include "text16.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include <gtest/gtest.h>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

void expectRecordsOfKT3 (IPluginFactory* factory)
{
	ASSERT_TRUE (factory);
	PFactoryInfo vendor;
	ASSERT_EQ (factory->getFactoryInfo (&vendor), kResultOk);
	EXPECT_STREQ (vendor.vendor, "Orvix");
	EXPECT_EQ (std::strncmp (vendor.email, "mailto:", 7), 0);
	EXPECT_EQ (vendor.flags, PFactoryInfo::kUnicode);

	FUnknownPtr<IPluginFactory2> factory2 (factory);
	ASSERT_TRUE (factory2);
	PClassInfo2 processor, controller;
	ASSERT_EQ (factory2->getClassInfo2 (0, &processor), kResultOk);
	ASSERT_EQ (factory2->getClassInfo2 (1, &controller), kResultOk);
	EXPECT_EQ (FUID::fromTUID (processor.cid), Orvix::kKT3ProcessorUID);
	EXPECT_EQ (FUID::fromTUID (controller.cid), Orvix::kKT3ControllerUID);
	for (const PClassInfo2* c : {&processor, &controller})
	{
		EXPECT_STREQ (c->name, "KT3");
		EXPECT_EQ (c->cardinality, PClassInfo::kManyInstances);
		EXPECT_EQ (c->classFlags, uint32 (kDistributable));
		EXPECT_STREQ (c->vendor, "");
		EXPECT_STREQ (c->version, "1.6.06.0811");
		EXPECT_STREQ (c->sdkVersion, "VST 3.6.5");
	}
	EXPECT_STREQ (processor.subCategories, "Fx|Reverb");
	EXPECT_STREQ (controller.subCategories, "");

	FUnknownPtr<IPluginFactory3> factory3 (factory);
	ASSERT_TRUE (factory3);
	PClassInfoW wide;
	ASSERT_EQ (factory3->getClassInfoUnicode (0, &wide), kResultOk);
	EXPECT_EQ (kt3host::toAscii (wide.name), "KT3");
	EXPECT_EQ (kt3host::toAscii (wide.version), "1.6.06.0811");
	EXPECT_EQ (kt3host::toAscii (wide.sdkVersion), "VST 3.6.5");
	EXPECT_STREQ (wide.category, "Audio Module Class");
	EXPECT_STREQ (wide.subCategories, "Fx|Reverb");
	EXPECT_EQ (factory3->setHostContext (nullptr), kNotImplemented);
}
