// lv2apply, lilv's command-line host, applies the built KT3.lv2 to a float WAV file, and
// kt3-render renders the same file with the same settings through the VST 3 bundle, one frame
// per block as lv2apply runs: the samples are the same bits.
#include <gtest/gtest.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void put (std::string& out, uint32_t value, int bytes)
{
	for (int i = 0; i < bytes; ++i)
		out.push_back (static_cast<char> (value >> (8 * i)));
}

// A stereo 32-bit float WAV file of noise at 48 kHz.
void writeNoise (const fs::path& path, uint32_t frames)
{
	std::string data;
	uint32_t state = 777;
	for (uint32_t i = 0; i < 2 * frames; ++i)
	{
		state = state * 1664525u + 1013904223u;
		const float sample = static_cast<float> (state >> 8) / 16777216.0f - 0.5f;
		uint32_t bits;
		std::memcpy (&bits, &sample, sizeof bits);
		put (data, bits, 4);
	}
	std::string file = "RIFF";
	put (file, uint32_t (4 + 8 + 18 + 8 + 4 + 8 + data.size ()), 4);
	file += "WAVEfmt ";
	put (file, 18, 4), put (file, 3, 2), put (file, 2, 2), put (file, 48000, 4), put (file, 48000 * 8, 4);
	put (file, 8, 2), put (file, 32, 2), put (file, 0, 2);
	file += "fact";
	put (file, 4, 4), put (file, frames, 4);
	file += "data";
	put (file, uint32_t (data.size ()), 4);
	std::ofstream (path, std::ios::binary) << file << data;
}

// The bytes of a WAV file's data chunk.
std::string samplesOf (const fs::path& path)
{
	std::ifstream in (path, std::ios::binary);
	const std::string file ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char> ());
	const size_t at = file.find ("data");
	if (at == std::string::npos || at + 8 > file.size ())
		return {};
	uint32_t size = 0;
	for (int i = 0; i < 4; ++i)
		size |= uint32_t (static_cast<unsigned char> (file[at + 4 + i])) << (8 * i);
	return file.substr (at + 8, size);
}

} // namespace

TEST (Lv2Apply, RendersTheBitsOfTheVst3Bundle)
{
	char pattern[] = "/tmp/kt3-lv2apply-XXXXXX";
	ASSERT_TRUE (mkdtemp (pattern));
	const fs::path dir = pattern;
	fs::create_directory (dir / "lv2");
	fs::create_directory_symlink (KT3_LV2_BUNDLE_PATH, dir / "lv2" / "KT3.lv2");
	writeNoise (dir / "in.wav", 4000);

	const std::string lv2apply = "LV2_PATH='" + (dir / "lv2").string () + "' lv2apply -i '" +
	                             (dir / "in.wav").string () + "' -o '" + (dir / "lv2.wav").string () +
	                             "' -c size 3.5 -c hf_damp 25 -c mix 60 -c output -4.5 urn:orvix:kt3";
	ASSERT_EQ (std::system (lv2apply.c_str ()), 0) << lv2apply;
	const std::string render = std::string (KT3_RENDER_PATH) + " --plugin '" + KT3_BUNDLE_PATH + "' --in '" +
	                           (dir / "in.wav").string () + "' --out '" + (dir / "vst3.wav").string () +
	                           "' --format float --block 1 --tail 0 --set Size=3.5 --set 'HF Damp=25'"
	                           " --set Mix=60 --set Output=-4.5 > /dev/null";
	ASSERT_EQ (std::system (render.c_str ()), 0) << render;

	const std::string viaLv2 = samplesOf (dir / "lv2.wav");
	EXPECT_EQ (viaLv2.size (), 4000u * 8);
	EXPECT_TRUE (viaLv2 == samplesOf (dir / "vst3.wav"));
	fs::remove_all (dir);
}
