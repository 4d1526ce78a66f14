#include "audioreader.h"
#include "printabletext.h"
#include "regularfile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace {

// Samples read per libsndfile call, over all channels: 256 KB.
constexpr size_t kReadSamples = 65536;

int bytesPerSample (int subtype)
{
	switch (subtype)
	{
		case SF_FORMAT_PCM_S8:
		case SF_FORMAT_PCM_U8: return 1;
		case SF_FORMAT_PCM_16: return 2;
		case SF_FORMAT_PCM_24: return 3;
		case SF_FORMAT_PCM_32:
		case SF_FORMAT_FLOAT: return 4;
		case SF_FORMAT_DOUBLE: return 8;
		default: return 0;
	}
}

// The frames that the data chunk of an uncompressed WAV or AIFF file declares. libsndfile
// shortens its own count to what the file holds, so a truncated file shows only here.
int64_t declaredDataFrames (SNDFILE* file, const SF_INFO& info)
{
	const int major = info.format & SF_FORMAT_TYPEMASK;
	const int bytes = bytesPerSample (info.format & SF_FORMAT_SUBMASK);
	const bool wav = major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX, aiff = major == SF_FORMAT_AIFF;
	if (!bytes || !(wav || aiff))
		return -1;
	SF_CHUNK_INFO chunk {};
	std::strcpy (chunk.id, wav ? "data" : "SSND");
	chunk.id_size = 4;
	SF_CHUNK_ITERATOR* it = sf_get_chunk_iterator (file, &chunk);
	if (!it || sf_get_chunk_size (it, &chunk) != SF_ERR_NO_ERROR)
		return -1;
	const int64_t header = aiff ? 8 : 0; // SSND's offset and block size
	return (int64_t (chunk.datalen) - header) / (int64_t (bytes) * info.channels);
}

} // namespace

AudioReader::~AudioReader ()
{
	if (file)
		sf_close (file);
	if (descriptor >= 0)
		close (descriptor);
}

bool AudioReader::open (const std::string& filePath, std::string& error)
{
	path = filePath;
	if (!kt3host::openRegularFile (path, kMaxFileBytes, descriptor, error))
	{
		error = "cannot read " + error;
		return false;
	}
	// libsndfile reads through the descriptor, which stays this reader's to close.
	file = sf_open_fd (descriptor, SFM_READ, &info, SF_FALSE);
	if (!file)
	{
		error = "cannot read '" + path + "': " + sf_strerror (nullptr);
		return false;
	}
	if (info.channels < 1 || info.samplerate <= 0)
	{
		error = "'" + path + "' has no usable audio";
		return false;
	}
	if (info.frames >= 0 && info.frames <= kMaxTrustedFrames)
		claimedFrames = std::max<int64_t> (info.frames, declaredDataFrames (file, info));
	selectChannels (0, info.channels > 1 ? 1 : 0);
	interleaved.resize (kReadSamples);
	return true;
}

void AudioReader::selectChannels (int left, int right)
{
	leftChannel = left;
	rightChannel = right;
}

int AudioReader::read (float* left, float* right, int frames, std::string& error)
{
	const int channels = info.channels;
	const int perCall = std::max (1, int (kReadSamples) / channels);
	int done = 0;
	while (done < frames)
	{
		const int want = std::min (perCall, frames - done);
		const sf_count_t got = sf_readf_float (file, interleaved.data (), want);
		if (got < 0 || sf_error (file) != SF_ERR_NO_ERROR)
		{
			// A decoder that runs out of data part-way reports an error of its own.
			error = claimedFrames >= 0 && position < claimedFrames ? truncation () + " (" + sf_strerror (file) + ")"
			                                                       : "reading '" + path + "' failed: " + sf_strerror (file);
			return -1;
		}
		for (sf_count_t i = 0; i < got; ++i)
		{
			const float l = interleaved[size_t (i) * channels + leftChannel];
			const float r = interleaved[size_t (i) * channels + rightChannel];
			if (!std::isfinite (l) || !std::isfinite (r))
			{
				const int64_t frame = position + i;
				error = "'" + path + "': the sample at frame " + std::to_string (frame) + " (" +
				        std::to_string (double (frame) / info.samplerate) + " s), channel " +
				        std::to_string ((std::isfinite (l) ? rightChannel : leftChannel) + 1) + ", is not a finite number";
				return -1;
			}
			left[done + i] = l;
			right[done + i] = r;
		}
		done += int (got);
		position += got;
		if (got < want)
			break;
	}
	if (done < frames && claimedFrames >= 0 && position < claimedFrames)
	{
		error = truncation ();
		return -1;
	}
	return done;
}

std::string AudioReader::truncation () const
{
	return "'" + path + "' is truncated: it holds " + std::to_string (position) + " of the " +
	       std::to_string (claimedFrames) + " frames its header claims";
}
