#include "clapplugin.h"
#include "parametertext.h"
#include "reverbcontroller.h"
#include "reverbparameters.h"

#include "clap/ext/params.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace Steinberg {
namespace Vst {
namespace Orvix {

namespace {

constexpr int kBypassSlot = kReverbParamCount;
// The processor host for state and values while no host has activated the plug-in.
constexpr double kIdleRate = 48000.0;
constexpr uint32_t kIdleBlock = 512;

// The slot's value limited to its range; false for a value that is not a number.
bool limitToRange (int slot, double& value)
{
	if (std::isnan (value))
		return false;
	if (slot == kBypassSlot)
		value = value >= 0.5 ? 1.0 : 0.0;
	else
		value = std::clamp (value, kReverbParameters[slot].minPlain, kReverbParameters[slot].maxPlain);
	return true;
}

// Calls `step` (position, bytes left) until all `size` bytes have moved through a host's stream;
// false when a call moves none, fails or claims more than it was offered.
template <typename Step>
bool moveAll (uint8_t* bytes, size_t size, Step step)
{
	for (size_t done = 0; done < size;)
	{
		const int64_t moved = step (bytes + done, size - done);
		if (moved <= 0 || static_cast<uint64_t> (moved) > size - done)
			return false;
		done += static_cast<size_t> (moved);
	}
	return true;
}

} // namespace

std::unique_ptr<ClapPlugin> ClapPlugin::create (const clap_host_t* host)
{
	std::unique_ptr<ClapPlugin> plugin (new (std::nothrow) ClapPlugin);
	if (!plugin)
		return nullptr;
	plugin->host = host;
	plugin->processor = ProcessorHost::create (kIdleRate, kIdleBlock);
	plugin->controller = owned (new (std::nothrow) ReverbController);
	if (!plugin->processor || !plugin->controller || plugin->controller->initialize (nullptr) != kResultOk)
		return nullptr;
	const ProcessorHost::Values defaults = ProcessorHost::defaults ();
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		plugin->values[i].store (defaults.plain[i]);
	plugin->values[kBypassSlot].store (0.0);
	return plugin;
}

ClapPlugin::~ClapPlugin ()
{
	if (controller)
		controller->terminate ();
}

const clap_host_params_t* ClapPlugin::hostParams () const
{
	if (!host || !host->get_extension)
		return nullptr;
	return static_cast<const clap_host_params_t*> (host->get_extension (host, CLAP_EXT_PARAMS));
}

int ClapPlugin::slotOf (clap_id id)
{
	if (id < kReverbParamCount)
		return static_cast<int> (id);
	return id == kBypassId ? kBypassSlot : -1;
}

ProcessorHost::Values ClapPlugin::currentValues () const
{
	ProcessorHost::Values current;
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		current.plain[i] = values[i].load (std::memory_order_relaxed);
	current.bypassed = values[kBypassSlot].load (std::memory_order_relaxed) >= 0.5;
	return current;
}

bool ClapPlugin::activate (double sampleRate, uint32_t maxFrames)
{
	if (!(std::isfinite (sampleRate) && sampleRate > 0.0) || active)
		return false;
	const uint32_t block = std::clamp<uint32_t> (maxFrames, 1, BaseProcessor::kMaxCrossfade);
	std::unique_ptr<ProcessorHost> prepared = ProcessorHost::create (sampleRate, block);
	if (!prepared)
		return false;
	// A new processor holds the defaults already; other values reach it as a state.
	const ProcessorHost::Values current = currentValues ();
	const ProcessorHost::Values defaults = ProcessorHost::defaults ();
	if ((current.plain != defaults.plain || current.bypassed) && !prepared->setValues (current))
		return false;
	prepared->setActive (true);
	processor = std::move (prepared);
	active = true;
	return true;
}

void ClapPlugin::deactivate ()
{
	if (!active)
		return;
	processor->setActive (false);
	active = false;
}

bool ClapPlugin::startProcessing ()
{
	return active;
}

void ClapPlugin::stopProcessing () {}

void ClapPlugin::reset ()
{
	if (active)
		processor->setActive (true);
}

uint32_t ClapPlugin::collectEvents (const clap_input_events_t* in, double latest[kParamCount])
{
	uint32_t slots = 0;
	const uint32_t count = in && in->size && in->get ? in->size (in) : 0;
	for (uint32_t i = 0; i < count; ++i)
	{
		const clap_event_header_t* header = in->get (in, i);
		if (!header || header->space_id != CLAP_CORE_EVENT_SPACE_ID || header->type != CLAP_EVENT_PARAM_VALUE ||
		    header->size < sizeof (clap_event_param_value_t))
			continue;
		const auto* event = reinterpret_cast<const clap_event_param_value_t*> (header);
		const int slot = slotOf (event->param_id);
		double value = event->value;
		if (slot < 0 || !limitToRange (slot, value))
			continue;
		latest[slot] = value;
		slots |= 1u << slot;
	}
	return slots;
}

uint32_t ClapPlugin::takeChanges (const clap_input_events_t* in, const clap_output_events_t* out)
{
	double latest[kParamCount] = {};
	uint32_t slots = collectEvents (in, latest);
	slots |= takeEdits (out, latest); // the editor's come after the host's
	applyToRun (slots, latest);
	return slots;
}

void ClapPlugin::applyToRun (uint32_t slots, const double latest[kParamCount])
{
	for (int slot = 0; slot < static_cast<int> (kParamCount); ++slot)
	{
		if (!(slots & (1u << slot)))
			continue;
		values[slot].store (latest[slot], std::memory_order_relaxed);
		if (slot == kBypassSlot)
			processor->setBypass (latest[slot] >= 0.5);
		else
			processor->setValue (static_cast<uint32_t> (slot), latest[slot]);
	}
}

clap_process_status ClapPlugin::process (const clap_process_t& call)
{
	if (!active || call.audio_inputs_count < 1 || call.audio_outputs_count < 1 || !call.audio_inputs ||
	    !call.audio_outputs)
		return CLAP_PROCESS_ERROR;
	const clap_audio_buffer_t& in = call.audio_inputs[0];
	const clap_audio_buffer_t& out = call.audio_outputs[0];
	if (!in.data32 || !out.data32 || in.channel_count < 2 || out.channel_count < 2)
		return CLAP_PROCESS_ERROR;
	takeChanges (call.in_events, call.out_events);
	const float* const inputs[2] = {in.data32[0], in.data32[1]};
	float* const outputs[2] = {out.data32[0], out.data32[1]};
	processor->run (inputs, outputs, call.frames_count);
	return CLAP_PROCESS_CONTINUE;
}

void ClapPlugin::flush (const clap_input_events_t* in, const clap_output_events_t* out)
{
	if (takeChanges (in, out) == 0)
		return;
	// Not active: no run follows to apply them, so they become the processor's state now.
	if (!active)
		processor->setValues (currentValues ());
}

bool ClapPlugin::edit (ClapEditQueue::Kind kind, clap_id id, double plain)
{
	if (slotOf (id) < 0 || !edits.push ({kind, id, plain}))
		return false;
	const clap_host_params_t* params = hostParams ();
	if (params && params->request_flush)
		params->request_flush (host);
	return true;
}

uint32_t ClapPlugin::takeEdits (const clap_output_events_t* out, double latest[kParamCount])
{
	uint32_t slots = 0;
	ClapEditQueue::Edit edit;
	while (edits.pop (edit))
	{
		const int slot = slotOf (edit.id);
		double value = edit.value;
		if (edit.kind == ClapEditQueue::Kind::value && !limitToRange (slot, value))
			continue;
		if (edit.kind == ClapEditQueue::Kind::value)
		{
			latest[slot] = value;
			slots |= 1u << slot;
		}
		if (!out || !out->try_push)
			continue;
		if (edit.kind == ClapEditQueue::Kind::value)
		{
			clap_event_param_value_t event {};
			event.header = {sizeof event, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
			event.param_id = edit.id;
			event.note_id = -1;
			event.port_index = event.channel = event.key = -1;
			event.value = value;
			out->try_push (out, &event.header);
		}
		else
		{
			const uint16_t type = edit.kind == ClapEditQueue::Kind::begin ? CLAP_EVENT_PARAM_GESTURE_BEGIN
			                                                              : CLAP_EVENT_PARAM_GESTURE_END;
			const clap_event_param_gesture_t event {{sizeof event, 0, CLAP_CORE_EVENT_SPACE_ID, type, 0}, edit.id};
			out->try_push (out, &event.header);
		}
	}
	return slots;
}

bool ClapPlugin::paramInfo (uint32_t index, clap_param_info_t& info) const
{
	if (index >= kParamCount)
		return false;
	info = clap_param_info_t {};
	if (index == 0)
	{
		info.id = kBypassId;
		info.flags = CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_BYPASS | CLAP_PARAM_IS_AUTOMATABLE;
		std::snprintf (info.name, sizeof info.name, "Bypass");
		info.max_value = 1.0;
		return true;
	}
	const ReverbParameter& p = kReverbParameters[index - 1];
	info.id = p.id;
	info.flags = CLAP_PARAM_IS_AUTOMATABLE;
	std::snprintf (info.name, sizeof info.name, "%s", p.title);
	info.min_value = p.minPlain;
	info.max_value = p.maxPlain;
	info.default_value = p.plain (p.defaultNormalized);
	return true;
}

bool ClapPlugin::value (clap_id id, double& value) const
{
	const int slot = slotOf (id);
	if (slot < 0)
		return false;
	value = values[slot].load (std::memory_order_relaxed);
	return true;
}

bool ClapPlugin::valueToText (clap_id id, double value, char* display, uint32_t size) const
{
	const Parameter* parameter = slotOf (id) >= 0 ? controller->getParameterObject (id) : nullptr;
	if (!parameter || !display || size == 0 || std::isnan (value))
		return false;
	const std::string text = textWithUnits (*parameter, parameter->toNormalized (value));
	std::snprintf (display, size, "%s", text.c_str ());
	return true;
}

bool ClapPlugin::textToValue (clap_id id, const char* display, double& value) const
{
	const Parameter* parameter = slotOf (id) >= 0 ? controller->getParameterObject (id) : nullptr;
	if (!parameter || !display)
		return false;
	// Other characters than ASCII are no part of a number or a step's name.
	String128 text {};
	for (size_t i = 0; display[i] && i + 1 < 128; ++i)
		text[i] = static_cast<unsigned char> (display[i]) < 0x80 ? display[i] : '?';
	ParamValue normalized = 0.0;
	if (!parameter->fromString (text, normalized))
		return false;
	value = parameter->toPlain (normalized);
	return true;
}

bool ClapPlugin::save (const clap_ostream_t& stream)
{
	ProcessorHost::StateBytes bytes;
	return stream.write && processor->getState (bytes) &&
	       moveAll (bytes.data (), bytes.size (),
	                [&stream] (uint8_t* at, uint64_t count) { return stream.write (&stream, at, count); });
}

bool ClapPlugin::load (const clap_istream_t& stream)
{
	ProcessorHost::StateBytes bytes;
	if (!stream.read || !moveAll (bytes.data (), bytes.size (), [&stream] (uint8_t* at, uint64_t count) {
		    return stream.read (&stream, at, count);
	    }))
		return false;
	ProcessorHost::Values restored;
	if (!processor->setState (bytes.data (), bytes.size (), &restored))
		return false;
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
		values[i].store (restored.plain[i], std::memory_order_relaxed);
	values[kBypassSlot].store (restored.bypassed ? 1.0 : 0.0, std::memory_order_relaxed);
	const clap_host_params_t* params = hostParams ();
	if (params && params->rescan)
		params->rescan (host, CLAP_PARAM_RESCAN_VALUES);
	return true;
}

uint32_t ClapPlugin::tailSamples () const
{
	return processor->tailSamples ();
}

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
