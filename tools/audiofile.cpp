#include "audiofile.h"

#include <sndfile.h>
#include <algorithm>
#include <cctype>

namespace {

std::string lowerExtension (const std::string& path)
{
	const auto dot = path.find_last_of ('.');
	std::string ext = dot == std::string::npos ? "" : path.substr (dot + 1);
	std::transform (ext.begin (), ext.end (), ext.begin (), [] (unsigned char c) { return std::tolower (c); });
	return ext;
}

int formatFor (const std::string& path)
{
	const std::string ext = lowerExtension (path);
	if (ext == "flac")
		return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
	if (ext == "aif" || ext == "aiff")
		return SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
	return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

} // namespace

bool readAudio (const std::string& path, StereoAudio& audio, std::string& error)
{
	SF_INFO info {};
	SNDFILE* file = sf_open (path.c_str (), SFM_READ, &info);
	if (!file)
	{
		error = "cannot read '" + path + "': " + sf_strerror (nullptr);
		return false;
	}
	if (info.channels < 1 || info.frames < 0 || info.samplerate <= 0)
	{
		sf_close (file);
		error = "'" + path + "' has no usable audio";
		return false;
	}
	std::vector<float> interleaved (static_cast<size_t> (info.frames) * info.channels);
	const sf_count_t got = sf_readf_float (file, interleaved.data (), info.frames);
	sf_close (file);
	audio.sampleRate = info.samplerate;
	audio.left.resize (static_cast<size_t> (got));
	audio.right.resize (static_cast<size_t> (got));
	for (sf_count_t i = 0; i < got; ++i)
	{
		audio.left[i] = interleaved[i * info.channels];
		audio.right[i] = interleaved[i * info.channels + (info.channels > 1 ? 1 : 0)];
	}
	return true;
}

bool writeAudio (const std::string& path, const StereoAudio& audio, std::string& error)
{
	SF_INFO info {};
	info.samplerate = static_cast<int> (audio.sampleRate);
	info.channels = 2;
	info.format = formatFor (path);
	SNDFILE* file = sf_open (path.c_str (), SFM_WRITE, &info);
	if (!file)
	{
		error = "cannot write '" + path + "': " + sf_strerror (nullptr);
		return false;
	}
	std::vector<float> interleaved (audio.frames () * 2);
	for (size_t i = 0; i < audio.frames (); ++i)
	{
		interleaved[2 * i] = audio.left[i];
		interleaved[2 * i + 1] = audio.right[i];
	}
	const auto frames = static_cast<sf_count_t> (audio.frames ());
	const bool ok = sf_writef_float (file, interleaved.data (), frames) == frames;
	sf_close (file);
	if (!ok)
		error = "writing '" + path + "' failed";
	return ok;
}
