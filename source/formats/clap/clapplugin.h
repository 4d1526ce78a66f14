// ClapPlugin: the CLAP adapter of the processor host. Each process call hands the last value of
// each parameter among its events to the processor host (plain values; the bypass as the bypass
// parameter), so that they apply from the start of the call, as a VST 3 host's last points do.
// The parameters' texts come from a controller of the plug-in's own, so they read as in every
// other format. The state is the processor's 40 bytes. The editor's edits come through a queue
// and leave as the host's output events (gesture begin, value, gesture end) from process or
// flush, whichever the host calls next after the plug-in asks it to flush.
//
// Threads, as the format assigns them: create, activate, deactivate, the parameter queries and
// texts, edit, save, load and the destructor on the host's main thread; startProcessing,
// stopProcessing, reset and process on the audio thread; flush on the audio thread while active
// (never during process), else on the main thread. Nothing on the audio thread allocates, locks
// or waits.
#pragma once

#include "clapeditqueue.h"
#include "processorhost.h"

#include "clap/events.h"
#include "clap/ext/params.h"
#include "clap/host.h"
#include "clap/process.h"
#include "clap/stream.h"

#include <atomic>
#include <memory>

namespace Steinberg {
namespace Vst {
namespace Orvix {

class ReverbController;

class ClapPlugin
{
public:
	// The parameters in the host's order: the bypass first, as the VST 3 controller lists them.
	static constexpr uint32_t kParamCount = kReverbParamCount + 1;

	// Null when the processor or the controller cannot be set up.
	static std::unique_ptr<ClapPlugin> create (const clap_host_t* host);
	~ClapPlugin ();
	ClapPlugin (const ClapPlugin&) = delete;
	ClapPlugin& operator= (const ClapPlugin&) = delete;

	// Prepares the processor for the rate and the longest block (longer calls are cut into
	// blocks of at most that, limited to the processor's longest crossfade), with the current
	// values. False for a rate that is not finite and positive or a processor that refuses it.
	bool activate (double sampleRate, uint32_t maxFrames);
	void deactivate ();
	bool startProcessing ();
	void stopProcessing ();
	// Clears the rings, as a new activation does.
	void reset ();
	// An error, touching nothing, when not active or without two 32-bit channels in and out.
	clap_process_status process (const clap_process_t& process);

	bool paramInfo (uint32_t index, clap_param_info_t& info) const;
	bool value (clap_id id, double& value) const;
	bool valueToText (clap_id id, double value, char* display, uint32_t size) const;
	bool textToValue (clap_id id, const char* display, double& value) const;
	void flush (const clap_input_events_t* in, const clap_output_events_t* out);
	// An edit from the editor, plain for a value: queued for the next process or flush, which
	// the host is asked for. False for an unknown ID or a full queue.
	bool edit (ClapEditQueue::Kind kind, clap_id id, double plain);

	// A stream that takes fewer bytes than it is offered is written to again until it refuses.
	bool save (const clap_ostream_t& stream);
	// Reads the 40 bytes; a stream that ends early or that the processor refuses changes
	// nothing and gives false.
	bool load (const clap_istream_t& stream);
	uint32_t tailSamples () const;

private:
	ClapPlugin () = default;
	// The slot of a parameter ID: 0..3 for the table's parameters, 4 for the bypass; -1 unknown.
	static int slotOf (clap_id id);
	// The last usable value of each parameter among the events: the slots that have one.
	uint32_t collectEvents (const clap_input_events_t* in, double values[kParamCount]);
	// The editor's queued edits as output events; their values added to `latest`.
	uint32_t takeEdits (const clap_output_events_t* out, double latest[kParamCount]);
	// Stores the values and hands them to the processor host for its next run.
	void applyToRun (uint32_t slots, const double values[kParamCount]);
	// The host's events, then the editor's edits, applied to the next run; the slots changed.
	uint32_t takeChanges (const clap_input_events_t* in, const clap_output_events_t* out);
	ProcessorHost::Values currentValues () const;
	const clap_host_params_t* hostParams () const;

	const clap_host_t* host = nullptr;
	std::unique_ptr<ProcessorHost> processor;
	IPtr<ReverbController> controller;
	bool active = false;
	ClapEditQueue edits;
	// The current plain values by slot, as get_value reports them; written on the audio thread.
	std::atomic<double> values[kParamCount];
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
