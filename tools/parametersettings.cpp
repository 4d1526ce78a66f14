#include "parametersettings.h"
#include "decimaltext.h"
#include "text16.h"

#include <algorithm>
#include <cstdio>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string displayOf (IEditController* controller, ParamID id, double normalized)
{
	String128 text {};
	controller->getParamStringByValue (id, normalized, text);
	return kt3host::toAscii (text);
}

bool findParameter (IEditController* controller, const std::string& title, ParameterInfo& info)
{
	for (int32 i = 0; i < controller->getParameterCount (); ++i)
		if (controller->getParameterInfo (i, info) == kResultOk && kt3host::toAscii (info.title) == title)
			return true;
	return false;
}

std::string titles (IEditController* controller)
{
	std::string list;
	ParameterInfo info;
	for (int32 i = 0; i < controller->getParameterCount (); ++i)
		if (controller->getParameterInfo (i, info) == kResultOk)
			list += (list.empty () ? "" : ", ") + kt3host::toAscii (info.title);
	return list;
}

bool resolveSwitch (const std::string& title, const std::string& text, ParameterSetting& setting, std::string& error)
{
	if (text != "on" && text != "off")
	{
		error = title + " takes on or off, not '" + text + "'";
		return false;
	}
	setting.normalized = text == "on" ? 1.0 : 0.0;
	return true;
}

// A parameter of named steps (such as a preset list) takes a step's name as displayed.
bool isList (IEditController* controller, const ParameterInfo& info)
{
	double number = 0;
	std::string why;
	return info.stepCount > 1 && !parseDecimal (displayOf (controller, info.id, 0.0), "", number, why);
}

bool resolveStepName (IEditController* controller, const ParameterInfo& info, const std::string& text,
                      ParameterSetting& setting, std::string& error)
{
	std::string names;
	for (int32 step = 0; step <= info.stepCount; ++step)
	{
		const double normalized = double (step) / info.stepCount;
		const std::string name = displayOf (controller, info.id, normalized);
		if (name == text)
		{
			setting.normalized = normalized;
			return true;
		}
		names += (step ? ", " : "") + name;
	}
	error = kt3host::toAscii (info.title) + " takes one of " + names + ", not '" + text + "'";
	return false;
}

bool resolveNumber (IEditController* controller, const ParameterInfo& info, const std::string& text, bool clamp,
                    ParameterSetting& setting, std::vector<std::string>& warnings, std::string& error)
{
	const std::string title = kt3host::toAscii (info.title), units = kt3host::toAscii (info.units);
	double value = 0, lowest = 0, highest = 0;
	std::string why;
	if (!parseDecimal (text, units, value, why))
	{
		error = title + ": " + why;
		return false;
	}
	if (!parseDecimal (displayOf (controller, info.id, 0.0), "", lowest, why) ||
	    !parseDecimal (displayOf (controller, info.id, 1.0), "", highest, why))
	{
		error = title + ": " + why;
		return false;
	}
	const std::string range = displayOf (controller, info.id, 0.0) + " to " + displayOf (controller, info.id, 1.0) +
	                          (units.empty () ? "" : " " + units);
	const bool outOfRange = value < lowest || value > highest;
	if (outOfRange && !clamp)
	{
		error = title + "=" + text + " is out of range: " + title + " takes " + range;
		return false;
	}
	value = std::clamp (value, lowest, highest);
	char plain[64];
	std::snprintf (plain, sizeof plain, "%.17g", value);
	String128 text16;
	kt3host::toString16 (plain, text16, 128);
	if (controller->getParamValueByString (info.id, text16, setting.normalized) != kResultOk)
	{
		error = "'" + text + "' is not a value for " + title;
		return false;
	}
	if (outOfRange)
		warnings.push_back (title + "=" + text + " is out of range (" + range + "); using " +
		                    displayWithUnits (controller, info.id, setting.normalized));
	return true;
}

} // namespace

bool resolveSettings (IEditController* controller, const std::vector<std::pair<std::string, std::string>>& texts,
                      bool clamp, std::vector<ParameterSetting>& settings, std::vector<std::string>& warnings,
                      std::string& error)
{
	for (const auto& [title, text] : texts)
	{
		ParameterInfo info;
		if (!findParameter (controller, title, info))
		{
			error = "no parameter '" + title + "'; the parameters are " + titles (controller);
			return false;
		}
		ParameterSetting setting;
		setting.id = info.id;
		const bool resolved = info.stepCount == 1          ? resolveSwitch (title, text, setting, error)
		                      : isList (controller, info) ? resolveStepName (controller, info, text, setting, error)
		                                                  : resolveNumber (controller, info, text, clamp, setting, warnings, error);
		if (!resolved)
			return false;
		settings.push_back (setting);
	}
	return true;
}

std::string displayWithUnits (IEditController* controller, ParamID id, double normalized)
{
	ParameterInfo info;
	for (int32 i = 0; i < controller->getParameterCount (); ++i)
		if (controller->getParameterInfo (i, info) == kResultOk && info.id == id)
		{
			const std::string units = kt3host::toAscii (info.units);
			return displayOf (controller, id, normalized) + (units.empty () ? "" : " " + units);
		}
	return displayOf (controller, id, normalized);
}

std::string parameterTable (IEditController* controller)
{
	std::string table;
	for (int32 i = 0; i < controller->getParameterCount (); ++i)
	{
		ParameterInfo info;
		if (controller->getParameterInfo (i, info) != kResultOk)
			continue;
		const std::string units = kt3host::toAscii (info.units);
		table += "  " + kt3host::toAscii (info.title) + ": " + displayOf (controller, info.id, 0.0) + " to " +
		         displayOf (controller, info.id, 1.0) + (units.empty () ? "" : " " + units) + " (default " +
		         displayOf (controller, info.id, info.defaultNormalizedValue) + ")\n";
	}
	return table;
}
