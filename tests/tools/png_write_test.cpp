#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"
#include "tools/common/png_write.h"

namespace {

TEST(PngWrite, ReadsBackAsTheSameOpaqueRgbPicture)
{
    testutil::ScratchDir dir;
    // 3 x 2, top row first; an odd row length checks that no padding slips in.
    const std::vector<unsigned char> rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 250, 251, 252, 0, 0, 0, 255, 255, 255};
    const std::string path = dir.file("p.png");
    ASSERT_TRUE(writePngRgb(path, 3, 2, rgb.data()));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u) << "opaque";
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> back(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr));
    EXPECT_EQ(back, rgb);
}

TEST(PngWrite, ReportsWhatCannotBeWritten)
{
    testutil::ScratchDir dir;
    const unsigned char pixel[3] = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(writePngRgb(dir.file("no/such/folder/p.png"), 1, 1, pixel, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(writePngRgb(dir.file("empty.png"), 0, 1, pixel, &error));
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.png")));
}

}  // namespace
