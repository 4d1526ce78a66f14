// ClapEditor: the plug-in's editor under the CLAP gui extension: the embedded editor in the
// host's X11 window (a Win32 window on Windows) at a fixed size (set_scale scales it), its edits going to the adapter
// through ClapEditHandler, and the adapter's values moving its controls. It runs on the host's
// timer (timer-support) where the host offers one; otherwise a thread of its own asks the host
// for a main-thread callback at the same rate, and the editor runs from that. Either way every
// editor call happens on the main thread.
#pragma once

#include "clapplugin.h"
#include "embeddededitor.h"

#include "clap/ext/gui.h"
#include "clap/ext/timer-support.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ClapEditor
{
public:
	static constexpr uint32_t kTickMs = 16;
#if defined(_WIN32)
	static constexpr const char* kWindowApi = CLAP_WINDOW_API_WIN32;
#else
	static constexpr const char* kWindowApi = CLAP_WINDOW_API_X11;
#endif

	// Main thread (gui create): the editor's view from its files beside the module (on Windows,
	// the module's resources); null when they are missing or broken.
	static std::unique_ptr<ClapEditor> create (ClapPlugin& plugin, const clap_host_t* host);
	// Main thread (gui destroy): closes the window and stops the ticks.
	~ClapEditor ();
	ClapEditor (const ClapEditor&) = delete;
	ClapEditor& operator= (const ClapEditor&) = delete;

	// Main thread, as every function below. False for a factor that is not finite or below 1.
	bool setScale (double factor);
	void size (uint32_t& width, uint32_t& height) const;
	// Embeds the editor in a window of kWindowApi; false for another kind or when it cannot.
	bool setParent (const clap_window_t& window);
	// One tick: the plug-in's values to the controls, then the window's events and timers.
	void tick ();
	// Whether the host's timer `id` is this editor's.
	bool ownsTimer (clap_id id) const { return timers && id == timer; }

private:
	ClapEditor (ClapPlugin& plugin, const clap_host_t* host) : plugin (plugin), host (host) {}
	void startTicks ();
	void followValues ();

	ClapPlugin& plugin;
	const clap_host_t* host;
	std::unique_ptr<EmbeddedEditor> editor;
	const clap_host_timer_support_t* timers = nullptr;
	clap_id timer = CLAP_INVALID_ID;
	// Without the host's timers: the thread that asks for callbacks.
	std::thread ticker;
	std::mutex tickerMutex;
	std::condition_variable tickerWake;
	bool stopTicker = false;
	// The plug-in's values as the controls last got them, by parameter index.
	double shown[ClapPlugin::kParamCount];
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
