// Build tool: writes the LV2 bundle's manifest.ttl, KT3.ttl (the plug-in and its editor) and
// presets.ttl into the folder it is given, from the parameter table, the factory preset table
// and the project's version and vendor. Usage: kt3-write-lv2-ttl BUNDLE_DIR
#include "factorypresets.h"
#include "kt3version.h"
#include "lv2ports.h"
#include "reverbparameters.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

using namespace Steinberg::Vst::Orvix;

namespace {

const char* kPrefixes =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

// A plain value as Turtle reads it back: the shortest decimal text of the double.
std::string decimal (double value)
{
	char text[32];
	for (int digits = 1; digits <= 17; ++digits)
	{
		std::snprintf (text, sizeof text, "%.*f", digits, value);
		if (std::stod (text) == value)
			break;
	}
	return text;
}

const char* unitOf (const ReverbParameter& p)
{
	switch (p.unit)
	{
		case ParameterUnit::kMetres: return "units:m";
		case ParameterUnit::kPercent: return "units:pc";
		case ParameterUnit::kDecibels: return "units:db";
	}
	throw std::logic_error (std::string ("no LV2 unit for ") + p.title);
}

std::string presetUri (int index)
{
	return "<" + std::string (kLv2PresetUriPrefix) + std::to_string (index) + ">";
}

std::string manifest ()
{
	std::ostringstream out;
	out << kPrefixes;
	out << "<" << kLv2PluginUri << ">\n\ta lv2:Plugin ;\n\tlv2:binary <KT3_dsp.so> ;\n\trdfs:seeAlso <KT3.ttl> .\n";
	for (int i = 0; i < kFactoryPresetCount; ++i)
		out << "\n" << presetUri (i) << "\n\ta pset:Preset ;\n\tlv2:appliesTo <" << kLv2PluginUri
		    << "> ;\n\trdfs:seeAlso <presets.ttl> .\n";
	return out.str ();
}

std::string audioPort (uint32_t index, bool input, const char* name)
{
	std::ostringstream out;
	out << "\t\ta lv2:AudioPort , lv2:" << (input ? "InputPort" : "OutputPort") << " ;\n\t\tlv2:index " << index
	    << " ;\n\t\tlv2:symbol \"" << kLv2PortSymbols[index] << "\" ;\n\t\tlv2:name \"" << name << "\"\n";
	return out.str ();
}

std::string plugin ()
{
	std::ostringstream out;
	out << kPrefixes;
	out << "<" << kLv2PluginUri << ">\n"
	    << "\ta lv2:ReverbPlugin , doap:Project ;\n"
	    << "\tdoap:name \"KT3\" ;\n"
	    << "\tdoap:license <http://usefulinc.com/doap/licenses/gpl> ;\n"
	    << "\tdoap:maintainer [\n\t\tfoaf:name \"" KT3_VENDOR "\" ;\n\t\tfoaf:homepage <" KT3_VENDOR_URL "> ;\n"
	    << "\t\tfoaf:mbox <mailto:" KT3_VENDOR_EMAIL ">\n\t] ;\n"
	    << "\tlv2:minorVersion " << KT3_LV2_MINOR_VERSION << " ;\n"
	    << "\tlv2:microVersion " << KT3_LV2_MICRO_VERSION << " ;\n"
	    // urid:map is optional: without it the plug-in runs, and only its state is refused.
	    << "\tlv2:optionalFeature lv2:hardRTCapable , opts:options , urid:map ;\n"
	    << "\topts:supportedOption bufsz:maxBlockLength ;\n"
	    << "\tlv2:extensionData state:interface ;\n"
	    << "\tui:ui <" << kLv2UiUri << "> ;\n"
	    << "\tlv2:port [\n"
	    << audioPort (kLv2InLeft, true, "In L") << "\t] , [\n"
	    << audioPort (kLv2InRight, true, "In R") << "\t] , [\n"
	    << audioPort (kLv2OutLeft, false, "Out L") << "\t] , [\n"
	    << audioPort (kLv2OutRight, false, "Out R");
	for (uint32_t i = 0; i < kReverbParamCount; ++i)
	{
		const ReverbParameter& p = kReverbParameters[i];
		out << "\t] , [\n\t\ta lv2:InputPort , lv2:ControlPort ;\n\t\tlv2:index " << kLv2FirstParameter + i
		    << " ;\n\t\tlv2:symbol \"" << kLv2PortSymbols[kLv2FirstParameter + i] << "\" ;\n\t\tlv2:name \""
		    << p.title << "\" ;\n\t\tlv2:default " << decimal (p.plain (p.defaultNormalized))
		    << " ;\n\t\tlv2:minimum " << decimal (p.minPlain) << " ;\n\t\tlv2:maximum " << decimal (p.maxPlain)
		    << " ;\n\t\tunits:unit " << unitOf (p) << "\n";
	}
	out << "\t] , [\n\t\ta lv2:InputPort , lv2:ControlPort ;\n\t\tlv2:index " << kLv2Enabled
	    << " ;\n\t\tlv2:symbol \"" << kLv2PortSymbols[kLv2Enabled] << "\" ;\n\t\tlv2:name \"Enabled\" ;\n"
	    << "\t\tlv2:designation lv2:enabled ;\n\t\tlv2:portProperty lv2:toggled ;\n"
	    << "\t\tlv2:default 1 ;\n\t\tlv2:minimum 0 ;\n\t\tlv2:maximum 1\n\t] .\n\n";
	out << "<" << kLv2UiUri << ">\n\ta ui:X11UI ;\n\tui:binary <KT3_ui.so> ;\n"
	    << "\tlv2:requiredFeature ui:parent ;\n"
	    // ui:scaleFactor comes through opts:options with its URIDs from urid:map, and later
	    // through opts:interface; without them the editor opens unscaled.
	    << "\tlv2:optionalFeature ui:resize , ui:touch , ui:noUserResize , opts:options , urid:map ;\n"
	    << "\topts:supportedOption ui:scaleFactor ;\n"
	    << "\tlv2:extensionData ui:idleInterface , opts:interface .\n";
	return out.str ();
}

std::string presets ()
{
	std::ostringstream out;
	out << kPrefixes;
	for (int i = 0; i < kFactoryPresetCount; ++i)
	{
		const FactoryPreset& preset = factoryPreset (i);
		out << presetUri (i) << "\n\ta pset:Preset ;\n\tlv2:appliesTo <" << kLv2PluginUri << "> ;\n\trdfs:label \""
		    << preset.name << "\" ;\n\tlv2:port ";
		for (uint32_t id = 0; id < kReverbParamCount; ++id)
		{
			// Port values are floats: the table's values must survive the narrowing.
			if (static_cast<double> (static_cast<float> (preset.plain[id])) != preset.plain[id])
				throw std::runtime_error (std::string ("a value of ") + preset.name + " is no float");
			out << (id ? " , " : "") << "[\n\t\tlv2:symbol \"" << kLv2PortSymbols[kLv2FirstParameter + id]
			    << "\" ;\n\t\tpset:value " << decimal (preset.plain[id]) << "\n\t]";
		}
		out << " .\n\n";
	}
	return out.str ();
}

bool write (const std::string& path, const std::string& text)
{
	std::ofstream file (path, std::ios::binary | std::ios::trunc);
	file << text;
	file.close ();
	if (!file)
		std::fprintf (stderr, "kt3-write-lv2-ttl: cannot write %s\n", path.c_str ());
	return static_cast<bool> (file);
}

} // namespace

int main (int argc, char** argv)
{
	if (argc != 2)
	{
		std::fprintf (stderr, "usage: kt3-write-lv2-ttl BUNDLE_DIR\n");
		return 2;
	}
	const std::string dir = argv[1];
	try
	{
		return write (dir + "/manifest.ttl", manifest ()) && write (dir + "/KT3.ttl", plugin ()) &&
		               write (dir + "/presets.ttl", presets ())
		           ? 0
		           : 1;
	}
	catch (const std::exception& e)
	{
		std::fprintf (stderr, "kt3-write-lv2-ttl: %s\n", e.what ());
		return 1;
	}
}
