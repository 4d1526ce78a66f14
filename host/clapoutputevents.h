// The output event list of a CLAP plug-in's process and flush calls: it records what the
// plug-in pushes (values and gestures) in room reserved up front, so that a process call
// allocates nothing; pushes beyond the room are refused.
#pragma once

#include "clap/events.h"

#include <cstdint>
#include <vector>

namespace kt3host {

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
	// The list points at its own record: not copied.
	ClapOutputEvents (const ClapOutputEvents&) = delete;
	ClapOutputEvents& operator= (const ClapOutputEvents&) = delete;
	const std::vector<Event>& events () const { return recorded; }
	void clear () { recorded.clear (); }
	const clap_output_events_t* list () const { return &table; }

private:
	std::vector<Event> recorded;
	clap_output_events_t table;
};

} // namespace kt3host
