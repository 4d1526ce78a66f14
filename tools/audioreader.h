// An input file read block by block through libsndfile, in constant memory whatever its
// length or channel count. Its header's frame count is used only to report a truncated file
// and to show progress, never to size anything; a count that is unknown or beyond
// kMaxTrustedFrames is taken as unknown and the file is read until it ends.
#pragma once

#include "blocksource.h"

#include <sndfile.h>
#include <string>
#include <vector>

class AudioReader final : public BlockSource
{
public:
	static constexpr int64_t kMaxTrustedFrames = int64_t (1) << 34; // 99 hours at 48 kHz
	// The largest input file opened: 1 TiB, far beyond any recording a render takes in.
	static constexpr uint64_t kMaxFileBytes = uint64_t (1) << 40;

	AudioReader () = default;
	~AudioReader () override;
	AudioReader (const AudioReader&) = delete;
	AudioReader& operator= (const AudioReader&) = delete;

	// Opens `path`; false with a one-line `error` when it is not a readable audio file. A FIFO, a
	// device, a folder or a file over kMaxFileBytes is refused before anything is read from it.
	bool open (const std::string& path, std::string& error);
	int channels () const { return info.channels; }
	// The channels (0-based) fed to the left and right input; by default the first two, or the
	// only one twice.
	void selectChannels (int left, int right);

	double sampleRate () const override { return info.samplerate; }
	int64_t length () const override { return claimedFrames; }
	int read (float* left, float* right, int frames, std::string& error) override;

private:
	std::string truncation () const;

	int descriptor = -1;
	SNDFILE* file = nullptr;
	SF_INFO info {};
	std::string path;
	int64_t claimedFrames = -1;
	int64_t position = 0;
	int leftChannel = 0, rightChannel = 0;
	std::vector<float> interleaved; // a fixed number of samples, however many channels
};
