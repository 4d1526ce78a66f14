// The parameter classes' own rules: not-a-number input, whole-number and step display, step
// names, and number texts under a host locale whose decimal separator is a comma.
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
const double kNaN = std::nan ("");

std::string shown (const Parameter& p, double normalized)
{
	String128 text;
	p.toString (normalized, text);
	return toAscii (text);
}

// The normalised value of a typed-in text, or nothing when it is refused; a refusal must
// leave the output alone.
std::optional<double> typed (const Parameter& p, const std::string& text)
{
	double value = -123.0;
	if (p.fromString (UString256 (text.c_str ()), value))
		return value;
	EXPECT_EQ (value, -123.0) << text;
	return std::nullopt;
}

IndexedParameter onOff ()
{
	IndexedParameter p (STR16 ("Bypass"), nullptr, 1, 0.0, kAutomate, 7, 0);
	p.setStepName (0, STR16 ("off"));
	p.setStepName (1, STR16 ("on"));
	return p;
}

} // namespace

TEST (Parameters, LongTitlesAreCutStartAtTheDefaultAndNeverStoreNotANumber)
{
	const UString256 longTitle (std::string (200, 'x').c_str ());
	BaseParameter p (longTitle, nullptr, 0, 0.5, kAutomate, 1, 0);
	EXPECT_EQ (toAscii (p.getInfo ().title), std::string (127, 'x'));
	EXPECT_EQ (p.getNormalized (), 0.5);
	EXPECT_EQ (ScaledParameter (STR16 ("S"), nullptr, 0, 0.7, kAutomate, 0, 0, 10, false, 0).getNormalized (), 0.7);
	EXPECT_EQ (onOff ().getNormalized (), 0.0);
	EXPECT_TRUE (p.setNormalized (0.4));
	EXPECT_FALSE (p.setNormalized (kNaN));
	EXPECT_EQ (p.getNormalized (), 0.4);
}

TEST (Parameters, SwitchNumberAndWholeNumberTexts)
{
	const BaseParameter toggle (STR16 ("T"), nullptr, 1, 0.0, kAutomate, 1, 0);
	EXPECT_EQ (shown (toggle, 0.51), "On");
	EXPECT_EQ (shown (toggle, 0.5), "Off");
	const BaseParameter plain (STR16 ("P"), nullptr, 0, 0.0, kAutomate, 2, 0);
	EXPECT_EQ (shown (plain, 0.25), "0.2500");
	EXPECT_EQ (typed (plain, "1.5"), 1.0);
	EXPECT_EQ (typed (plain, "\t-3 x"), 0.0);

	const ScaledParameter tenths (STR16 ("N"), nullptr, 0, 0.0, kAutomate, 0, 0, 10, true, 0);
	EXPECT_EQ (shown (tenths, 0.77), "7");
	const ScaledParameter symmetric (STR16 ("N"), nullptr, 0, 0.0, kAutomate, 0, -10, 10, true, 0);
	EXPECT_EQ (shown (symmetric, 0.115), "-7");
	EXPECT_EQ (shown (symmetric, 1e300), "10");
	EXPECT_EQ (shown (symmetric, kNaN), "-10");
	EXPECT_EQ (shown (plain, -HUGE_VAL), "0.0000");
	EXPECT_EQ (shown (plain, kNaN), "0.0000");
	EXPECT_EQ (shown (toggle, HUGE_VAL), "On");
}

TEST (Parameters, ConversionsStayWithinTheRangeWhateverTheyAreGiven)
{
	const BaseParameter base (STR16 ("B"), nullptr, 0, 0.0, kAutomate, 0, 0);
	const ScaledParameter scaled (STR16 ("S"), nullptr, 0, 0.0, kAutomate, 0, -20, 20, false, 0);
	const ScaledParameter empty (STR16 ("E"), nullptr, 0, 0.0, kAutomate, 0, 5, 5, false, 0);
	const IndexedParameter indexed = onOff ();
	const IndexedParameter single (STR16 ("One"), nullptr, 0, 0.0, kAutomate, 0, 0);
	const Parameter* all[] = {&base, &scaled, &empty, &indexed, &single};
	for (const Parameter* p : all)
	{
		SCOPED_TRACE (toAscii (p->getInfo ().title));
		const double low = p->toPlain (0.0), high = p->toPlain (1.0);
		for (double v : {kNaN, -HUGE_VAL, -1e300, -0.5, 1.5, 1e300, HUGE_VAL})
		{
			const double plain = p->toPlain (v);
			EXPECT_TRUE (plain == (v > 0.0 ? high : low)) << v << " gives " << plain;
			const double normalized = p->toNormalized (v);
			EXPECT_TRUE (normalized >= 0.0 && normalized <= 1.0) << v << " gives " << normalized;
		}
	}
	// A range of one point and a single step read their one value as 0, not 0 / 0.
	EXPECT_EQ (typed (empty, "5"), 0.0);
	EXPECT_EQ (typed (single, "0"), 0.0);
}

TEST (Parameters, TypedNumbersThatAreNotFiniteAreRefused)
{
	const BaseParameter base (STR16 ("B"), nullptr, 0, 0.0, kAutomate, 0, 0);
	const ScaledParameter scaled (STR16 ("S"), nullptr, 0, 0.0, kAutomate, 0, -20, 20, false, 0);
	const IndexedParameter indexed = onOff ();
	const Parameter* all[] = {&base, &scaled, &indexed};
	for (const Parameter* p : all)
		for (const char* text : {"nan", "-nan(1)", "inf", "-infinity"})
			EXPECT_EQ (typed (*p, text), std::nullopt) << text;
	for (const char* text : {"1e999", "-1e999"})
		EXPECT_EQ (typed (scaled, text), std::nullopt) << text;
	// A step reads a whole number only, which ends before the exponent.
	EXPECT_EQ (typed (indexed, "1e999"), 1.0);
}

TEST (IndexedParameter, ValuesAndNumbersOutsideTheSteps)
{
	const IndexedParameter p = onOff ();
	for (double v : {0.49, -0.5, -1e300, kNaN})
		EXPECT_EQ (shown (p, v), "off") << v;
	EXPECT_EQ (shown (p, 3.0), "on");
	EXPECT_DOUBLE_EQ (p.toPlain (0.3), 0.6);
	EXPECT_EQ (typed (p, " 1"), 1.0);
	EXPECT_EQ (typed (p, "0"), 0.0);
	for (const char* refused : {"2", "-1", "", "99999999999999999999"})
		EXPECT_EQ (typed (p, refused), std::nullopt) << refused;
}

TEST (IndexedParameter, StepNamesAreCopiedUpToTheirTerminatorWithinTheSteps)
{
	IndexedParameter p = onOff ();
	// A short text on the heap: copying beyond its terminator would read outside it.
	auto* shortText = new TChar[3] {u'y', u'e', 0};
	p.setStepName (1, shortText);
	delete[] shortText;
	p.setStepName (0, UString256 (std::string (200, 'z').c_str ()));
	for (int32 outside : {-1, 2})
		p.setStepName (outside, STR16 ("bad"));
	EXPECT_EQ (shown (p, 0.0), std::string (127, 'z'));
	EXPECT_EQ (shown (p, 1.0), "ye");
}

namespace {

// Sets a locale with a decimal comma; on Linux, when none is installed, generates one with
// localedef.
bool setDecimalCommaLocale ()
{
	const auto tryNames = [] {
		for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "de-DE", "German_Germany.1252"})
			if (std::setlocale (LC_ALL, name) && *std::localeconv ()->decimal_point == ',')
				return true;
		return false;
	};
	if (tryNames ())
		return true;
#if defined(_WIN32)
	return false;
#else
	const std::string dir = testing::TempDir () + "kt3-locales";
	setenv ("LOCPATH", dir.c_str (), 1);
	const std::string generate = "mkdir -p '" + dir + "' && localedef -i de_DE -f UTF-8 '" + dir +
	                             "/de_DE.UTF-8' >/dev/null 2>&1";
	return tryNames () || (std::system (generate.c_str ()) != -1 && tryNames ());
#endif
}

} // namespace

TEST (NumberTexts, IgnoreTheProcessLocale)
{
	if (!setDecimalCommaLocale ())
		GTEST_SKIP () << "no decimal-comma locale available";
	const ScaledParameter size (STR16 ("Size"), STR16 ("m"), 0, 0.7, kAutomate, 0, 0, 10, false, 0);
	const BaseParameter base (STR16 ("B"), nullptr, 0, 0.0, kAutomate, 0, 0);
	EXPECT_EQ (shown (size, 0.7), "7.00");
	EXPECT_EQ (shown (base, 0.25), "0.2500");
	EXPECT_DOUBLE_EQ (typed (size, "7.25").value_or (-1), 0.725);
	EXPECT_DOUBLE_EQ (typed (size, "1,5").value_or (-1), 0.1);
	std::setlocale (LC_ALL, "C");
}
