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

int RunGallery(const fs::path& out)
{
    return std::system(("\"" + std::string(ZKL_GALLERY) + "\" --out-dir \"" + out.string() + "\" >/dev/null").c_str());
}

// Every piece is a 320 x 240 picture with more than 3 % of it off the background (the top-left
// pixel's colour) and more than 8 colours of shading; a second run writes the same bytes.
TEST(Gallery, EveryPieceIsDrawnAndEveryRunWritesTheSameBytes)
{
    const testutil::ScratchDir scratch;
    const fs::path& root = scratch.path();
    ASSERT_EQ(RunGallery(root / "first"), 0);
    ASSERT_EQ(RunGallery(root / "second"), 0);
    for (const char* piece : pieces) {
        SCOPED_TRACE(piece);
        const fs::path first = root / "first" / (std::string(piece) + ".png");
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, first.c_str())) << first;
        image.format = PNG_FORMAT_RGB;
        std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << first;
        EXPECT_EQ(image.width, 320u);
        EXPECT_EQ(image.height, 240u);
        std::set<unsigned> colours;
        size_t drawn = 0;
        for (size_t p = 0; p < rgb.size(); p += 3) {
            const unsigned colour = rgb[p] << 16 | rgb[p + 1] << 8 | rgb[p + 2];
            colours.insert(colour);
            drawn += colour != unsigned(rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
        }
        EXPECT_GT(double(drawn) / double(rgb.size() / 3), 0.03) << "(nearly) blank";
        EXPECT_GT(colours.size(), 8u) << "hardly any shading";
        EXPECT_EQ(Bytes(first), Bytes(root / "second" / (std::string(piece) + ".png"))) << "differs between runs";
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "first"), fs::directory_iterator()), std::ssize(pieces));
}

}  // namespace
