// An installed KT3 as hosts and users meet it, under the prefix that KT3_INSTALLED_PREFIX names
// (a scratch copy of /usr, from `cmake --install` or from the unpacked Debian package): the
// bundle and KT3.clap loaded through the host library render the reference scenario, the VST 2 link in the
// VST 2 folder shows the editor, and the installed kt3-render renders through the installed
// bundle. Run by the install and package checks, not on its own.
#include "clapreference.h"
#include "factoryrecords.h"
#include "kt3ids.h"
#include "pluginmodule.h"
#include "referencerender.h"
#include "vst2editorcheck.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace kt3test;

namespace {

fs::path installed (const std::string& relative)
{
	const char* prefix = std::getenv ("KT3_INSTALLED_PREFIX");
	return fs::path (prefix ? prefix : "/nonexistent") / relative;
}

std::string quoted (const fs::path& path)
{
	return "'" + path.string () + "'";
}

} // namespace

TEST (Installed, BundleLoadsAndRendersTheReferenceScenario)
{
	kt3host::PluginModule module (installed ("lib/vst3/KT3.vst3"));
	ASSERT_TRUE (module.loaded ()) << module.error ();
	Steinberg::IPtr<Steinberg::IPluginFactory> factory = Steinberg::owned (module.factory ());
	expectRecordsOfKT3 (factory);
	EXPECT_TRUE (matchesReference (renderReference (module, Timing::InsideBlocks), kReferenceHash));
}

TEST (Installed, ClapPluginRendersTheReferenceScenario)
{
	kt3host::ClapModule module (installed ("lib/clap/KT3/KT3.clap").string ());
	kt3host::ClapHostedPlugin plugin (module, Steinberg::Vst::Orvix::kClapPluginId);
	ASSERT_TRUE (plugin.ready ()) << module.error ();
	ASSERT_TRUE (plugin.activate (kReferenceRate, kReferenceMaxBlock));
	ClapTarget target (plugin);
	EXPECT_TRUE (matchesReference (renderReference (target, Timing::InsideBlocks), kReferenceHash));
}

TEST (Installed, Vst2LinkShowsTheEditor)
{
	const fs::path link = installed ("lib/vst/KT3.so");
	ASSERT_TRUE (fs::is_symlink (link));
	EXPECT_TRUE (fs::read_symlink (link).is_relative ()) << "a link that holds under any prefix";
	EXPECT_EQ (vst2EditorCheckInChild (link), 0);
}

TEST (Installed, RenderToolRendersThroughTheInstalledBundle)
{
	const fs::path render = installed ("bin/kt3-render");
	if (!fs::exists (render))
		GTEST_SKIP () << "kt3-render is not part of this build";
	char pattern[] = "/tmp/kt3-installed-XXXXXX";
	ASSERT_TRUE (mkdtemp (pattern));
	const fs::path out = fs::path (pattern) / "demo.wav";
	const std::string command = KT3_EMULATOR " " + quoted (render) + " --plugin " + quoted (installed ("lib/vst3/KT3.vst3")) +
	                            " --out " + quoted (out) + " > /dev/null";
	EXPECT_EQ (std::system (command.c_str ()), 0) << command;
	EXPECT_GT (fs::file_size (out), 1000u);
	fs::remove_all (pattern);
}
