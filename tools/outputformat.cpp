#include "outputformat.h"

#include <sndfile.h>
#include <algorithm>
#include <cctype>
#include <vector>

namespace {

struct Container
{
	std::string extension;
	int major = 0;
	std::string name;
};

int formatCount (int command)
{
	int count = 0;
	sf_command (nullptr, command, &count, sizeof count);
	return count;
}

SF_FORMAT_INFO formatInfo (int command, int index)
{
	SF_FORMAT_INFO info {};
	info.format = index;
	sf_command (nullptr, command, &info, sizeof info);
	return info;
}

bool writable (int format)
{
	SF_INFO info {};
	info.samplerate = 48000;
	info.channels = 2;
	info.format = format;
	return sf_format_check (&info) != 0;
}

// The containers libsndfile can write, by extension (the first of those sharing one), with
// .aif and .ogg as the usual names of AIFF and OGG. RAW is left out: it has no header to read
// the output back by.
const std::vector<Container>& containers ()
{
	static const std::vector<Container> list = [] {
		std::vector<Container> found;
		auto add = [&] (const std::string& extension, int major, const std::string& name) {
			for (const auto& c : found)
				if (c.extension == extension)
					return;
			found.push_back ({extension, major, name});
		};
		for (int i = 0; i < formatCount (SFC_GET_FORMAT_MAJOR_COUNT); ++i)
		{
			const SF_FORMAT_INFO major = formatInfo (SFC_GET_FORMAT_MAJOR, i);
			if (major.format == SF_FORMAT_RAW)
				continue;
			const std::string name = major.name, extension = major.extension;
			add (extension, major.format, name);
			if (major.format == SF_FORMAT_AIFF)
				add ("aif", major.format, name);
			if (major.format == SF_FORMAT_OGG)
				add ("ogg", major.format, name);
		}
		std::sort (found.begin (), found.end (), [] (const Container& a, const Container& b) { return a.extension < b.extension; });
		return found;
	}();
	return list;
}

// The container's default subtype: float, 24-bit, 16-bit, else the first it can write.
int defaultSubtype (int major)
{
	for (int subtype : {SF_FORMAT_FLOAT, SF_FORMAT_PCM_24, SF_FORMAT_PCM_16})
		if (writable (major | subtype))
			return subtype;
	for (int i = 0; i < formatCount (SFC_GET_FORMAT_SUBTYPE_COUNT); ++i)
	{
		const int subtype = formatInfo (SFC_GET_FORMAT_SUBTYPE, i).format;
		if (writable (major | subtype))
			return subtype;
	}
	return 0;
}

std::string subtypeName (int subtype)
{
	for (int i = 0; i < formatCount (SFC_GET_FORMAT_SUBTYPE_COUNT); ++i)
	{
		const SF_FORMAT_INFO info = formatInfo (SFC_GET_FORMAT_SUBTYPE, i);
		if (info.format == subtype)
			return info.name;
	}
	return "?";
}

std::string lowerExtension (const std::string& path)
{
	const auto dot = path.find_last_of ('.');
	const auto slash = path.find_last_of ('/');
	if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
		return "";
	std::string ext = path.substr (dot + 1);
	std::transform (ext.begin (), ext.end (), ext.begin (), [] (unsigned char c) { return std::tolower (c); });
	return ext;
}

std::string knownExtensions ()
{
	std::string list;
	for (const auto& c : containers ())
		if (defaultSubtype (c.major))
			list += (list.empty () ? "." : ", .") + c.extension;
	return list;
}

} // namespace

bool parseSampleFormat (const std::string& name, SampleFormat& format)
{
	if (name == "float")
		format = SampleFormat::float32;
	else if (name == "pcm16")
		format = SampleFormat::pcm16;
	else if (name == "pcm24")
		format = SampleFormat::pcm24;
	else
		return false;
	return true;
}

bool outputFormatFor (const std::string& path, SampleFormat sample, OutputFormat& format, std::string& error)
{
	const std::string extension = lowerExtension (path);
	const auto& list = containers ();
	const auto container = std::find_if (list.begin (), list.end (), [&] (const Container& c) {
		return c.extension == extension && defaultSubtype (c.major);
	});
	if (container == list.end ())
	{
		error = (extension.empty () ? "'" + path + "' has no extension" : "'." + extension + "' is not a format kt3-render writes") +
		        "; the known extensions are " + knownExtensions ();
		return false;
	}
	int subtype = 0;
	switch (sample)
	{
		case SampleFormat::automatic: subtype = defaultSubtype (container->major); break;
		case SampleFormat::float32: subtype = SF_FORMAT_FLOAT; break;
		case SampleFormat::pcm16: subtype = SF_FORMAT_PCM_16; break;
		case SampleFormat::pcm24: subtype = SF_FORMAT_PCM_24; break;
	}
	if (!writable (container->major | subtype))
	{
		error = container->name + " (." + extension + ") cannot hold " + subtypeName (subtype) + " samples";
		return false;
	}
	format.sndfileFormat = container->major | subtype;
	format.clips = subtype != SF_FORMAT_FLOAT && subtype != SF_FORMAT_DOUBLE && subtype != SF_FORMAT_VORBIS &&
	               subtype != SF_FORMAT_OPUS;
	format.name = container->name + ", " + subtypeName (subtype);
	return true;
}

std::string formatsListing ()
{
	std::string text;
	for (const auto& c : containers ())
		if (const int subtype = defaultSubtype (c.major))
			text += "." + c.extension + ": " + c.name + ", default " + subtypeName (subtype) + "\n";
	return text;
}
