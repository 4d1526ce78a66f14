// The VST 2.4 entry as VST 2 hosts find it: a module file in their own plug-in folder, opened
// with dlopen and asked for VSTPluginMain. The editor's description and bitmaps are found
// however that file relates to the bundle: a symbolic link to the bundle's module, a copy of
// it placed beside the bundle, or the bundle's module itself.
#include "vst2editorcheck.h"
#include "pluginmodule.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path kBundle = KT3_BUNDLE_PATH;
const fs::path kModule = kBundle / "Contents" / kt3host::kArchitectureFolder / "KT3.so";

class Vst2Location : public ::testing::Test
{
protected:
	void SetUp () override
	{
		char pattern[] = "/tmp/kt3-vst2-XXXXXX";
		ASSERT_TRUE (mkdtemp (pattern));
		scratch = pattern;
	}
	void TearDown () override { fs::remove_all (scratch); }

	fs::path scratch;
};

} // namespace

TEST_F (Vst2Location, TheBundlesOwnModuleShowsTheEditor)
{
	EXPECT_EQ (kt3test::vst2EditorCheckInChild (kModule), 0);
}

TEST_F (Vst2Location, ALinkInTheHostsFolderShowsTheEditor)
{
	// Absolute and relative links, and a link to a link.
	fs::create_directories (scratch / "vst");
	fs::create_symlink (kModule, scratch / "vst/KT3.so");
	EXPECT_EQ (kt3test::vst2EditorCheckInChild (scratch / "vst/KT3.so"), 0);
	fs::create_symlink ("KT3.so", scratch / "vst/KT3-again.so");
	EXPECT_EQ (kt3test::vst2EditorCheckInChild (scratch / "vst/KT3-again.so"), 0);

	fs::create_directories (scratch / "vst3");
	fs::copy (kBundle, scratch / "vst3/KT3.vst3", fs::copy_options::recursive);
	fs::create_symlink (fs::path ("../vst3/KT3.vst3/Contents") / kt3host::kArchitectureFolder / "KT3.so",
	                   scratch / "vst/KT3-relative.so");
	EXPECT_EQ (kt3test::vst2EditorCheckInChild (scratch / "vst/KT3-relative.so"), 0);
}

TEST_F (Vst2Location, ACopyBesideTheBundleShowsTheEditor)
{
	fs::copy (kBundle, scratch / "KT3.vst3", fs::copy_options::recursive);
	fs::copy_file (kModule, scratch / "KT3.so");
	EXPECT_EQ (kt3test::vst2EditorCheckInChild (scratch / "KT3.so"), 0);
}

TEST_F (Vst2Location, ACopyWithoutItsBundleStillMakesAnEffect)
{
	// No resources to be found: the effect still works, its editor reports no size.
	fs::copy_file (kModule, scratch / "KT3.so");
	EXPECT_EQ (kt3test::vst2EditorCheckInChild (scratch / "KT3.so"), 12);
}
