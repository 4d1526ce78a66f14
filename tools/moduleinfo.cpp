// kt3-moduleinfo BUNDLE: prints the bundle's moduleinfo.json, read from the built module's
// own factory so that it can never disagree with the code.
#include "pluginmodule.h"
#include "text16.h"

#include "pluginterfaces/base/ipluginbase.h"
#include <cstdio>
#include <string>

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

} // namespace

int main (int argc, char** argv)
{
#if defined(_WIN32)
	// The file is the same on every platform: no text-mode line ends.
	_setmode (_fileno (stdout), _O_BINARY);
#endif
	if (argc != 3)
	{
		std::fprintf (stderr, "usage: kt3-moduleinfo BUNDLE VERSION\n");
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

	std::string name = argv[1];
	while (!name.empty () && name.back () == '/')
		name.pop_back ();
	name = name.substr (name.find_last_of ('/') + 1);
	name = name.substr (0, name.rfind (".vst3"));

	std::printf ("{\n  \"Name\": %s,\n  \"Version\": %s,\n", quoted (name).c_str (), quoted (argv[2]).c_str ());
	std::printf ("  \"Factory Info\": {\n    \"Vendor\": %s,\n    \"URL\": %s,\n    \"E-Mail\": %s,\n",
	             quoted (info.vendor).c_str (), quoted (info.url).c_str (), quoted (info.email).c_str ());
	std::printf ("    \"Flags\": { \"Unicode\": %s, \"Classes Discardable\": %s, \"Component Non Discardable\": %s }\n  },\n",
	             flag (info.flags & PFactoryInfo::kUnicode), flag (info.flags & PFactoryInfo::kClassesDiscardable),
	             flag (info.flags & PFactoryInfo::kComponentNonDiscardable));
	std::printf ("  \"Compatibility\": [],\n  \"Classes\": [\n");
	const int32 count = factory->countClasses ();
	for (int32 i = 0; i < count; ++i)
	{
		PClassInfo2 c;
		if (!factory2 || factory2->getClassInfo2 (i, &c) != kResultOk)
			continue;
		const std::string vendor = c.vendor[0] ? c.vendor : info.vendor;
		std::printf ("    {\n      \"CID\": \"%s\",\n      \"Category\": %s,\n      \"Name\": %s,\n",
		             hexOf (c.cid).c_str (), quoted (c.category).c_str (), quoted (c.name).c_str ());
		std::printf ("      \"Vendor\": %s,\n      \"Version\": %s,\n      \"SDK Version\": %s,\n",
		             quoted (vendor).c_str (), quoted (c.version).c_str (), quoted (c.sdkVersion).c_str ());
		std::printf ("      \"Sub Categories\": %s,\n      \"Class Flags\": %u,\n      \"Cardinality\": %d,\n",
		             subCategoryList (c.subCategories).c_str (), c.classFlags, c.cardinality);
		std::printf ("      \"Snapshots\": []\n    }%s\n", i + 1 < count ? "," : "");
	}
	std::printf ("  ]\n}\n");
	return 0;
}
