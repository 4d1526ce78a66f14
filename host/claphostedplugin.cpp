#include "claphostedplugin.h"

#include "clap/ext/gui.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/ext/thread-check.h"
#include "clap/ext/timer-support.h"

#include <algorithm>
#include <cstring>

namespace kt3host {

namespace {

struct ByteStream
{
	std::vector<uint8_t>* written;
	const std::vector<uint8_t>* source;
	size_t position;
	size_t chunk;
};

int64_t writeBytes (const clap_ostream_t* stream, const void* buffer, uint64_t size)
{
	auto& bytes = *static_cast<ByteStream*> (stream->ctx);
	const size_t n = static_cast<size_t> (std::min<uint64_t> (size, bytes.chunk));
	const auto* from = static_cast<const uint8_t*> (buffer);
	bytes.written->insert (bytes.written->end (), from, from + n);
	return static_cast<int64_t> (n);
}

int64_t readBytes (const clap_istream_t* stream, void* buffer, uint64_t size)
{
	auto& bytes = *static_cast<ByteStream*> (stream->ctx);
	const size_t n = static_cast<size_t> (
	    std::min<uint64_t> ({size, bytes.chunk, bytes.source->size () - bytes.position}));
	if (n > 0)
		std::memcpy (buffer, bytes.source->data () + bytes.position, n);
	bytes.position += n;
	return static_cast<int64_t> (n);
}

} // namespace

ClapHostedPlugin& ClapHostedPlugin::of (const clap_host_t* host)
{
	return *static_cast<ClapHostedPlugin*> (host->host_data);
}

const void* ClapHostedPlugin::hostExtension (const clap_host_t* host, const char* id)
{
	static const clap_host_thread_check_t threadCheck {
	    [] (const clap_host_t* h) { return std::this_thread::get_id () == of (h).mainThread && !of (h).inProcess; },
	    [] (const clap_host_t* h) { return of (h).inProcess; }};
	static const clap_host_params_t params {
	    [] (const clap_host_t* h, clap_param_rescan_flags) { ++of (h).rescans; },
	    [] (const clap_host_t*, clap_id, clap_param_clear_flags) {},
	    [] (const clap_host_t* h) { ++of (h).flushRequests; }};
	static const clap_host_timer_support_t timerSupport {
	    [] (const clap_host_t* h, uint32_t period, clap_id* id) {
		    ClapHostedPlugin& self = of (h);
		    *id = self.nextTimer++;
		    self.timers[*id] = period;
		    return true;
	    },
	    [] (const clap_host_t* h, clap_id id) { return of (h).timers.erase (id) == 1; }};
	static const clap_host_gui_t gui {
	    [] (const clap_host_t*) {},
	    [] (const clap_host_t* h, uint32_t width, uint32_t height) {
		    of (h).requestedWidth = width;
		    of (h).requestedHeight = height;
		    return true;
	    },
	    [] (const clap_host_t*) { return false; }, [] (const clap_host_t*) { return false; },
	    [] (const clap_host_t*, bool) {}};
	if (!id)
		return nullptr;
	if (std::strcmp (id, CLAP_EXT_THREAD_CHECK) == 0)
		return &threadCheck;
	if (std::strcmp (id, CLAP_EXT_PARAMS) == 0)
		return &params;
	if (std::strcmp (id, CLAP_EXT_TIMER_SUPPORT) == 0)
		return of (host).offerTimers ? &timerSupport : nullptr;
	if (std::strcmp (id, CLAP_EXT_GUI) == 0)
		return &gui;
	return nullptr;
}

ClapHostedPlugin::ClapHostedPlugin (const ClapModule& module, const char* pluginId)
: mainThread (std::this_thread::get_id ())
{
	host = clap_host_t {CLAP_VERSION_INIT, this, "kt3 test host", "KT3", "", "1", hostExtension,
	                    [] (const clap_host_t*) {}, [] (const clap_host_t*) {},
	                    [] (const clap_host_t* h) { ++of (h).callbackRequests; }};
	const clap_plugin_factory_t* factory = module.factory ();
	const clap_plugin_t* created = factory ? factory->create_plugin (factory, &host, pluginId) : nullptr;
	if (!created)
		return;
	if (!created->init (created))
	{
		created->destroy (created);
		return;
	}
	plugin = created;
}

ClapHostedPlugin::~ClapHostedPlugin ()
{
	if (!plugin)
		return;
	deactivate ();
	plugin->destroy (plugin);
}

bool ClapHostedPlugin::activate (double sampleRate, uint32_t maxFrames)
{
	if (!plugin->activate (plugin, sampleRate, 1, maxFrames))
		return false;
	active = true;
	inProcess = true;
	const bool started = plugin->start_processing (plugin);
	inProcess = false;
	return started;
}

void ClapHostedPlugin::deactivate ()
{
	if (!active)
		return;
	inProcess = true;
	plugin->stop_processing (plugin);
	inProcess = false;
	plugin->deactivate (plugin);
	active = false;
}

clap_process_status ClapHostedPlugin::process (float* in[2], float* out[2], uint32_t frames,
                                               const ClapInputEvents& events, ClapOutputEvents* output)
{
	static ClapOutputEvents discard (0);
	clap_audio_buffer_t inputs {in, nullptr, 2, 0, 0};
	clap_audio_buffer_t outputs {out, nullptr, 2, 0, 0};
	const clap_process_t call {-1, frames, nullptr, &inputs, &outputs, 1, 1, events.list (),
	                           (output ? output : &discard)->list ()};
	inProcess = true;
	const clap_process_status status = plugin->process (plugin, &call);
	inProcess = false;
	return status;
}

std::vector<uint8_t> ClapHostedPlugin::save (size_t chunk) const
{
	std::vector<uint8_t> bytes;
	ByteStream context {&bytes, nullptr, 0, chunk};
	const clap_ostream_t stream {&context, writeBytes};
	const auto* state = extension<clap_plugin_state_t> (CLAP_EXT_STATE);
	if (!state || !state->save (plugin, &stream))
		bytes.clear ();
	return bytes;
}

bool ClapHostedPlugin::load (const std::vector<uint8_t>& bytes, size_t chunk) const
{
	ByteStream context {nullptr, &bytes, 0, chunk};
	const clap_istream_t stream {&context, readBytes};
	const auto* state = extension<clap_plugin_state_t> (CLAP_EXT_STATE);
	return state && state->load (plugin, &stream);
}

void ClapHostedPlugin::runTimers ()
{
	const auto* support = extension<clap_plugin_timer_support_t> (CLAP_EXT_TIMER_SUPPORT);
	if (!support)
		return;
	const std::map<clap_id, uint32_t> due = timers;
	for (const auto& timer : due)
		support->on_timer (plugin, timer.first);
}

} // namespace kt3host
