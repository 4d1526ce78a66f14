// Lv2ParameterChanges: the parameter changes of one LV2 run, as the processor reads them from
// a host's process call. One point per parameter at offset 0, in fixed storage: filling and
// reading them allocates nothing. Lives inside the adapter: reference counting is a no-op.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace Steinberg {
namespace Vst {
namespace Orvix {

class Lv2ParameterChanges final : public IParameterChanges
{
public:
	static constexpr int32 kCapacity = 8;

	// Sets the value of `id` for this run (a later value of the same ID replaces it); changes
	// beyond the capacity are dropped.
	void add (ParamID id, ParamValue value);
	void clear () { used = 0; }

	int32 PLUGIN_API getParameterCount () override { return used; }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override;
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID& id, int32& index) override;

	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override;
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

private:
	// One parameter's single point at the start of the run.
	class Queue final : public IParamValueQueue
	{
	public:
		ParamID PLUGIN_API getParameterId () override { return id; }
		int32 PLUGIN_API getPointCount () override { return 1; }
		tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& point) override;
		tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue point, int32& index) override;

		tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override;
		uint32 PLUGIN_API addRef () override { return 1; }
		uint32 PLUGIN_API release () override { return 1; }

		ParamID id = 0;
		ParamValue value = 0.0;
	};

	Queue queues[kCapacity];
	int32 used = 0;
};

} // namespace Orvix
} // namespace Vst
} // namespace Steinberg
