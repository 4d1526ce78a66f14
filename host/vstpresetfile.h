// The VST 3 preset file (.vstpreset): a 48-byte header ("VST3", version 1, the processor's
// class ID as 32 hexadecimal digits, the chunk list's offset), the data chunks "Comp" (the
// processor's state), "Cont" (the controller's state) and "Info" (XML meta information), then
// the chunk list ("List", an entry count, per entry an ID, an offset and a size). All numbers
// are little-endian.
#pragma once

#include "statebytes.h"

#include "pluginterfaces/base/funknown.h"
#include <string>

namespace kt3host {

struct VstPreset
{
	std::string name; // the meta information's "Name"; empty without one
	Bytes componentState;
	Bytes controllerState; // empty without a "Cont" chunk
};

// What the "Info" chunk says about the preset and the plug-in it belongs to.
struct VstPresetInfo
{
	std::string name;
	std::string plugInName;
	std::string plugInCategory;
	std::string vendor;
};

// The class ID as the file writes it: FUID's 32 hexadecimal digits, the same on every platform.
std::string classIdText (const Steinberg::TUID cid);

Bytes writeVstPreset (const std::string& classId, const Bytes& componentState,
                      const Bytes& controllerState, const VstPresetInfo& info);

// Reads a preset for the processor class `classId`. False, with a one-line reason in `error`,
// for a file that is not a preset of that class: a bad header, a chunk list or a chunk outside
// the file, no "Comp" chunk, or another class ID.
bool readVstPreset (const Bytes& file, const std::string& classId, VstPreset& preset,
                    std::string& error);
// The largest preset file read: KT3's own are a few hundred bytes.
constexpr Steinberg::uint64 kMaxVstPresetFileBytes = 1 << 20;

// The same for the file at `path`; a file that cannot be read, is not a regular file (a FIFO, a
// device, a folder) or is larger than kMaxVstPresetFileBytes is refused with its reason too,
// before anything is read. Every reason is one line, control bytes escaped.
bool readVstPresetFile (const std::string& path, const std::string& classId, VstPreset& preset,
                        std::string& error);

} // namespace kt3host
