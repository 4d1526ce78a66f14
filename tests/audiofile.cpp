#include "audiofile.h"
#include "audioreader.h"
#include "audiowriter.h"

#include <algorithm>

namespace {

constexpr int kBlock = 4096;

} // namespace

bool readAudio (const std::string& path, StereoAudio& audio, std::string& error)
{
	AudioReader reader;
	if (!reader.open (path, error))
		return false;
	audio.sampleRate = reader.sampleRate ();
	audio.left.clear ();
	audio.right.clear ();
	float left[kBlock], right[kBlock];
	for (int n; (n = reader.read (left, right, kBlock, error)) != 0;)
	{
		if (n < 0)
			return false;
		audio.left.insert (audio.left.end (), left, left + n);
		audio.right.insert (audio.right.end (), right, right + n);
	}
	return true;
}

bool writeAudio (const std::string& path, const StereoAudio& audio, std::string& error)
{
	OutputFormat format;
	AudioWriter writer;
	if (!outputFormatFor (path, SampleFormat::automatic, format, error) ||
	    !writer.open (path, format, int (audio.sampleRate), kBlock, error))
		return false;
	for (size_t at = 0; at < audio.frames (); at += kBlock)
	{
		const int n = int (std::min<size_t> (kBlock, audio.frames () - at));
		if (!writer.write (audio.left.data () + at, audio.right.data () + at, n, error))
			return false;
	}
	return writer.finish (error) && writer.commit (error);
}
