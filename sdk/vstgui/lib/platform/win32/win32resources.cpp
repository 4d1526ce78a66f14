#include "win32resources.h"

#include <windows.h>

#include <atomic>

namespace VSTGUI {

namespace {

std::atomic<HINSTANCE> resourceInstance {nullptr};

} // namespace

void setResourceInstance (void* instance)
{
	resourceInstance = static_cast<HINSTANCE> (instance);
}

std::optional<std::vector<uint8_t>> readModuleResource (const std::string& name, const char* type,
                                                        size_t maxBytes)
{
	if (name.empty () || name.find_first_of ("/\\") != std::string::npos ||
	    name.find ('\0') != std::string::npos)
		return std::nullopt;
	// The resource compiler stores names in upper case; Windows compares them ignoring case, and
	// upper-casing here keeps that independent of the system's own comparison.
	std::string key = name;
	for (char& c : key)
		if (c >= 'a' && c <= 'z')
			c = static_cast<char> (c - 'a' + 'A');
	HMODULE module = resourceInstance.load ();
	if (!module)
		module = GetModuleHandleW (nullptr);
	HRSRC info = FindResourceA (module, key.c_str (), type);
	if (!info)
		return std::nullopt;
	const DWORD size = SizeofResource (module, info);
	HGLOBAL loaded = size ? LoadResource (module, info) : nullptr;
	const auto* data = loaded ? static_cast<const uint8_t*> (LockResource (loaded)) : nullptr;
	if (!data || size > maxBytes)
		return std::nullopt;
	return std::vector<uint8_t> (data, data + size);
}

} // namespace VSTGUI
