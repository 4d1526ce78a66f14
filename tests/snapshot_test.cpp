// The bundle's editor snapshots, the pictures hosts show in their plug-in browsers: the editor at
// the parameters' defaults as its offscreen render shows it, at scales 1 and 2.
#include "offscreeneditor.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <string>
#include <vector>

namespace {

// Named for the processor's class ID as moduleinfo.json prints it.
const std::string kSnapshots = std::string (KT3_BUNDLE_PATH) +
                               "/Contents/Resources/Snapshots/3C9E41A75B2D4F089A61C3E27D04B815_snapshot";

// A PNG decoded to 8-bit RGBA, as a host reads it; empty when it does not decode.
struct Picture
{
	explicit Picture (const std::string& path)
	{
		int channels = 0;
		if (stbi_uc* data = stbi_load (path.c_str (), &width, &height, &channels, 4))
		{
			rgba.assign (data, data + static_cast<size_t> (width) * height * 4);
			stbi_image_free (data);
		}
	}
	const stbi_uc* at (int x, int y) const { return &rgba[(static_cast<size_t> (y) * width + x) * 4]; }
	// Premultiplied again, as the editor's frame buffer holds it (0xAARRGGBB).
	uint32_t premultiplied (int x, int y) const
	{
		const stbi_uc* p = at (x, y);
		const uint32_t a = p[3];
		auto channel = [a] (uint32_t c) { return (c * a + 127) / 255; };
		return a << 24 | channel (p[0]) << 16 | channel (p[1]) << 8 | channel (p[2]);
	}

	int width {0};
	int height {0};
	std::vector<stbi_uc> rgba;
};

int differingPixels (const Picture& snapshot, const OffscreenEditor& editor)
{
	int differing = 0;
	for (int y = 0; y < snapshot.height; ++y)
		for (int x = 0; x < snapshot.width; ++x)
			differing += snapshot.premultiplied (x, y) != editor.pixel (x, y) ? 1 : 0;
	return differing;
}

} // namespace

TEST (BundleSnapshots, ScaleOneIsTheEditorsOffscreenRenderAtTheDefaults)
{
	const Picture snapshot (kSnapshots + ".png");
	ASSERT_EQ (snapshot.width, OffscreenEditor::kWidth);
	ASSERT_EQ (snapshot.height, OffscreenEditor::kHeight);
	// Size 7 m, HF Damp 70 %, Mix 90 %.
	OffscreenEditor editor (0.7, 0.7, 0.9);
	ASSERT_NE (editor.frame, nullptr);
	EXPECT_EQ (differingPixels (snapshot, editor), 0);
	// The knobs show where they stand: another Size is another picture.
	EXPECT_GT (differingPixels (snapshot, OffscreenEditor (0.2, 0.7, 0.9)), 100);
}

TEST (BundleSnapshots, ScaleTwoIsTheEditorDrawnAtScaleTwo)
{
	const Picture two (kSnapshots + "_2.0x.png");
	ASSERT_EQ (two.width, 2 * OffscreenEditor::kWidth);
	ASSERT_EQ (two.height, 2 * OffscreenEditor::kHeight);
	const OffscreenEditor editor (0.7, 0.7, 0.9, KT3_RESOURCES_DIR, 2.f);
	ASSERT_NE (editor.frame, nullptr);
	EXPECT_EQ (differingPixels (two, editor), 0);
	// Drawn from the 2x artwork, not the 1x picture with each pixel doubled.
	int unevenBlocks = 0;
	for (int y = 0; y < two.height; y += 2)
		for (int x = 0; x < two.width; x += 2)
			unevenBlocks += two.premultiplied (x, y) != two.premultiplied (x + 1, y + 1) ? 1 : 0;
	EXPECT_GT (unevenBlocks, 5000);
}
