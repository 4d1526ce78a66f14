#include "clapevents.h"

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

bool pushOutput (const clap_output_events_t* list, const clap_event_header_t* header)
{
	auto& recorded = *static_cast<std::vector<ClapOutputEvents::Event>*> (list->ctx);
	if (!header || recorded.size () == recorded.capacity ())
		return false;
	if (header->type == CLAP_EVENT_PARAM_VALUE && header->size >= sizeof (clap_event_param_value_t))
	{
		const auto* event = reinterpret_cast<const clap_event_param_value_t*> (header);
		recorded.push_back ({header->type, event->param_id, event->value});
	}
	else if ((header->type == CLAP_EVENT_PARAM_GESTURE_BEGIN || header->type == CLAP_EVENT_PARAM_GESTURE_END) &&
	         header->size >= sizeof (clap_event_param_gesture_t))
		recorded.push_back ({header->type, reinterpret_cast<const clap_event_param_gesture_t*> (header)->param_id, 0.0});
	else
		recorded.push_back ({header->type, CLAP_INVALID_ID, 0.0});
	return true;
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

ClapOutputEvents::ClapOutputEvents (size_t capacity)
{
	recorded.reserve (capacity);
	table = {&recorded, pushOutput};
}

} // namespace kt3host
