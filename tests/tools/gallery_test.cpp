#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

const char* const pieces[] = {
    "01-point-list",   "02-material-and-lights", "03-brightness-alpha", "04-colour-replacement",
    "05-relief",       "06-texture-font",        "07-harmonic-shape",   "08-blob",
    "09-height-grid",  "10-revolution",          "11-sweep",            "12-radial-sphere",
    "13-cylinder",     "14-sprite-field",
};

std::vector<char> Bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Decoded {
    bool ok = false;
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> rgb;
};

Decoded Decode(const fs::path& path)
{
    Decoded d;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return d;
    image.format = PNG_FORMAT_RGB;
    d.rgb.resize(PNG_IMAGE_SIZE(image));
    d.ok = png_image_finish_read(&image, nullptr, d.rgb.data(), 0, nullptr) != 0;
    d.width = image.width;
    d.height = image.height;
    return d;
}

// Share of pixels that differ from the top-left one (the background).
double Drawn(const Decoded& d)
{
    size_t differing = 0;
    const size_t count = d.rgb.size() / 3;
    for (size_t p = 0; p < count; ++p)
        for (int c = 0; c < 3; ++c)
            if (d.rgb[3 * p + c] != d.rgb[c]) {
                ++differing;
                break;
            }
    return count ? double(differing) / count : 0.0;
}

int RunGallery(const fs::path& out)
{
    const std::string command = std::string("\"") + ZKL_GALLERY + "\" --out-dir \"" + out.string() + "\" >/dev/null";
    return std::system(command.c_str());
}

TEST(Gallery, EveryPieceIsDrawnAndEveryRunWritesTheSameBytes)
{
    const testutil::ScratchDir scratch;
    const fs::path& root = scratch.path();
    ASSERT_EQ(RunGallery(root / "first"), 0);
    ASSERT_EQ(RunGallery(root / "second"), 0);
    for (const char* piece : pieces) {
        const fs::path first = root / "first" / (std::string(piece) + ".png");
        const fs::path second = root / "second" / (std::string(piece) + ".png");
        const Decoded picture = Decode(first);
        ASSERT_TRUE(picture.ok) << first;
        EXPECT_EQ(picture.width, 320u) << piece;
        EXPECT_EQ(picture.height, 240u) << piece;
        EXPECT_GT(Drawn(picture), 0.03) << piece << " is (nearly) blank";
        std::set<unsigned> colours;
        for (size_t p = 0; p < picture.rgb.size(); p += 3)
            colours.insert(picture.rgb[p] << 16 | picture.rgb[p + 1] << 8 | picture.rgb[p + 2]);
        EXPECT_GT(colours.size(), 8u) << piece << " has hardly any shading";
        EXPECT_EQ(Bytes(first), Bytes(second)) << piece << " differs between runs";
    }
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root / "first"))
        ++files;
    EXPECT_EQ(files, std::size(pieces));
}

}  // namespace
