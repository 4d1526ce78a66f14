// Event lists for a CLAP plug-in's process and flush calls: the input list the host fills with
// parameter values, and the output list that records what the plug-in pushes (values and
// gestures). Both reserve their room up front, so that a process call allocates nothing.
#pragma once

#include "clap/events.h"

#include <cstdint>
#include <vector>

namespace kt3host {

class ClapInputEvents
{
public:
	explicit ClapInputEvents (size_t capacity = 64);
	// A value event at `time` in the event space `space`; beyond the capacity it is dropped.
	void addValue (clap_id id, double value, uint32_t time = 0, uint16_t space = CLAP_CORE_EVENT_SPACE_ID);
	void clear () { events.clear (); }
	const clap_input_events_t* list () const { return &table; }

private:
	std::vector<clap_event_param_value_t> events;
	clap_input_events_t table;
};

class ClapOutputEvents
{
public:
	struct Event
	{
		uint16_t type;
		clap_id id;
		double value; // for value events
	};

	explicit ClapOutputEvents (size_t capacity = 64);
	const std::vector<Event>& events () const { return recorded; }
	void clear () { recorded.clear (); }
	const clap_output_events_t* list () const { return &table; }

private:
	std::vector<Event> recorded;
	clap_output_events_t table;
};

} // namespace kt3host
