// The LV2 UI's control ports against the controller: edits written as the ports' plain values,
// the bypass as `enabled`, gestures through ui:touch, port events setting the parameters and
// hostile port events ignored.
#include "hostedcontroller.h"
#include "kt3controllerwithui.h"
#include "kt3ids.h"
#include "lv2uicontrolports.h"

#include <cmath>
#include <limits>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;

namespace {

struct Written
{
	uint32_t port;
	float value;
};

struct PortsHost
{
	static void write (LV2UI_Controller host, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
	{
		EXPECT_EQ (size, sizeof (float));
		EXPECT_EQ (format, 0u);
		static_cast<PortsHost*> (host)->written.push_back ({port, *static_cast<const float*> (buffer)});
	}
	static void touch (LV2UI_Feature_Handle host, uint32_t port, bool grabbed)
	{
		static_cast<PortsHost*> (host)->touched.push_back ({port, grabbed ? 1.f : 0.f});
	}
	void event (uint32_t port, float value, uint32_t size = sizeof (float), uint32_t format = 0)
	{
		ports->portEvent (port, size, format, &value);
	}

	HostedController<KT3ControllerWithUI> controller;
	std::vector<Written> written;
	std::vector<Written> touched;
	LV2UI_Touch touchFeature {this, touch};
	IPtr<Lv2UiControlPorts> ports = owned (new Lv2UiControlPorts (controller.edit, write, this, &touchFeature));
};

} // namespace

TEST (Lv2UiControlPorts, EditsWritePlainValuesAndEnabled)
{
	PortsHost h;
	const std::vector<std::pair<ParamID, double>> edits {
	    {0, 0.25}, {1, 1.0}, {2, 0.0}, {3, 0.75}, {kBypassId, 1.0}, {kBypassId, 0.0}};
	for (auto [id, value] : edits)
		EXPECT_EQ (h.ports->performEdit (id, value), kResultOk);
	const std::vector<std::pair<uint32_t, float>> expected {{4, 2.5f}, {5, 100.f}, {6, 0.f}, {7, 10.f}, {8, 0.f}, {8, 1.f}};
	ASSERT_EQ (h.written.size (), expected.size ());
	for (size_t i = 0; i < expected.size (); ++i)
	{
		EXPECT_EQ (h.written[i].port, expected[i].first);
		EXPECT_FLOAT_EQ (h.written[i].value, expected[i].second);
	}
	// Not a port: the program list, unknown IDs and NaN write nothing.
	EXPECT_NE (h.ports->performEdit (kPresetsId, 0.5), kResultOk);
	EXPECT_NE (h.ports->performEdit (99, 0.5), kResultOk);
	EXPECT_NE (h.ports->performEdit (0, std::nan ("")), kResultOk);
	EXPECT_EQ (h.written.size (), expected.size ());
}

TEST (Lv2UiControlPorts, GesturesGoToTouch)
{
	PortsHost h;
	h.ports->beginEdit (0);
	h.ports->endEdit (0);
	h.ports->beginEdit (kBypassId);
	ASSERT_EQ (h.touched.size (), 3u);
	EXPECT_EQ (h.touched[0].port, 4u);
	EXPECT_EQ (h.touched[0].value, 1.f);
	EXPECT_EQ (h.touched[1].value, 0.f);
	EXPECT_EQ (h.touched[2].port, 8u);
	// Without ui:touch a gesture is accepted and goes nowhere.
	Lv2UiControlPorts noTouch (h.controller.edit, PortsHost::write, &h, nullptr);
	EXPECT_EQ (noTouch.beginEdit (0), kResultOk);
	EXPECT_EQ (noTouch.endEdit (0), kResultOk);
}

TEST (Lv2UiControlPorts, PortEventsSetTheParametersClamped)
{
	PortsHost h;
	h.event (4, 2.5f);
	h.event (5, 40.f);
	h.event (6, 150.f); // clamped to 100 %
	h.event (7, -std::numeric_limits<float>::infinity ());
	EXPECT_DOUBLE_EQ (h.controller.edit->getParamNormalized (0), 0.25);
	EXPECT_NEAR (h.controller.edit->getParamNormalized (1), 0.4, 1e-7);
	EXPECT_DOUBLE_EQ (h.controller.edit->getParamNormalized (2), 1.0);
	EXPECT_DOUBLE_EQ (h.controller.edit->getParamNormalized (3), 0.0);
	h.event (8, 0.f);
	EXPECT_DOUBLE_EQ (h.controller.edit->getParamNormalized (kBypassId), 1.0);
	h.event (8, 1.f);
	EXPECT_DOUBLE_EQ (h.controller.edit->getParamNormalized (kBypassId), 0.0);
	// Setting values from the host writes nothing back.
	EXPECT_TRUE (h.written.empty ());
}

TEST (Lv2UiControlPorts, HostilePortEventsChangeNothing)
{
	PortsHost h;
	std::vector<double> before;
	for (ParamID id : {ParamID (0), ParamID (1), ParamID (2), ParamID (3), kBypassId})
		before.push_back (h.controller.edit->getParamNormalized (id));
	for (uint32_t port : {0u, 1u, 2u, 3u, 9u, 1000u, UINT32_MAX})
		h.event (port, 1.f);
	h.event (4, std::nanf (""));
	h.event (8, std::nanf (""));
	h.event (4, 1.f, 0);
	h.event (4, 1.f, 8);
	h.event (4, 1.f, sizeof (float), 1);
	h.ports->portEvent (4, sizeof (float), 0, nullptr);
	size_t i = 0;
	for (ParamID id : {ParamID (0), ParamID (1), ParamID (2), ParamID (3), kBypassId})
		EXPECT_EQ (h.controller.edit->getParamNormalized (id), before[i++]) << id;
	EXPECT_TRUE (h.written.empty ());
}
