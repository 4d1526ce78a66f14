#include "vstpresetfile.h"
#include "printabletext.h"
#include "regularfile.h"

#include "pluginterfaces/base/funknown.h"
#include <cstring>
#include <iterator>

namespace kt3host {

using namespace Steinberg;

namespace {

constexpr size_t kClassIdSize = 32;
constexpr size_t kHeaderSize = 4 + 4 + kClassIdSize + 8;
constexpr size_t kListEntrySize = 4 + 8 + 8;
constexpr int32 kFormatVersion = 1;

void appendLE (Bytes& out, uint64 value, int bytes)
{
	for (int i = 0; i < bytes; ++i)
		out.push_back (static_cast<uint8> (value >> (8 * i)));
}

uint64 readLE (const Bytes& in, size_t at, int bytes)
{
	uint64 value = 0;
	for (int i = bytes - 1; i >= 0; --i)
		value = value << 8 | in[at + static_cast<size_t> (i)];
	return value;
}

std::string escaped (const std::string& text)
{
	std::string out;
	for (char c : text)
	{
		switch (c)
		{
			case '&': out += "&amp;"; break;
			case '<': out += "&lt;"; break;
			case '>': out += "&gt;"; break;
			case '"': out += "&quot;"; break;
			default: out += c;
		}
	}
	return out;
}

std::string unescaped (const std::string& text)
{
	static const struct
	{
		const char* entity;
		char c;
	} entities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
	std::string out;
	for (size_t i = 0; i < text.size ();)
	{
		bool replaced = false;
		for (const auto& e : entities)
		{
			const size_t length = std::strlen (e.entity);
			if (text.compare (i, length, e.entity) == 0)
			{
				out += e.c;
				i += length;
				replaced = true;
				break;
			}
		}
		if (!replaced)
			out += text[i++];
	}
	return out;
}

std::string metaInfoXml (const VstPresetInfo& info)
{
	std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<MetaInfo>\n";
	const std::pair<const char*, std::string> attributes[] = {
		{"MediaType", "VstPreset"},         {"Name", info.name},
		{"PlugInCategory", info.plugInCategory}, {"PlugInName", info.plugInName},
		{"Vendor", info.vendor}};
	for (const auto& [id, value] : attributes)
		xml += std::string ("\t<Attr id=\"") + id + "\" value=\"" + escaped (value) +
		       "\" type=\"string\"/>\n";
	return xml + "</MetaInfo>\n";
}

// The value of the attribute `id` of the meta information; empty when it has none.
std::string attributeValue (const std::string& xml, const std::string& id)
{
	const std::string key = "id=\"" + id + "\"";
	const size_t at = xml.find (key);
	if (at == std::string::npos)
		return {};
	const size_t end = xml.find ('>', at);
	const size_t value = xml.find ("value=\"", at);
	if (value == std::string::npos || value > end)
		return {};
	const size_t start = value + 7;
	const size_t close = xml.find ('"', start);
	if (close == std::string::npos || close > end)
		return {};
	return unescaped (xml.substr (start, close - start));
}

bool refuse (std::string& error, const std::string& reason)
{
	error = reason;
	return false;
}

} // namespace

std::string classIdText (const TUID cid)
{
	char8 text[33];
	FUID::fromTUID (cid).toString (text);
	return text;
}

Bytes writeVstPreset (const std::string& classId, const Bytes& componentState,
                      const Bytes& controllerState, const VstPresetInfo& info)
{
	const std::string xml = metaInfoXml (info);
	const struct
	{
		const char* id;
		const uint8* data;
		size_t size;
	} chunks[] = {{"Comp", componentState.data (), componentState.size ()},
	              {"Cont", controllerState.data (), controllerState.size ()},
	              {"Info", reinterpret_cast<const uint8*> (xml.data ()), xml.size ()}};

	Bytes out {'V', 'S', 'T', '3'};
	appendLE (out, kFormatVersion, 4);
	std::string id = classId;
	id.resize (kClassIdSize, '0');
	out.insert (out.end (), id.begin (), id.end ());
	size_t listOffset = kHeaderSize;
	for (const auto& chunk : chunks)
		listOffset += chunk.size;
	appendLE (out, listOffset, 8);
	for (const auto& chunk : chunks)
		out.insert (out.end (), chunk.data, chunk.data + chunk.size);

	out.insert (out.end (), {'L', 'i', 's', 't'});
	appendLE (out, std::size (chunks), 4);
	size_t offset = kHeaderSize;
	for (const auto& chunk : chunks)
	{
		out.insert (out.end (), chunk.id, chunk.id + 4);
		appendLE (out, offset, 8);
		appendLE (out, chunk.size, 8);
		offset += chunk.size;
	}
	return out;
}

bool readVstPreset (const Bytes& file, const std::string& classId, VstPreset& preset,
                    std::string& error)
{
	if (file.size () < kHeaderSize || std::memcmp (file.data (), "VST3", 4) != 0)
		return refuse (error, "not a VST 3 preset file (no \"VST3\" header)");
	const std::string fileClassId (file.begin () + 8, file.begin () + 8 + kClassIdSize);
	if (fileClassId != classId)
		return refuse (error, "a preset for another plug-in (class ID " + printable (fileClassId) + ")");

	const uint64 listOffset = readLE (file, 8 + kClassIdSize, 8);
	if (listOffset < kHeaderSize || listOffset > file.size () - 8)
		return refuse (error, "the chunk list lies outside the file");
	if (std::memcmp (file.data () + listOffset, "List", 4) != 0)
		return refuse (error, "no chunk list where the header points");
	const uint64 count = readLE (file, listOffset + 4, 4);
	const uint64 entries = listOffset + 8;
	if (count > (file.size () - entries) / kListEntrySize)
		return refuse (error, "the chunk list runs past the end of the file");

	VstPreset read;
	bool hasComponent = false;
	for (uint64 i = 0; i < count; ++i)
	{
		const size_t entry = entries + i * kListEntrySize;
		const std::string id (file.begin () + entry, file.begin () + entry + 4);
		const uint64 offset = readLE (file, entry + 4, 8);
		const uint64 size = readLE (file, entry + 12, 8);
		if (offset > file.size () || size > file.size () - offset)
			return refuse (error, "the chunk \"" + printable (id) + "\" lies outside the file");
		const auto begin = file.begin () + static_cast<std::ptrdiff_t> (offset);
		const auto end = begin + static_cast<std::ptrdiff_t> (size);
		if (id == "Comp")
		{
			read.componentState.assign (begin, end);
			hasComponent = true;
		}
		else if (id == "Cont")
			read.controllerState.assign (begin, end);
		else if (id == "Info")
			read.name = attributeValue (std::string (begin, end), "Name");
	}
	if (!hasComponent)
		return refuse (error, "no processor state (\"Comp\" chunk) in the file");
	preset = std::move (read);
	return true;
}

bool readVstPresetFile (const std::string& path, const std::string& classId, VstPreset& preset,
                        std::string& error)
{
	Bytes file;
	if (!readRegularFile (path, kMaxVstPresetFileBytes, file, error))
		return false;
	if (!readVstPreset (file, classId, preset, error))
		return refuse (error, printable (path) + ": " + error);
	return true;
}

} // namespace kt3host
