// The reverb's controller as the host sees it: parameter list, conversions, units, program
// list, MIDI mapping and the activation message.
#include "hostedcontroller.h"
#include "directprocessor.h"
#include "indexedparameter.h"
#include "kt3ids.h"

#include <gtest/gtest.h>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using kt3host::toAscii;

namespace {

// The controller base alone: no program-change parameter.
class PlainController : public BaseController
{
public:
	PlainController () : BaseController (kReverbParamCount) {}
};

// The controller base with a program-change parameter of three programs and MIDI volume mapped
// to Mix.
class ProgramsController : public PlainController
{
public:
	tresult PLUGIN_API initialize (FUnknown* context) override
	{
		const tresult result = BaseController::initialize (context);
		auto* programs = new IndexedParameter (STR16 ("Program"), nullptr, 2, 0.0,
		                                       ParameterInfo::kIsProgramChange, kPresetsId, 0);
		programs->setStepName (0, STR16 ("Hall"));
		programs->setStepName (1, STR16 ("Room"));
		programs->setStepName (2, STR16 ("Plate"));
		parameters.addParameter (programs);
		midiControllerParams[kCtrlVolume] = kMixId;
		return result;
	}
};

} // namespace

TEST (ReverbController, PublishesTheRootUnitAndSixParametersInOrder)
{
	HostedController<> c;
	ASSERT_TRUE (c.edit && c.units && c.midi && c.connection);
	EXPECT_TRUE (FUnknownPtr<IEditController2> (c.edit));
	constexpr int32 kAuto = ParameterInfo::kCanAutomate;
	const struct
	{
		ParamID id;
		const char *title, *units;
		int32 stepCount;
		double defaultValue;
		int32 flags;
	} expected[] = {{kBypassId, "Bypass", "", 1, 0.0, 0x10001},
	                {kSizeId, "Size", "m", 0, 0.7, kAuto},
	                {kHFDampId, "HF Damp", "%", 0, 0.7, kAuto},
	                {kMixId, "Mix", "%", 0, 0.9, kAuto},
	                {kOutputId, "Output", "dB", 0, 0.5, kAuto},
	                {kPresetsId, "Preset", "", 7, 0.0,
	                 ParameterInfo::kIsProgramChange | ParameterInfo::kIsList}};
	ASSERT_EQ (c.edit->getParameterCount (), 6);
	ParameterInfo info {};
	for (int32 i = 0; i < 6; ++i)
	{
		ASSERT_EQ (c.edit->getParameterInfo (i, info), kResultTrue);
		EXPECT_EQ (info.id, expected[i].id);
		EXPECT_EQ (toAscii (info.title), expected[i].title);
		EXPECT_EQ (toAscii (info.shortTitle), "");
		EXPECT_EQ (toAscii (info.units), expected[i].units);
		EXPECT_EQ (info.stepCount, expected[i].stepCount);
		EXPECT_EQ (info.defaultNormalizedValue, expected[i].defaultValue);
		EXPECT_EQ (info.flags, expected[i].flags);
		EXPECT_EQ (info.unitId, kRootUnitId);
		// Before any state arrives, as a host's generic editor first shows it.
		EXPECT_EQ (c.edit->getParamNormalized (info.id), expected[i].defaultValue);
	}
	EXPECT_EQ (c.edit->getParameterInfo (6, info), kResultFalse);
	EXPECT_EQ (c.edit->getParameterInfo (-1, info), kResultFalse);
	String128 text;
	EXPECT_EQ (c.edit->getParamStringByValue (4, 0.5, text), kResultFalse);

	ASSERT_EQ (c.units->getUnitCount (), 1);
	UnitInfo unit {};
	ASSERT_EQ (c.units->getUnitInfo (0, unit), kResultTrue);
	EXPECT_EQ (unit.id, kRootUnitId);
	EXPECT_EQ (unit.parentUnitId, kNoParentUnitId);
	EXPECT_EQ (toAscii (unit.name), "Root");
	EXPECT_EQ (unit.programListId, ProgramListID (kPresetsId));
	EXPECT_EQ (c.units->getUnitInfo (1, unit), kResultFalse);
	EXPECT_EQ (c.units->getUnitInfo (-1, unit), kResultFalse);
}

TEST (ReverbController, ConvertsValuesAndTexts)
{
	HostedController<> c;
	EXPECT_EQ (c.text (kSizeId, c.edit->getParamNormalized (kSizeId)), "7.00");
	EXPECT_EQ (c.text (kOutputId, c.edit->getParamNormalized (kOutputId)), "0.00");
	EXPECT_EQ (c.text (kSizeId, 0.7), "7.00");
	EXPECT_EQ (c.text (kHFDampId, 0.7), "70.00");
	EXPECT_EQ (c.text (kMixId, 0.9), "90.00");
	EXPECT_EQ (c.text (kOutputId, 0.5), "0.00");
	EXPECT_EQ (c.text (kOutputId, 0.25), "-10.00");
	EXPECT_EQ (c.text (kBypassId, 0.49), "off");
	EXPECT_EQ (c.text (kBypassId, 0.5), "on");
	EXPECT_EQ (c.edit->normalizedParamToPlain (kOutputId, 0.25), -10.0);
	EXPECT_EQ (c.edit->plainParamToNormalized (kMixId, 45.0), 0.45);

	EXPECT_EQ (c.typed (kOutputId, "-30"), 0.0);
	EXPECT_EQ (c.typed (kSizeId, " 12 m"), 1.0);
	EXPECT_EQ (c.typed (kMixId, "45"), 0.45);
	EXPECT_EQ (c.typed (kSizeId, "abc"), -1);
	EXPECT_EQ (c.typed (kBypassId, "on"), 1.0);
	EXPECT_EQ (c.typed (kBypassId, "off"), 0.0);
	EXPECT_EQ (c.typed (kBypassId, "On"), -1);
	EXPECT_EQ (c.typed (kBypassId, "1"), 1.0);
}

TEST (ReverbController, ValuesOutsideTheRangeShowAndConvertAsTheLimitedValue)
{
	HostedController<> c;
	const double nan = std::nan (""), inf = HUGE_VAL;
	// Not a number shows the minimum.
	const struct
	{
		ParamID id;
		const char *nan, *below, *above;
	} shown[] = {{kSizeId, "0.00", "0.00", "10.00"},
	             {kHFDampId, "0.00", "0.00", "100.00"},
	             {kMixId, "0.00", "0.00", "100.00"},
	             {kOutputId, "-20.00", "-20.00", "20.00"},
	             {kBypassId, "off", "off", "on"}};
	for (const auto& p : shown)
	{
		SCOPED_TRACE (p.id);
		EXPECT_EQ (c.text (p.id, nan), p.nan);
		EXPECT_EQ (c.text (p.id, -std::nan ("")), p.nan);
		for (double below : {-0.5, -inf, -1e300})
			EXPECT_EQ (c.text (p.id, below), p.below) << below;
		for (double above : {1.5, inf, 1e300})
			EXPECT_EQ (c.text (p.id, above), p.above) << above;

		const double minimum = c.edit->normalizedParamToPlain (p.id, 0.0);
		const double maximum = c.edit->normalizedParamToPlain (p.id, 1.0);
		EXPECT_EQ (c.edit->normalizedParamToPlain (p.id, nan), minimum);
		EXPECT_EQ (c.edit->normalizedParamToPlain (p.id, -inf), minimum);
		EXPECT_EQ (c.edit->normalizedParamToPlain (p.id, -0.5), minimum);
		EXPECT_EQ (c.edit->normalizedParamToPlain (p.id, inf), maximum);
		EXPECT_EQ (c.edit->normalizedParamToPlain (p.id, 1.5), maximum);
		EXPECT_EQ (c.edit->plainParamToNormalized (p.id, nan), 0.0);
		EXPECT_EQ (c.edit->plainParamToNormalized (p.id, -inf), 0.0);
		EXPECT_EQ (c.edit->plainParamToNormalized (p.id, maximum + 1.0), 1.0);
		EXPECT_EQ (c.edit->plainParamToNormalized (p.id, inf), 1.0);
	}
}

TEST (ReverbController, SecondInitializeAddsNothingAndTerminateEmptiesTheLists)
{
	HostedController<> c;
	EXPECT_EQ (c.edit->initialize (&c.host), kResultFalse);
	EXPECT_EQ (c.edit->getParameterCount (), 6);
	EXPECT_EQ (c.units->getUnitCount (), 1);
	EXPECT_EQ (c.edit->terminate (), kResultOk);
	EXPECT_EQ (c.edit->getParameterCount (), 0);
	EXPECT_EQ (c.units->getUnitCount (), 0);
}

TEST (BaseController, ProgramListFollowsTheProgramChangeParameter)
{
	ProgramListInfo list {};
	String128 name;
	HostedController<PlainController> plain;
	EXPECT_EQ (plain.units->getProgramListCount (), 0);
	EXPECT_EQ (plain.units->getProgramListInfo (0, list), kResultFalse);
	EXPECT_EQ (plain.units->getProgramName (kPresetsId, 0, name), kResultFalse);

	HostedController<ProgramsController> c;
	ASSERT_EQ (c.units->getProgramListCount (), 1);
	ASSERT_EQ (c.units->getProgramListInfo (0, list), kResultOk);
	EXPECT_EQ (list.id, ProgramListID (kPresetsId));
	EXPECT_EQ (list.programCount, 3);
	EXPECT_EQ (toAscii (list.name), "Presets");
	EXPECT_EQ (c.units->getProgramListInfo (1, list), kResultFalse);
	ASSERT_EQ (c.units->getProgramName (kPresetsId, 1, name), kResultOk);
	EXPECT_EQ (toAscii (name), "Room");
	ASSERT_EQ (c.units->getProgramName (kPresetsId, 2, name), kResultOk);
	EXPECT_EQ (toAscii (name), "Plate");
	for (int32 beyond : {-1, 3, kMaxInt32})
		EXPECT_EQ (c.units->getProgramName (kPresetsId, beyond, name), kResultFalse) << beyond;
	EXPECT_EQ (c.units->getProgramName (kBypassId, 0, name), kResultFalse);
}

TEST (BaseController, MidiMappingAnswersOnlyAssignedControllersOnBusZero)
{
	HostedController<> reverb;
	HostedController<ProgramsController> c;
	ParamID id = 12345;
	EXPECT_EQ (reverb.midi->getMidiControllerAssignment (0, 0, kCtrlVolume, id), kResultFalse);
	const CtrlNumber unassigned[] = {-1, kPitchBend, kCountCtrlNumber};
	for (CtrlNumber number : unassigned)
		EXPECT_EQ (c.midi->getMidiControllerAssignment (0, 0, number, id), kResultFalse);
	EXPECT_EQ (c.midi->getMidiControllerAssignment (1, 0, kCtrlVolume, id), kResultFalse);
	EXPECT_EQ (id, 12345u);
	ASSERT_EQ (c.midi->getMidiControllerAssignment (0, 15, kCtrlVolume, id), kResultOk);
	EXPECT_EQ (id, ParamID (kMixId));
}

TEST (BaseController, RecordsTheSampleRateOfTheActivationMessage)
{
	HostedController<> c;
	auto message = owned (new HostMessage);
	message->setMessageID ("activated");
	EXPECT_EQ (c.connection->notify (message), kResultOk);
	EXPECT_EQ (c.object->getSampleRate (), 44100.0);
	message->setMessageID ("other");
	message->getAttributes ()->setFloat ("SampleRate", 22050.0);
	EXPECT_EQ (c.connection->notify (message), kResultFalse);
	EXPECT_EQ (c.connection->notify (nullptr), kInvalidArgument);
	EXPECT_EQ (c.object->getSampleRate (), 44100.0);

	kt3host::DirectProcessor processor ({96000.0, 512, false});
	processor.connect (c.connection);
	ASSERT_EQ (processor.component ()->setActive (true), kResultOk);
	EXPECT_EQ (c.object->getSampleRate (), 96000.0);
	processor.component ()->setActive (false);
}
