// The input event list of a CLAP plug-in's process and flush calls: parameter values the host
// sends, in room reserved up front, so that a process call allocates nothing.
#pragma once

#include "clap/events.h"

#include <cstdint>
#include <vector>

namespace kt3host {

class ClapInputEvents
{
public:
	explicit ClapInputEvents (size_t capacity = 64);
	// The list points at its own events: not copied.
	ClapInputEvents (const ClapInputEvents&) = delete;
	ClapInputEvents& operator= (const ClapInputEvents&) = delete;
	// A value event at `time` in the event space `space`; beyond the capacity it is dropped.
	void addValue (clap_id id, double value, uint32_t time = 0, uint16_t space = CLAP_CORE_EVENT_SPACE_ID);
	void clear () { events.clear (); }
	const clap_input_events_t* list () const { return &table; }

private:
	std::vector<clap_event_param_value_t> events;
	clap_input_events_t table;
};

} // namespace kt3host
