// An LV2 host for tests: the build's bundle loaded into a lilv world, a URID map, and the
// plug-in instantiated with those features, its ports connected to buffers this object owns.
#pragma once

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

namespace kt3host {

// Interns URIs as URIDs from 1; main thread only.
class UridMap
{
public:
	UridMap ();
	LV2_URID map (const char* uri);
	LV2_URID_Map* feature () { return &lv2Map; }

private:
	std::map<std::string, LV2_URID> ids;
	LV2_URID_Map lv2Map;
};

// A lilv world holding one bundle folder and the system's core LV2 vocabulary.
class Lv2World
{
public:
	explicit Lv2World (const std::string& bundle);
	~Lv2World ();
	Lv2World (const Lv2World&) = delete;
	Lv2World& operator= (const Lv2World&) = delete;

	LilvWorld* world () const { return lilvWorld; }
	// The plug-in with this URI, or null.
	const LilvPlugin* plugin (const char* uri) const;

private:
	LilvWorld* lilvWorld;
};

class Lv2Instance
{
public:
	// maxBlock > 0 passes bufsz:maxBlockLength through opt:options.
	Lv2Instance (const LilvPlugin* plugin, double rate, int maxBlock = 0, bool withMap = true);
	~Lv2Instance ();
	Lv2Instance (const Lv2Instance&) = delete;
	Lv2Instance& operator= (const Lv2Instance&) = delete;

	bool ready () const { return instance != nullptr; }
	LilvInstance* get () const { return instance; }
	UridMap& urids () { return uridMap; }

	// The control port values the next run sees, by port index.
	float& control (unsigned port) { return controls[port]; }
	// Audio buffers of at least `frames` frames, connected to ports 0..3.
	void resize (size_t frames);
	float* audio (unsigned port) { return buffers[port].data (); }
	void run (unsigned frames) { lilv_instance_run (instance, frames); }

private:
	UridMap uridMap;
	LilvInstance* instance = nullptr;
	int blockLength = 0;
	std::vector<float> buffers[4];
	float controls[9] = {0, 0, 0, 0, 7.0f, 70.0f, 90.0f, 0.0f, 1.0f};
};

} // namespace kt3host
