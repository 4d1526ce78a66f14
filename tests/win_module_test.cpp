// The built module loaded as a Windows host loads it: LoadLibrary and InitDll, the factory,
// the effect through its VST 3 and its VST 2.4 entry, ExitDll and FreeLibrary; and the DLL's
// export and import tables and its version record, read from the loaded image. KT3.clap, loaded
// as a CLAP host loads it, renders the same bits and opens its editor in a Win32 window.
#include "clapreference.h"
#include "factoryrecords.h"

#include "clap/ext/gui.h"
#include "kt3ids.h"
#include "plugininstance.h"
#include "pluginmodule.h"
#include "referencevst2.h"
#include "statebytes.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace kt3host;
using namespace kt3test;

namespace {

std::string narrow (const std::wstring& text)
{
	const int n = WideCharToMultiByte (CP_UTF8, 0, text.c_str (), -1, nullptr, 0, nullptr, nullptr);
	std::string out (n > 0 ? static_cast<size_t> (n) : 1, '\0');
	WideCharToMultiByte (CP_UTF8, 0, text.c_str (), -1, out.data (), n, nullptr, nullptr);
	out.pop_back ();
	return out;
}

std::wstring widen (const std::string& text)
{
	const int n = MultiByteToWideChar (CP_UTF8, 0, text.c_str (), -1, nullptr, 0);
	std::wstring out (n > 0 ? static_cast<size_t> (n) : 1, L'\0');
	MultiByteToWideChar (CP_UTF8, 0, text.c_str (), -1, out.data (), n);
	out.pop_back ();
	return out;
}

// A file of the build beside this program, given its path from the test programs' folder
// (KT3_BUNDLE_FROM_TESTS, KT3_CLAP_FROM_TESTS), so that the test finds it wherever the build
// tree lies and whatever drive Wine maps.
std::string besideTests (const char* fromTests)
{
	std::wstring program (MAX_PATH, L'\0');
	DWORD n;
	while ((n = GetModuleFileNameW (nullptr, program.data (), static_cast<DWORD> (program.size ()))) ==
	       program.size ())
		program.resize (program.size () * 2);
	program.resize (n);
	program.erase (program.find_last_of (L"\\/") + 1);
	std::string path = narrow (program) + fromTests;
	std::replace (path.begin (), path.end (), '/', '\\');
	return path;
}

std::string bundlePath ()
{
	return besideTests (KT3_BUNDLE_FROM_TESTS);
}

// The loaded image of the module, found from one of its exports.
HMODULE imageOf (const PluginModule& module)
{
	HMODULE image = nullptr;
	GetModuleHandleExW (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
	                    static_cast<LPCWSTR> (module.symbol ("GetPluginFactory")), &image);
	return image;
}

// A comma-separated list from the build (see windows.cmake).
std::vector<std::string> listOf (const std::string& text)
{
	std::vector<std::string> items;
	for (size_t start = 0; start <= text.size ();)
	{
		size_t comma = text.find (',', start);
		if (comma == std::string::npos)
			comma = text.size ();
		items.push_back (text.substr (start, comma - start));
		start = comma + 1;
	}
	return items;
}

// Whether `name` is one of `patterns`, ignoring case; a pattern ending in * matches a prefix.
bool matchesAny (const std::string& name, const std::vector<std::string>& patterns)
{
	std::string lower = name;
	std::transform (lower.begin (), lower.end (), lower.begin (), [] (unsigned char c) { return std::tolower (c); });
	for (const std::string& pattern : patterns)
	{
		const bool prefix = !pattern.empty () && pattern.back () == '*';
		const std::string stem = prefix ? pattern.substr (0, pattern.size () - 1) : pattern;
		if (prefix ? lower.compare (0, stem.size (), stem) == 0 : lower == stem)
			return true;
	}
	return false;
}

struct ImageTables
{
	bool dll64 = false; // a 64-bit x86 DLL
	DWORD exportedFunctions = 0; // named or by ordinal only
	std::set<std::string> exportNames;
	std::vector<std::string> importedDlls; // delay-loaded ones included
};

ImageTables tablesOf (HMODULE image)
{
	ImageTables tables;
	const auto* base = reinterpret_cast<const BYTE*> (image);
	const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*> (base);
	if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE)
		return tables;
	const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*> (base + dos->e_lfanew);
	if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
		return tables;
	tables.dll64 = nt->FileHeader.Machine == IMAGE_FILE_MACHINE_AMD64 &&
	               (nt->FileHeader.Characteristics & IMAGE_FILE_DLL) != 0;
	const auto directory = [nt] (DWORD entry) {
		return entry < nt->OptionalHeader.NumberOfRvaAndSizes ? nt->OptionalHeader.DataDirectory[entry]
		                                                       : IMAGE_DATA_DIRECTORY {};
	};
	const auto text = [base] (DWORD rva) { return std::string (reinterpret_cast<const char*> (base + rva)); };

	if (const IMAGE_DATA_DIRECTORY exports = directory (IMAGE_DIRECTORY_ENTRY_EXPORT); exports.Size)
	{
		const auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*> (base + exports.VirtualAddress);
		const auto* names = reinterpret_cast<const DWORD*> (base + table->AddressOfNames);
		tables.exportedFunctions = table->NumberOfFunctions;
		for (DWORD i = 0; i < table->NumberOfNames; ++i)
			tables.exportNames.insert (text (names[i]));
	}
	if (const IMAGE_DATA_DIRECTORY imports = directory (IMAGE_DIRECTORY_ENTRY_IMPORT); imports.Size)
		for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*> (base + imports.VirtualAddress);
		     entry->Name; ++entry)
			tables.importedDlls.push_back (text (entry->Name));
	if (const IMAGE_DATA_DIRECTORY delayed = directory (IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT); delayed.Size)
		for (auto* entry = reinterpret_cast<const IMAGE_DELAYLOAD_DESCRIPTOR*> (base + delayed.VirtualAddress);
		     entry->DllNameRVA; ++entry)
			tables.importedDlls.push_back (text (entry->DllNameRVA));
	return tables;
}

// The parameter values of a processor state stream: a count, then the values as doubles.
std::vector<double> valuesIn (const Bytes& state)
{
	std::vector<double> values (Orvix::kReverbParamCount);
	if (state.size () >= 4 + 8 * values.size ())
		std::memcpy (values.data (), state.data () + 4, 8 * values.size ());
	return values;
}

// Eight blocks of noise through `plugin`, the first carrying `changes`.
std::vector<float> renderNoise (PluginInstance& plugin, const std::vector<Change>& changes)
{
	Vst3Target target (plugin.component (), plugin.audioProcessor ());
	std::vector<float> in[2], out[2];
	uint32_t seed = 99;
	for (int c = 0; c < 2; ++c)
	{
		in[c].resize (8 * kReferenceMaxBlock);
		out[c].resize (in[c].size ());
		for (float& sample : in[c])
			sample = static_cast<float> ((seed = seed * 1664525u + 1013904223u) >> 8) / 16777216.0f - 0.5f;
	}
	for (int b = 0; b < 8; ++b)
	{
		float* inputs[] = {in[0].data () + b * kReferenceMaxBlock, in[1].data () + b * kReferenceMaxBlock};
		float* outputs[] = {out[0].data () + b * kReferenceMaxBlock, out[1].data () + b * kReferenceMaxBlock};
		target.process (inputs, outputs, kReferenceMaxBlock, b == 0 ? changes : std::vector<Change> {});
	}
	out[0].insert (out[0].end (), out[1].begin (), out[1].end ());
	return out[0];
}

} // namespace

class WinModule : public ::testing::Test
{
protected:
	PluginModule module {bundlePath ()};
	void SetUp () override { ASSERT_TRUE (module.loaded ()) << module.error (); }
};

// Loaded, rendered, unloaded (ExitDll, FreeLibrary) and loaded again: the same bits each time,
// the Linux module's bits.
TEST (WinModuleLifetime, RendersTheReferenceAgainAfterAnUnloadAndALoad)
{
	for (int round = 0; round < 2; ++round)
	{
		{
			PluginModule module (bundlePath ());
			ASSERT_TRUE (module.loaded ()) << module.error ();
			ASSERT_EQ (GetModuleHandleW (L"KT3.vst3"), imageOf (module));
			expectRecordsOfKT3 (owned (module.factory ()));
			EXPECT_TRUE (matchesReference (renderReference (module, Timing::InsideBlocks), kReferenceHash))
			    << "round " << round;
			EXPECT_TRUE (
			    matchesReference (renderReference (module, Timing::BlockStarts), kBlockStartsReferenceHash))
			    << "round " << round;
		}
		EXPECT_EQ (GetModuleHandleW (L"KT3.vst3"), nullptr) << "the module stayed loaded, round " << round;
	}
}

// KT3.clap: the reference scenario as events in plain units, the same bits as the VST 3 module.
TEST (WinClap, RendersTheReference)
{
	ClapModule clap (besideTests (KT3_CLAP_FROM_TESTS));
	ClapHostedPlugin plugin (clap, Orvix::kClapPluginId);
	ASSERT_TRUE (plugin.ready ()) << clap.error ();
	ASSERT_TRUE (plugin.activate (kReferenceRate, kReferenceMaxBlock));
	ClapTarget target (plugin);
	EXPECT_TRUE (matchesReference (renderReference (target, Timing::InsideBlocks), kReferenceHash));
}

// KT3.clap's editor as a child of a host's Win32 window at its one size, run by the host's
// timer; gone with the gui's destroy.
TEST (WinClap, EditorOpensInAWin32Window)
{
	ClapModule clap (besideTests (KT3_CLAP_FROM_TESTS));
	ClapHostedPlugin plugin (clap, Orvix::kClapPluginId);
	ASSERT_TRUE (plugin.ready ()) << clap.error ();
	const auto* gui = plugin.extension<clap_plugin_gui_t> (CLAP_EXT_GUI);
	ASSERT_NE (gui, nullptr);
	EXPECT_FALSE (gui->is_api_supported (plugin.get (), CLAP_WINDOW_API_X11, false));
	HWND host = CreateWindowExW (0, L"STATIC", L"KT3 host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 281, 232,
	                             nullptr, nullptr, GetModuleHandleW (nullptr), nullptr);
	ASSERT_NE (host, nullptr);
	ASSERT_TRUE (gui->create (plugin.get (), CLAP_WINDOW_API_WIN32, false));
	uint32_t width = 0, height = 0;
	ASSERT_TRUE (gui->get_size (plugin.get (), &width, &height));
	EXPECT_EQ (std::make_pair (width, height), std::make_pair (281u, 232u));
	clap_window_t window {CLAP_WINDOW_API_WIN32, {}};
	window.win32 = host;
	ASSERT_TRUE (gui->set_parent (plugin.get (), &window));
	EXPECT_EQ (plugin.timers.size (), 1u);
	for (int i = 0; i < 20; ++i)
	{
		plugin.runTimers ();
		MSG message;
		while (PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
			DispatchMessageW (&message);
		Sleep (5);
	}
	HWND editor = GetWindow (host, GW_CHILD);
	ASSERT_NE (editor, nullptr);
	RECT area {};
	GetClientRect (editor, &area);
	EXPECT_EQ (std::make_pair (area.right, area.bottom), std::make_pair (LONG (281), LONG (232)));
	gui->destroy (plugin.get ());
	EXPECT_EQ (GetWindow (host, GW_CHILD), nullptr);
	EXPECT_TRUE (plugin.timers.empty ());
	DestroyWindow (host);
}

// The 40-byte state restores into a fresh effect, which then sounds as one that was given the
// same values as changes, and the fresh controller shows them.
TEST_F (WinModule, StateRoundTripsIntoAFreshEffectAndItsController)
{
	PluginInstance plugin (module);
	ASSERT_TRUE (plugin.ready () && plugin.activate (kReferenceRate, kReferenceMaxBlock)) << plugin.error ();
	Vst3Target target (plugin.component (), plugin.audioProcessor ());
	renderReference (target, Timing::InsideBlocks);
	const Bytes state = getState (plugin.component ());
	ASSERT_EQ (state.size (), 40u);
	EXPECT_EQ (std::vector<uint8> (state.begin (), state.begin () + 4), (std::vector<uint8> {4, 0, 0, 0}));
	const std::vector<double> values = valuesIn (state);

	PluginInstance restored (module), changed (module);
	ASSERT_TRUE (restored.ready () && restored.activate (kReferenceRate, kReferenceMaxBlock));
	ASSERT_TRUE (changed.ready () && changed.activate (kReferenceRate, kReferenceMaxBlock));
	ASSERT_EQ (setState (restored.component (), state), kResultOk);
	EXPECT_EQ (getState (restored.component ()), state);
	std::vector<Change> changes;
	for (ParamID id = 0; id < Orvix::kReverbParamCount; ++id)
		changes.push_back ({id, values[id], 0});
	const std::vector<float> fromState = renderNoise (restored, {});
	EXPECT_TRUE (fromState == renderNoise (changed, changes)) << "the state sounds unlike its values";
	EXPECT_EQ (getState (restored.component ()), state);

	ASSERT_EQ (setComponentState (restored.controller (), state), kResultOk);
	for (ParamID id = 0; id < Orvix::kReverbParamCount; ++id)
		EXPECT_DOUBLE_EQ (restored.controller ()->getParamNormalized (id), values[id]) << id;
	EXPECT_EQ (restored.controller ()->getParamNormalized (Orvix::kBypassId), 0.0);
}

// Hosts call the hooks as they please: each call answers true, and the module still works.
TEST_F (WinModule, InitDllAndExitDllAnswerTrueInAnyOrder)
{
	using Hook = bool (*) ();
	auto init = reinterpret_cast<Hook> (module.symbol ("InitDll"));
	auto exit = reinterpret_cast<Hook> (module.symbol ("ExitDll"));
	ASSERT_TRUE (init && exit);
	for (Hook hook : {exit, exit, init, init, init, exit, init, exit, exit})
		EXPECT_TRUE (hook ());
	EXPECT_TRUE (matchesReference (renderReference (module, Timing::InsideBlocks), kReferenceHash));
	EXPECT_TRUE (init ());
}

TEST_F (WinModule, ExportsTheEntryPointsOnlyAndImportsOnlySystemDlls)
{
	const ImageTables tables = tablesOf (imageOf (module));
	ASSERT_TRUE (tables.dll64);
	const std::vector<std::string> exports = listOf (KT3_DLL_EXPORTS);
	EXPECT_EQ (tables.exportNames, std::set<std::string> (exports.begin (), exports.end ()));
	EXPECT_EQ (tables.exportedFunctions, exports.size ()) << "exports by ordinal only";

	ASSERT_FALSE (tables.importedDlls.empty ());
	const std::vector<std::string> system = listOf (KT3_SYSTEM_DLLS);
	const std::vector<std::string> runtimes = listOf (KT3_COMPILER_RUNTIME_DLLS);
	for (const std::string& dll : tables.importedDlls)
	{
		EXPECT_FALSE (matchesAny (dll, runtimes)) << dll << ": the compiler's runtime is not linked in";
		EXPECT_TRUE (matchesAny (dll, system)) << dll << " is no Windows system DLL";
	}
}

TEST_F (WinModule, VersionRecordCarriesTheProductVersion)
{
	const std::wstring file = widen (module.modulePath ());
	DWORD ignored = 0;
	const DWORD size = GetFileVersionInfoSizeW (file.c_str (), &ignored);
	ASSERT_GT (size, 0u);
	std::vector<BYTE> record (size);
	ASSERT_TRUE (GetFileVersionInfoW (file.c_str (), 0, size, record.data ()));

	void* value = nullptr;
	UINT length = 0;
	ASSERT_TRUE (VerQueryValueW (record.data (), L"\\", &value, &length));
	ASSERT_GE (length, sizeof (VS_FIXEDFILEINFO));
	const auto* fixed = static_cast<const VS_FIXEDFILEINFO*> (value);
	EXPECT_EQ (fixed->dwSignature, 0xFEEF04BDu);
	EXPECT_EQ (fixed->dwFileVersionMS, (1u << 16) | 6u);
	EXPECT_EQ (fixed->dwFileVersionLS, (6u << 16) | 811u);
	EXPECT_EQ (fixed->dwProductVersionMS, fixed->dwFileVersionMS);
	EXPECT_EQ (fixed->dwProductVersionLS, fixed->dwFileVersionLS);
	EXPECT_EQ (fixed->dwFileType, static_cast<DWORD> (VFT_DLL));

	// The strings of the record's first language.
	ASSERT_TRUE (VerQueryValueW (record.data (), L"\\VarFileInfo\\Translation", &value, &length));
	ASSERT_GE (length, 4u);
	const auto* language = static_cast<const WORD*> (value);
	wchar_t block[64];
	std::swprintf (block, 64, L"\\StringFileInfo\\%04x%04x\\", language[0], language[1]);
	for (const wchar_t* name : {L"FileVersion", L"ProductVersion"})
	{
		ASSERT_TRUE (VerQueryValueW (record.data (), (std::wstring (block) + name).c_str (), &value, &length))
		    << narrow (name);
		EXPECT_EQ (narrow (static_cast<const wchar_t*> (value)), "1.6.06.0811") << narrow (name);
	}
}

// VSTPluginMain of the same DLL: setParameter before a block and effSetChunk give the bits of
// the VST 3 path, here and on Linux.
TEST_F (WinModule, Vst2EntryRendersTheBitsOfTheVst3Path)
{
	AEffect* effect = openVst2Effect (module);
	ASSERT_TRUE (effect);
	Vst2Target target (effect);
	const std::vector<float> vst2 = renderReference (target, Timing::BlockStarts);
	effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f);
	EXPECT_EQ (hashOf (vst2), hashOf (renderReference (module, Timing::BlockStarts)));
	EXPECT_TRUE (matchesReference (vst2, kBlockStartsReferenceHash));
}
