// The parameter classes: values, display texts and typed-in texts, also under a host locale
// whose decimal separator is a comma.
#include "baseparameter.h"
#include "indexedparameter.h"
#include "scaledparameter.h"
#include "text16.h"

#include "pluginterfaces/base/ustring.h"
#include <gtest/gtest.h>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Orvix;
using kt3host::toAscii;

namespace {

constexpr int32 kAutomate = ParameterInfo::kCanAutomate;

std::string shown (const Parameter& p, double normalized)
{
	String128 text;
	p.toString (normalized, text);
	return toAscii (text);
}

// The normalised value that a typed-in text gives, or nothing when it is refused, in which
// case the output must be left alone.
std::optional<double> typed (const Parameter& p, const std::string& text)
{
	constexpr double kUntouched = -123.0;
	double value = kUntouched;
	if (p.fromString (UString128 (text.c_str ()), value))
		return value;
	EXPECT_EQ (value, kUntouched) << text;
	return std::nullopt;
}

IndexedParameter onOff ()
{
	IndexedParameter p (u"Bypass", nullptr, 1, 0.0, kAutomate, 7, 0);
	p.setStepName (0, u"off");
	p.setStepName (1, u"on");
	return p;
}

} // namespace

TEST (Parameters, StartAtZeroWithTheirInfoAndCutLongTitles)
{
	const std::string longTitle (200, 'x');
	BaseParameter base (UString256 (longTitle.c_str ()), nullptr, 3, 0.25, 0x10001, 42, 5);
	const ParameterInfo& info = base.getInfo ();
	EXPECT_EQ (toAscii (info.title), std::string (127, 'x'));
	EXPECT_EQ (toAscii (info.units), "");
	EXPECT_EQ (toAscii (info.shortTitle), "");
	EXPECT_EQ (info.stepCount, 3);
	EXPECT_EQ (info.defaultNormalizedValue, 0.25);
	EXPECT_EQ (info.flags, 0x10001);
	EXPECT_EQ (info.id, 42u);
	EXPECT_EQ (info.unitId, 5);
	EXPECT_EQ (base.getNormalized (), 0.0);
	EXPECT_EQ (base.getPrecision (), 4);

	ScaledParameter scaled (u"Mix", u"%", 0, 0.9, kAutomate, 2, 0, 100, false, 0);
	EXPECT_EQ (toAscii (scaled.getInfo ().units), "%");
	EXPECT_EQ (scaled.getNormalized (), 0.0);
	EXPECT_EQ (scaled.getPrecision (), 2);
	EXPECT_EQ (onOff ().getNormalized (), 0.0);
}

TEST (Parameters, SetNormalizedClampsAndRefusesNotANumber)
{
	ScaledParameter p (u"Size", u"m", 0, 0.7, kAutomate, 0, 0, 10, false, 0);
	EXPECT_TRUE (p.setNormalized (0.4));
	EXPECT_FALSE (p.setNormalized (std::nan ("")));
	EXPECT_EQ (p.getNormalized (), 0.4);
	EXPECT_TRUE (p.setNormalized (7.0));
	EXPECT_EQ (p.getNormalized (), 1.0);
	EXPECT_FALSE (p.setNormalized (1.0));
}

TEST (BaseParameter, SwitchTextsPrecisionAndClampedNumbers)
{
	BaseParameter toggle (u"T", nullptr, 1, 0.0, kAutomate, 1, 0);
	EXPECT_EQ (shown (toggle, 0.51), "On");
	EXPECT_EQ (shown (toggle, 0.5), "Off");
	BaseParameter plain (u"P", nullptr, 0, 0.0, kAutomate, 2, 0);
	EXPECT_EQ (shown (plain, 0.25), "0.2500");
	EXPECT_EQ (typed (plain, "1.5"), 1.0);
	EXPECT_EQ (typed (plain, "-3"), 0.0);
	EXPECT_EQ (typed (plain, "\t 0.5x"), 0.5);
	EXPECT_EQ (typed (plain, ""), std::nullopt);
}

TEST (ScaledParameter, PrintsThePlainValueAndClampsTypedNumbers)
{
	ScaledParameter output (u"Output", u"dB", 0, 0.5, kAutomate, 3, -20, 20, false, 0);
	EXPECT_EQ (shown (output, 0.5), "0.00");
	EXPECT_EQ (shown (output, 0.0), "-20.00");
	EXPECT_EQ (shown (output, 1.0), "20.00");
	EXPECT_EQ (output.toPlain (0.25), -10.0);
	EXPECT_EQ (output.toNormalized (10.0), 0.75);
	EXPECT_EQ (typed (output, "25"), 1.0);
	EXPECT_EQ (typed (output, "-25"), 0.0);
	EXPECT_EQ (typed (output, "  12 dB"), 0.8);
	EXPECT_EQ (typed (output, "abc"), std::nullopt);
}

TEST (ScaledParameter, WholeNumberDisplayCutsTowardZeroAndSaturates)
{
	ScaledParameter tenths (u"N", nullptr, 0, 0.0, kAutomate, 0, 0, 10, true, 0);
	EXPECT_EQ (shown (tenths, 0.77), "7");
	ScaledParameter symmetric (u"N", nullptr, 0, 0.0, kAutomate, 0, -10, 10, true, 0);
	EXPECT_EQ (shown (symmetric, 0.115), "-7");
	EXPECT_EQ (shown (symmetric, 1e300), "9223372036854775807");
	EXPECT_EQ (shown (symmetric, std::nan ("")), "0");
}

TEST (Parameters, TypedNumbersThatAreNotFiniteAreRefused)
{
	const BaseParameter base (u"B", nullptr, 0, 0.0, kAutomate, 0, 0);
	const ScaledParameter scaled (u"S", nullptr, 0, 0.0, kAutomate, 0, -20, 20, false, 0);
	const IndexedParameter indexed = onOff ();
	const Parameter* all[] = {&base, &scaled, &indexed};
	for (const Parameter* p : all)
		for (const char* text : {"nan", "-nan(1)", "inf", "-infinity"})
			EXPECT_EQ (typed (*p, text), std::nullopt) << text;
	// Out of the double range; a step reads a whole number only, so "1e999" is step 1 there.
	for (const Parameter* p : {all[0], all[1]})
		for (const char* text : {"1e999", "-1e999"})
			EXPECT_EQ (typed (*p, text), std::nullopt) << text;
	EXPECT_EQ (typed (indexed, "1e999"), 1.0);
}

TEST (IndexedParameter, StepTextsAndWholeNumbers)
{
	const IndexedParameter p = onOff ();
	for (double v : {0.0, 0.49, -0.5, -1e300, std::nan ("")})
		EXPECT_EQ (shown (p, v), "off") << v;
	for (double v : {0.5, 1.0, 3.0})
		EXPECT_EQ (shown (p, v), "on") << v;
	EXPECT_DOUBLE_EQ (p.toPlain (0.3), 0.6);
	EXPECT_EQ (typed (p, "on"), 1.0);
	EXPECT_EQ (typed (p, "off"), 0.0);
	EXPECT_EQ (typed (p, "1"), 1.0);
	EXPECT_EQ (typed (p, " 0"), 0.0);
	for (const char* refused : {"2", "On", "-1", "", "x", "99999999999999999999"})
		EXPECT_EQ (typed (p, refused), std::nullopt) << refused;
}

TEST (IndexedParameter, StepNamesAreCopiedUpToTheirTerminatorWithinTheSteps)
{
	IndexedParameter p = onOff ();
	// A short text on the heap: copying beyond its terminator would read outside it.
	auto* shortText = new TChar[3] {u'y', u'e', 0};
	p.setStepName (1, shortText);
	delete[] shortText;
	EXPECT_EQ (shown (p, 1.0), "ye");

	p.setStepName (0, UString256 (std::string (200, 'z').c_str ()));
	EXPECT_EQ (shown (p, 0.0), std::string (127, 'z'));
	p.setStepName (-1, u"bad");
	p.setStepName (2, u"bad");
	p.setStepName (1, nullptr);
	EXPECT_EQ (shown (p, 1.0), "ye");
}

namespace {

// Sets a locale whose decimal separator is a comma for the life of the object. When none is
// installed, one is generated with localedef into a temporary directory.
class DecimalCommaLocale
{
public:
	DecimalCommaLocale ()
	{
		if (tryNames ())
			return;
		const std::string dir = testing::TempDir () + "kt3-locales";
		setenv ("LOCPATH", dir.c_str (), 1);
		if (tryNames ())
			return;
		const std::string command = "mkdir -p '" + dir + "' && localedef -i de_DE -f UTF-8 '" +
		                            dir + "/de_DE.UTF-8' >/dev/null 2>&1";
		if (std::system (command.c_str ()) != -1)
			tryNames ();
	}
	~DecimalCommaLocale () { std::setlocale (LC_ALL, "C"); }
	bool active () const { return isActive; }

private:
	bool tryNames ()
	{
		for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"})
			if (std::setlocale (LC_ALL, name) && *std::localeconv ()->decimal_point == ',')
				return isActive = true;
		std::setlocale (LC_ALL, "C");
		return false;
	}
	bool isActive = false;
};

} // namespace

TEST (NumberTexts, IgnoreTheProcessLocale)
{
	DecimalCommaLocale locale;
	if (!locale.active ())
		GTEST_SKIP () << "no decimal-comma locale available";
	const ScaledParameter size (u"Size", u"m", 0, 0.7, kAutomate, 0, 0, 10, false, 0);
	const BaseParameter base (u"B", nullptr, 0, 0.0, kAutomate, 0, 0);
	EXPECT_EQ (shown (size, 0.7), "7.00");
	EXPECT_EQ (shown (base, 0.25), "0.2500");
	EXPECT_DOUBLE_EQ (typed (size, "7.25").value_or (-1), 0.725);
	EXPECT_DOUBLE_EQ (typed (size, "1,5").value_or (-1), 0.1);
}
