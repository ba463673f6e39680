#include <gtest/gtest.h>

#include <vector>

#include "image/bmp_write.h"
#include "image/dib_decode.h"

namespace {

// Every width from 1 to 5 covers each amount of row padding.
TEST(BmpWrite, RoundTripsThroughTheDecoderForEveryRowPadding)
{
    for (int width = 1; width <= 5; ++width) {
        SCOPED_TRACE(width);
        const int height = 3;
        std::vector<unsigned char> rgb(size_t(width) * height * 3);
        for (size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = static_cast<unsigned char>(i * 37 + width);
        const std::vector<unsigned char> file = encodeBmp24(width, height, rgb.data());
        EXPECT_EQ(file.size(), 54 + ((size_t(width) * 3 + 3) & ~size_t{3}) * height);

        const dib::DecodeResult result = dib::decode(file.data(), file.size());
        ASSERT_NE(result.record, nullptr) << result.error;
        EXPECT_EQ(result.record->width, width);
        EXPECT_EQ(result.record->height, height);
        EXPECT_EQ(std::vector<unsigned char>(result.record->pixels, result.record->pixels + rgb.size()), rgb);
        freeImageRecord(result.record);
    }
}

// A write whose data never reaches the disk must not be reported as written.
TEST(BmpWrite, ReportsAFailedWrite)
{
    const unsigned char pixel[3] = {1, 2, 3};
    EXPECT_FALSE(writeBmp24("/nonexistent-folder/x.bmp", 1, 1, pixel));
#ifndef _WIN32  // Windows has no device that is always full
    EXPECT_FALSE(writeBmp24("/dev/full", 1, 1, pixel));
#endif
}

}  // namespace
