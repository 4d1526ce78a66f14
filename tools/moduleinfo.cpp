// kt3-moduleinfo BUNDLE: prints the bundle's moduleinfo.json, read from the built module's
// own factory so that it can never disagree with the code, with the editor snapshots that the
// bundle holds for each class.
#include "pluginmodule.h"
#include "text16.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

using namespace Steinberg;

namespace {

std::string quoted (const std::string& text)
{
	std::string out = "\"";
	for (char c : text)
	{
		if (c == '"' || c == '\\')
			out += '\\';
		out += c;
	}
	return out + "\"";
}

// The class ID's 32 hex digits as FUID prints them, the same on every platform: on Windows a
// TUID holds its first three fields in the byte order of a COM GUID, not in printing order.
std::string hexOf (const TUID cid)
{
	char8 text[33];
	FUID::fromTUID (cid).toString (text);
	return text;
}

std::string subCategoryList (const std::string& text)
{
	std::string out = "[";
	size_t start = 0;
	while (start < text.size ())
	{
		size_t bar = text.find ('|', start);
		if (bar == std::string::npos)
			bar = text.size ();
		out += (out.size () > 1 ? ", " : "") + quoted (text.substr (start, bar - start));
		start = bar + 1;
	}
	return out + "]";
}

const char* flag (bool on)
{
	return on ? "true" : "false";
}

bool isFile (const std::string& path)
{
	struct stat st {};
	return stat (path.c_str (), &st) == 0 && S_ISREG (st.st_mode);
}

// The snapshot files the bundle holds for the class, at scales 1 and 2.
std::string snapshotList (const std::string& bundle, const std::string& cid)
{
	const struct
	{
		int scale;
		const char* suffix;
	} kinds[] = {{1, "_snapshot.png"}, {2, "_snapshot_2.0x.png"}};
	std::string entries;
	for (const auto& kind : kinds)
	{
		const std::string path = "Contents/Resources/Snapshots/" + cid + kind.suffix;
		if (!isFile (bundle + "/" + path))
			continue;
		entries += entries.empty () ? "\n" : ",\n";
		entries += "        { \"Scale Factor\": " + std::to_string (kind.scale) + ", \"Path\": " + quoted (path) + " }";
	}
	return entries.empty () ? "[]" : "[" + entries + "\n      ]";
}

} // namespace

int main (int argc, char** argv)
{
#if defined(_WIN32)
	// The file is the same on every platform: no text-mode line ends.
	_setmode (_fileno (stdout), _O_BINARY);
#endif
	if (argc != 2)
	{
		std::fprintf (stderr, "usage: kt3-moduleinfo BUNDLE\n");
		return 2;
	}
	kt3host::PluginModule module (argv[1]);
	IPluginFactory* raw = module.loaded () ? module.factory () : nullptr;
	if (!raw)
	{
		std::fprintf (stderr, "kt3-moduleinfo: %s\n", module.error ().c_str ());
		return 1;
	}
	IPtr<IPluginFactory> factory = owned (raw);
	FUnknownPtr<IPluginFactory2> factory2 (factory);
	PFactoryInfo info;
	factory->getFactoryInfo (&info);

	std::vector<PClassInfo2> classes;
	for (int32 i = 0; factory2 && i < factory->countClasses (); ++i)
	{
		PClassInfo2 c;
		if (factory2->getClassInfo2 (i, &c) == kResultOk)
			classes.push_back (c);
	}
	// The module's version is its processor's, the first audio module class: the one hosts list.
	const PClassInfo2* processor = nullptr;
	for (const PClassInfo2& c : classes)
		if (!processor && std::strcmp (c.category, kVstAudioEffectClass) == 0)
			processor = &c;
	if (!processor)
	{
		std::fprintf (stderr, "kt3-moduleinfo: the module registers no %s\n", kVstAudioEffectClass);
		return 1;
	}

	std::string bundle = argv[1];
	while (!bundle.empty () && bundle.back () == '/')
		bundle.pop_back ();
	std::string name = bundle.substr (bundle.find_last_of ('/') + 1);
	name = name.substr (0, name.rfind (".vst3"));

	std::printf ("{\n  \"Name\": %s,\n  \"Version\": %s,\n", quoted (name).c_str (), quoted (processor->version).c_str ());
	std::printf ("  \"Factory Info\": {\n    \"Vendor\": %s,\n    \"URL\": %s,\n    \"E-Mail\": %s,\n",
	             quoted (info.vendor).c_str (), quoted (info.url).c_str (), quoted (info.email).c_str ());
	std::printf ("    \"Flags\": { \"Unicode\": %s, \"Classes Discardable\": %s, \"Component Non Discardable\": %s }\n  },\n",
	             flag (info.flags & PFactoryInfo::kUnicode), flag (info.flags & PFactoryInfo::kClassesDiscardable),
	             flag (info.flags & PFactoryInfo::kComponentNonDiscardable));
	std::printf ("  \"Compatibility\": [],\n  \"Classes\": [\n");
	for (size_t i = 0; i < classes.size (); ++i)
	{
		const PClassInfo2& c = classes[i];
		const std::string vendor = c.vendor[0] ? c.vendor : info.vendor;
		const std::string cid = hexOf (c.cid);
		std::printf ("    {\n      \"CID\": \"%s\",\n      \"Category\": %s,\n      \"Name\": %s,\n",
		             cid.c_str (), quoted (c.category).c_str (), quoted (c.name).c_str ());
		std::printf ("      \"Vendor\": %s,\n      \"Version\": %s,\n      \"SDKVersion\": %s,\n",
		             quoted (vendor).c_str (), quoted (c.version).c_str (), quoted (c.sdkVersion).c_str ());
		std::printf ("      \"Sub Categories\": %s,\n      \"Class Flags\": %u,\n      \"Cardinality\": %d,\n",
		             subCategoryList (c.subCategories).c_str (), c.classFlags, c.cardinality);
		std::printf ("      \"Snapshots\": %s\n    }%s\n", snapshotList (bundle, cid).c_str (),
		             i + 1 < classes.size () ? "," : "");
	}
	std::printf ("  ]\n}\n");
	// A file cut short (a full disk) must fail the build step, not pass as the module's record.
	if (std::fflush (stdout) != 0 || std::ferror (stdout))
	{
		std::fprintf (stderr, "kt3-moduleinfo: cannot write the output\n");
		return 1;
	}
	return 0;
}
