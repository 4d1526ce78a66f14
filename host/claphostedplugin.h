// One CLAP plug-in hosted as a DAW hosts it: the host's record with its extensions (thread
// check, params, timer support, gui), the plug-in created from a module's factory and
// initialised, and calls to it with plain buffers, event lists and state bytes. The calls come
// from the thread that created it, which the thread check reports as the main thread; process
// calls count as the audio thread's while they run.
#pragma once

#include "clapinputevents.h"
#include "clapoutputevents.h"
#include "clapmodule.h"

#include "clap/plugin.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <thread>
#include <vector>

namespace kt3host {

class ClapHostedPlugin
{
public:
	ClapHostedPlugin (const ClapModule& module, const char* pluginId);
	~ClapHostedPlugin ();
	ClapHostedPlugin (const ClapHostedPlugin&) = delete;
	ClapHostedPlugin& operator= (const ClapHostedPlugin&) = delete;

	// Created and initialised.
	bool ready () const { return plugin != nullptr; }
	const clap_plugin_t* get () const { return plugin; }
	// The plug-in's extension table, or null.
	template <typename Table>
	const Table* extension (const char* id) const
	{
		return static_cast<const Table*> (plugin->get_extension (plugin, id));
	}

	// activate and start_processing; stop_processing and deactivate.
	bool activate (double sampleRate, uint32_t maxFrames);
	void deactivate ();
	// One process call on two channels in and out (buffers may be the same), 32 bits.
	clap_process_status process (float* in[2], float* out[2], uint32_t frames, const ClapInputEvents& events,
	                             ClapOutputEvents* output = nullptr);

	// The saved state, written through a stream that takes at most `chunk` bytes a call; empty
	// when save fails.
	std::vector<uint8_t> save (size_t chunk = SIZE_MAX) const;
	// Loads `bytes` through a stream that gives at most `chunk` bytes a call.
	bool load (const std::vector<uint8_t>& bytes, size_t chunk = SIZE_MAX) const;

	// What the plug-in asked of the host.
	int rescans = 0;
	int flushRequests = 0;
	std::atomic<int> callbackRequests {0}; // from any thread
	// The timers it registered, by ID, with their periods; runTimers calls each once.
	std::map<clap_id, uint32_t> timers;
	void runTimers ();
	// The last size it asked the gui for.
	uint32_t requestedWidth = 0;
	uint32_t requestedHeight = 0;
	// Offer timer support (on by default).
	bool offerTimers = true;

private:
	static const void* hostExtension (const clap_host_t* host, const char* id);
	static ClapHostedPlugin& of (const clap_host_t* host);

	clap_host_t host {};
	const clap_plugin_t* plugin = nullptr;
	std::thread::id mainThread;
	bool inProcess = false;
	bool active = false;
	clap_id nextTimer = 1;
};

} // namespace kt3host
