#include "clapinputevents.h"

namespace kt3host {

namespace {

uint32_t inputSize (const clap_input_events_t* list)
{
	return static_cast<uint32_t> (static_cast<const std::vector<clap_event_param_value_t>*> (list->ctx)->size ());
}

const clap_event_header_t* inputAt (const clap_input_events_t* list, uint32_t index)
{
	const auto& events = *static_cast<const std::vector<clap_event_param_value_t>*> (list->ctx);
	return index < events.size () ? &events[index].header : nullptr;
}

} // namespace

ClapInputEvents::ClapInputEvents (size_t capacity)
{
	events.reserve (capacity);
	table = {&events, inputSize, inputAt};
}

void ClapInputEvents::addValue (clap_id id, double value, uint32_t time, uint16_t space)
{
	if (events.size () == events.capacity ())
		return;
	clap_event_param_value_t event {};
	event.header = {sizeof event, time, space, CLAP_EVENT_PARAM_VALUE, 0};
	event.param_id = id;
	event.note_id = -1;
	event.port_index = event.channel = event.key = -1;
	event.value = value;
	events.push_back (event);
}

} // namespace kt3host
