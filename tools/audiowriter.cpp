#include "audiowriter.h"

AudioWriter::~AudioWriter ()
{
	if (file)
		sf_close (file);
}

bool AudioWriter::open (const std::string& path, const OutputFormat& outputFormat, int rate, int maxBlock,
                        std::string& error)
{
	format = outputFormat;
	sampleRate = rate;
	if (!output.create (path, error))
		return false;
	SF_INFO info {};
	info.samplerate = rate;
	info.channels = 2;
	info.format = format.sndfileFormat;
	// The descriptor stays the replacement file's: libsndfile does not close it.
	file = sf_open_fd (output.descriptor (), SFM_WRITE, &info, SF_FALSE);
	if (!file)
	{
		error = "cannot write '" + path + "' as " + format.name + ": " + sf_strerror (nullptr);
		return false;
	}
	if (format.clips)
		sf_command (file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
	interleaved.assign (size_t (maxBlock) * 2, 0.0f);
	return true;
}

bool AudioWriter::write (const float* left, const float* right, int frames, std::string& error)
{
	const float* channels[2] = {left, right};
	for (int c = 0; c < 2; ++c)
		for (int i = 0; i < frames; ++i)
		{
			float v = channels[c][i];
			if (format.clips && (v > 1.0f || v < -1.0f))
			{
				v = v > 0.0f ? 1.0f : -1.0f;
				++clippedSamples[c];
			}
			interleaved[size_t (2 * i + c)] = v;
		}
	if (sf_writef_float (file, interleaved.data (), frames) != frames)
	{
		error = "writing '" + output.target () + "' failed: " + sf_strerror (file);
		return false;
	}
	written += frames;
	return true;
}

bool AudioWriter::finish (std::string& error)
{
	const bool encoded = sf_close (file) == 0;
	file = nullptr;
	if (!output.close (error))
		return false;
	// What a reader will find: the file must open and hold every frame written.
	SF_INFO info {};
	SNDFILE* check = encoded ? sf_open (output.temporaryPath ().c_str (), SFM_READ, &info) : nullptr;
	const bool complete = check && info.frames == written && info.channels == 2;
	if (check)
		sf_close (check);
	if (!complete)
	{
		error = "writing '" + output.target () + "' failed";
		return false;
	}
	return true;
}

bool AudioWriter::commit (std::string& error)
{
	return output.commit (error);
}
