// ClapInstance: one plug-in as the host holds it, the format's function tables around the
// adapter (ClapPlugin) and, while the host shows it, the editor (ClapEditor).
// clapInstanceOf gives it back from the host's pointer; the tables forward each call.
#pragma once

#include "clapplugin.h"

#include "clap/plugin.h"

#include <memory>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ClapEditor;

struct ClapInstance
{
	ClapInstance ();
	~ClapInstance ();
	clap_plugin_t plugin {};
	const clap_host_t* host = nullptr;
	std::unique_ptr<ClapPlugin> adapter; // from init on
	std::unique_ptr<ClapEditor> editor; // between the gui's create and destroy; goes first
	bool onMainThread () const;
	bool onAudioThread () const;
};

// Any thread (the factory's create_plugin): a new instance for `host`, not yet initialised.
const clap_plugin_t* createClapInstance (const clap_host_t* host, const clap_plugin_descriptor_t* descriptor);
ClapInstance& clapInstanceOf (const clap_plugin_t* plugin);
// Any thread: the extension table of that ID, or null.
const void* clapExtension (const char* id);

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
