#include "clapinstance.h"
#include "clapeditor.h"

#include "clap/ext/audio-ports.h"
#include "clap/ext/gui.h"
#include "clap/ext/latency.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/ext/thread-check.h"
#include "clap/ext/timer-support.h"
#include "clap/ext/tail.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <new>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

const clap_host_thread_check_t* threadCheckOf (const clap_host_t* host)
{
	if (!host || !host->get_extension)
		return nullptr;
	return static_cast<const clap_host_thread_check_t*> (host->get_extension (host, CLAP_EXT_THREAD_CHECK));
}

ClapPlugin* adapterOf (const clap_plugin_t* plugin)
{
	return clapInstanceOf (plugin).adapter.get ();
}

//---The plug-in's own calls

// Main thread.
bool init (const clap_plugin_t* plugin)
{
	ClapInstance& instance = clapInstanceOf (plugin);
	if (!instance.adapter)
		instance.adapter = ClapPlugin::create (instance.host);
	return instance.adapter != nullptr;
}

// Main thread.
void destroy (const clap_plugin_t* plugin)
{
	delete &clapInstanceOf (plugin);
}

// Main thread.
bool activate (const clap_plugin_t* plugin, double sampleRate, uint32_t, uint32_t maxFrames)
{
	assert (clapInstanceOf (plugin).onMainThread ());
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter && adapter->activate (sampleRate, maxFrames);
}

// Main thread.
void deactivate (const clap_plugin_t* plugin)
{
	assert (clapInstanceOf (plugin).onMainThread ());
	if (ClapPlugin* adapter = adapterOf (plugin))
		adapter->deactivate ();
}

// Audio thread.
bool startProcessing (const clap_plugin_t* plugin)
{
	assert (clapInstanceOf (plugin).onAudioThread ());
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter && adapter->startProcessing ();
}

// Audio thread.
void stopProcessing (const clap_plugin_t* plugin)
{
	if (ClapPlugin* adapter = adapterOf (plugin))
		adapter->stopProcessing ();
}

// Audio thread.
void reset (const clap_plugin_t* plugin)
{
	if (ClapPlugin* adapter = adapterOf (plugin))
		adapter->reset ();
}

// Audio thread.
clap_process_status process (const clap_plugin_t* plugin, const clap_process_t* call)
{
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter && call ? adapter->process (*call) : CLAP_PROCESS_ERROR;
}

// Any thread.
const void* getExtension (const clap_plugin_t*, const char* id)
{
	return clapExtension (id);
}

// Main thread: the editor's tick, when it asked for one (it has no host timer).
void onMainThreadCall (const clap_plugin_t* plugin)
{
	if (ClapEditor* editor = clapInstanceOf (plugin).editor.get ())
		editor->tick ();
}

//---audio-ports (main thread): one stereo input and output, main, an in-place pair, 32 bits

uint32_t audioPortCount (const clap_plugin_t*, bool)
{
	return 1;
}

bool audioPortInfo (const clap_plugin_t*, uint32_t index, bool isInput, clap_audio_port_info_t* info)
{
	if (index != 0 || !info)
		return false;
	*info = clap_audio_port_info_t {};
	info->id = 0;
	std::snprintf (info->name, sizeof info->name, "%s", isInput ? "Stereo In" : "Stereo Out");
	info->flags = CLAP_AUDIO_PORT_IS_MAIN;
	info->channel_count = 2;
	info->port_type = CLAP_PORT_STEREO;
	info->in_place_pair = 0;
	return true;
}

const clap_plugin_audio_ports_t kAudioPorts {audioPortCount, audioPortInfo};

//---params: main thread, but flush (see ClapPlugin)

uint32_t paramCount (const clap_plugin_t*)
{
	return ClapPlugin::kParamCount;
}

bool paramInfo (const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info)
{
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter && info && adapter->paramInfo (index, *info);
}

bool paramValue (const clap_plugin_t* plugin, clap_id id, double* value)
{
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter && value && adapter->value (id, *value);
}

bool valueToText (const clap_plugin_t* plugin, clap_id id, double value, char* display, uint32_t size)
{
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter && adapter->valueToText (id, value, display, size);
}

bool textToValue (const clap_plugin_t* plugin, clap_id id, const char* display, double* value)
{
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter && value && adapter->textToValue (id, display, *value);
}

void flush (const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out)
{
	if (ClapPlugin* adapter = adapterOf (plugin))
		adapter->flush (in, out);
}

const clap_plugin_params_t kParams {paramCount, paramInfo, paramValue, valueToText, textToValue, flush};

//---state (main thread)

bool saveState (const clap_plugin_t* plugin, const clap_ostream_t* stream)
{
	assert (clapInstanceOf (plugin).onMainThread ());
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter && stream && adapter->save (*stream);
}

bool loadState (const clap_plugin_t* plugin, const clap_istream_t* stream)
{
	assert (clapInstanceOf (plugin).onMainThread ());
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter && stream && adapter->load (*stream);
}

const clap_plugin_state_t kState {saveState, loadState};

//---latency (main thread) and tail (main or audio thread)

uint32_t latency (const clap_plugin_t*)
{
	return 0;
}

const clap_plugin_latency_t kLatency {latency};

uint32_t tail (const clap_plugin_t* plugin)
{
	ClapPlugin* adapter = adapterOf (plugin);
	return adapter ? adapter->tailSamples () : 0;
}

const clap_plugin_tail_t kTail {tail};

//---gui (main thread): the editor embedded in the host's window, fixed in size

ClapEditor* editorOf (const clap_plugin_t* plugin)
{
	return clapInstanceOf (plugin).editor.get ();
}

bool guiApiSupported (const clap_plugin_t*, const char* api, bool isFloating)
{
	return !isFloating && api && std::strcmp (api, ClapEditor::kWindowApi) == 0;
}

bool guiPreferredApi (const clap_plugin_t*, const char** api, bool* isFloating)
{
	if (!api || !isFloating)
		return false;
	*api = ClapEditor::kWindowApi;
	*isFloating = false;
	return true;
}

bool guiCreate (const clap_plugin_t* plugin, const char* api, bool isFloating)
{
	ClapInstance& instance = clapInstanceOf (plugin);
	assert (instance.onMainThread ());
	if (!guiApiSupported (plugin, api, isFloating) || instance.editor || !instance.adapter)
		return false;
	instance.editor = ClapEditor::create (*instance.adapter, instance.host);
	return instance.editor != nullptr;
}

void guiDestroy (const clap_plugin_t* plugin)
{
	clapInstanceOf (plugin).editor.reset ();
}

bool guiSetScale (const clap_plugin_t* plugin, double scale)
{
	ClapEditor* editor = editorOf (plugin);
	return editor && editor->setScale (scale);
}

bool guiGetSize (const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
	ClapEditor* editor = editorOf (plugin);
	if (!editor || !width || !height)
		return false;
	editor->size (*width, *height);
	return true;
}

bool guiCanResize (const clap_plugin_t*)
{
	return false;
}

bool guiResizeHints (const clap_plugin_t*, clap_gui_resize_hints_t*)
{
	return false;
}

// The one size the editor has, whatever is asked.
bool guiAdjustSize (const clap_plugin_t* plugin, uint32_t* width, uint32_t* height)
{
	return guiGetSize (plugin, width, height);
}

bool guiSetSize (const clap_plugin_t* plugin, uint32_t width, uint32_t height)
{
	uint32_t w = 0, h = 0;
	return guiGetSize (plugin, &w, &h) && w == width && h == height;
}

bool guiSetParent (const clap_plugin_t* plugin, const clap_window_t* window)
{
	ClapEditor* editor = editorOf (plugin);
	return editor && window && editor->setParent (*window);
}

// No floating window.
bool guiSetTransient (const clap_plugin_t*, const clap_window_t*)
{
	return false;
}

void guiSuggestTitle (const clap_plugin_t*, const char*) {}

// The embedded window shows with its parent.
bool guiShowOrHide (const clap_plugin_t* plugin)
{
	return editorOf (plugin) != nullptr;
}

const clap_plugin_gui_t kGui {guiApiSupported, guiPreferredApi, guiCreate,     guiDestroy,      guiSetScale,
                              guiGetSize,      guiCanResize,     guiResizeHints, guiAdjustSize,   guiSetSize,
                              guiSetParent,    guiSetTransient,  guiSuggestTitle, guiShowOrHide, guiShowOrHide};

// Main thread: the host's timer, which drives the editor.
void onTimer (const clap_plugin_t* plugin, clap_id id)
{
	ClapEditor* editor = editorOf (plugin);
	if (editor && editor->ownsTimer (id))
		editor->tick ();
}

const clap_plugin_timer_support_t kTimerSupport {onTimer};

} // namespace

ClapInstance::ClapInstance () = default;
ClapInstance::~ClapInstance () = default;

bool ClapInstance::onMainThread () const
{
	const clap_host_thread_check_t* check = threadCheckOf (host);
	return !check || !check->is_main_thread || check->is_main_thread (host);
}

bool ClapInstance::onAudioThread () const
{
	const clap_host_thread_check_t* check = threadCheckOf (host);
	return !check || !check->is_audio_thread || check->is_audio_thread (host);
}

const clap_plugin_t* createClapInstance (const clap_host_t* host, const clap_plugin_descriptor_t* descriptor)
{
	auto* instance = new (std::nothrow) ClapInstance;
	if (!instance)
		return nullptr;
	instance->host = host;
	instance->plugin = clap_plugin_t {descriptor, instance, init, destroy, activate, deactivate, startProcessing,
	                                  stopProcessing, reset, process, getExtension, onMainThreadCall};
	return &instance->plugin;
}

ClapInstance& clapInstanceOf (const clap_plugin_t* plugin)
{
	return *static_cast<ClapInstance*> (plugin->plugin_data);
}

const void* clapExtension (const char* id)
{
	if (!id)
		return nullptr;
	const struct
	{
		const char* id;
		const void* table;
	} extensions[] = {
	    {CLAP_EXT_AUDIO_PORTS, &kAudioPorts}, {CLAP_EXT_PARAMS, &kParams}, {CLAP_EXT_STATE, &kState},
	    {CLAP_EXT_LATENCY, &kLatency},        {CLAP_EXT_TAIL, &kTail},
	    {CLAP_EXT_GUI, &kGui},                {CLAP_EXT_TIMER_SUPPORT, &kTimerSupport},
	};
	for (const auto& extension : extensions)
		if (std::strcmp (id, extension.id) == 0)
			return extension.table;
	return nullptr;
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
