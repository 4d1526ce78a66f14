// A CLAP module loaded as a host loads one: the file opened (dlopen, or LoadLibrary on
// Windows), clap_entry's init with the file's path and its plug-in factory; deinit and the
// file closed when it goes. Main thread only.
#pragma once

#include "clap/entry.h"
#include "clap/plugin-factory.h"

#include <string>

namespace kt3host {

class ClapModule
{
public:
	explicit ClapModule (const std::string& path);
	~ClapModule ();
	ClapModule (const ClapModule&) = delete;
	ClapModule& operator= (const ClapModule&) = delete;

	// The factory, or null when the module did not load; `error ()` then says why.
	const clap_plugin_factory_t* factory () const { return pluginFactory; }
	const std::string& error () const { return errorText; }

private:
	void* handle = nullptr;
	const clap_plugin_entry_t* entry = nullptr;
	const clap_plugin_factory_t* pluginFactory = nullptr;
	std::string errorText;
};

} // namespace kt3host
