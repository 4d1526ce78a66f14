// The host library's .vstpreset writer and reader: the layout, the round trip, and the files
// the reader refuses.
#include "vstpresetfile.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

using namespace Steinberg;
using kt3host::Bytes;

namespace {

const std::string kClassId = "3C9E41A75B2D4F089A61C3E27D04B815";

Bytes sampleFile (const std::string& name = "Small Room")
{
	return kt3host::writeVstPreset (kClassId, Bytes (40, 0x5A), {}, {name, "KT3", "Fx|Reverb", "Orvix"});
}

uint64 readLE (const Bytes& bytes, size_t at, int size)
{
	uint64 value = 0;
	for (int i = size - 1; i >= 0; --i)
		value = value << 8 | bytes[at + size_t (i)];
	return value;
}

void writeLE (Bytes& bytes, size_t at, uint64 value, int size)
{
	for (int i = 0; i < size; ++i)
		bytes[at + size_t (i)] = uint8 (value >> (8 * i));
}

// Where the chunk list starts, and the offset of its entry `index`.
size_t listOf (const Bytes& file)
{
	return size_t (readLE (file, 40, 8));
}
size_t entryOf (const Bytes& file, int index)
{
	return listOf (file) + 8 + 20 * size_t (index);
}

std::string refusal (const Bytes& file, const std::string& classId = kClassId)
{
	kt3host::VstPreset preset;
	std::string error;
	EXPECT_FALSE (kt3host::readVstPreset (file, classId, preset, error));
	EXPECT_FALSE (error.empty ());
	return error;
}

} // namespace

TEST (VstPresetFile, LaysOutHeaderChunksAndListLittleEndian)
{
	const Bytes file = sampleFile ();
	ASSERT_GE (file.size (), 48u);
	EXPECT_EQ (std::string (file.begin (), file.begin () + 4), "VST3");
	EXPECT_EQ (readLE (file, 4, 4), 1u);
	EXPECT_EQ (std::string (file.begin () + 8, file.begin () + 40), kClassId);
	const size_t list = listOf (file);
	ASSERT_EQ (file.size (), list + 8 + 3 * 20);
	EXPECT_EQ (std::string (file.begin () + list, file.begin () + list + 4), "List");
	EXPECT_EQ (readLE (file, list + 4, 4), 3u);
	const char* ids[] = {"Comp", "Cont", "Info"};
	uint64 offset = 48;
	for (int i = 0; i < 3; ++i)
	{
		const size_t entry = entryOf (file, i);
		EXPECT_EQ (std::string (file.begin () + entry, file.begin () + entry + 4), ids[i]);
		EXPECT_EQ (readLE (file, entry + 4, 8), offset);
		offset += readLE (file, entry + 12, 8);
	}
	EXPECT_EQ (readLE (file, entryOf (file, 0) + 12, 8), 40u);
	EXPECT_EQ (readLE (file, entryOf (file, 1) + 12, 8), 0u);
	EXPECT_EQ (offset, list);
	const std::string info (file.begin () + 88, file.begin () + long (list));
	for (const char* attribute :
	     {"id=\"MediaType\" value=\"VstPreset\"", "id=\"Name\" value=\"Small Room\"",
	      "id=\"PlugInName\" value=\"KT3\"", "id=\"PlugInCategory\" value=\"Fx|Reverb\"",
	      "id=\"Vendor\" value=\"Orvix\""})
		EXPECT_NE (info.find (attribute), std::string::npos) << attribute << " in\n" << info;
}

TEST (VstPresetFile, ReadsBackWhatItWrote)
{
	const std::string name = "Tom & \"Jerry\" <live>";
	kt3host::VstPreset preset;
	std::string error;
	const Bytes controller {1, 2, 3};
	const Bytes file = kt3host::writeVstPreset (kClassId, Bytes (40, 7), controller, {name, "KT3", "Fx", "Orvix"});
	ASSERT_TRUE (kt3host::readVstPreset (file, kClassId, preset, error)) << error;
	EXPECT_EQ (preset.name, name);
	EXPECT_EQ (preset.componentState, Bytes (40, 7));
	EXPECT_EQ (preset.controllerState, controller);
}

// Chunks in another order, an unknown chunk and no meta information are all accepted.
TEST (VstPresetFile, TakesChunksByTheirIdsAloneAndNeedsOnlyComp)
{
	Bytes file = sampleFile ();
	std::memcpy (&file[entryOf (file, 1)], "Xtra", 4);
	std::memcpy (&file[entryOf (file, 2)], "Note", 4);
	kt3host::VstPreset preset;
	std::string error;
	ASSERT_TRUE (kt3host::readVstPreset (file, kClassId, preset, error)) << error;
	EXPECT_EQ (preset.name, "");
	EXPECT_EQ (preset.componentState.size (), 40u);
}

TEST (VstPresetFile, RefusesMalformedFilesWithTheReason)
{
	const Bytes good = sampleFile ();
	EXPECT_NE (refusal ({}).find ("not a VST 3 preset"), std::string::npos);
	EXPECT_NE (refusal (Bytes (good.begin (), good.begin () + 47)).find ("not a VST 3 preset"), std::string::npos);
	Bytes file = good;
	file[0] = 'v';
	EXPECT_NE (refusal (file).find ("not a VST 3 preset"), std::string::npos);
	EXPECT_NE (refusal (good, "D4A05E72913B4E6C85F2A04D1E6BC397").find ("another plug-in"), std::string::npos);

	for (uint64 listOffset : {uint64 (good.size ()), uint64 (good.size () - 7), uint64 (47), uint64 (~0ull)})
	{
		file = good;
		writeLE (file, 40, listOffset, 8);
		EXPECT_NE (refusal (file).find ("chunk list lies outside"), std::string::npos) << listOffset;
	}
	file = good;
	writeLE (file, 40, 48, 8); // points at the data, not at "List"
	EXPECT_NE (refusal (file).find ("no chunk list"), std::string::npos);
	file = good;
	writeLE (file, listOf (file) + 4, 4, 4); // one entry more than the file holds
	EXPECT_NE (refusal (file).find ("runs past the end"), std::string::npos);
	file = good;
	writeLE (file, listOf (file) + 4, 0xFFFFFFFF, 4);
	EXPECT_NE (refusal (file).find ("runs past the end"), std::string::npos);

	const size_t comp = entryOf (good, 0);
	for (const auto& [offset, size] : {std::pair<uint64, uint64> {good.size () + 1, 0},
	                                   {48, good.size ()},
	                                   {48, ~0ull},
	                                   {~0ull, 40}})
	{
		file = good;
		writeLE (file, comp + 4, offset, 8);
		writeLE (file, comp + 12, size, 8);
		EXPECT_NE (refusal (file).find ("\"Comp\" lies outside"), std::string::npos) << offset << " " << size;
	}
	file = good;
	std::memcpy (&file[comp], "comp", 4);
	EXPECT_NE (refusal (file).find ("no processor state"), std::string::npos);
	file = good;
	writeLE (file, listOf (file) + 4, 0, 4);
	EXPECT_NE (refusal (file).find ("no processor state"), std::string::npos);
}

TEST (VstPresetFile, AFileThatCannotBeReadIsRefusedWithItsPath)
{
	kt3host::VstPreset preset;
	std::string error;
	EXPECT_FALSE (kt3host::readVstPresetFile ("/nonexistent/x.vstpreset", kClassId, preset, error));
	EXPECT_NE (error.find ("/nonexistent/x.vstpreset"), std::string::npos);
}
