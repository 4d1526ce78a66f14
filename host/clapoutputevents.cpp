#include "clapoutputevents.h"

namespace kt3host {

namespace {

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

ClapOutputEvents::ClapOutputEvents (size_t capacity)
{
	recorded.reserve (capacity);
	table = {&recorded, pushOutput};
}

} // namespace kt3host
