// The seven pictures: what the show needs of the art.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "tools/assets/sprites.h"

namespace {

using art::Sprite;

bool key(const Sprite& s, int x, int y)
{
    const unsigned char* p = &s.rgb[(size_t(y) * s.width + x) * 3];
    return !p[0] && !p[1] && !p[2];
}

// Lowest and highest column, lowest and highest row (from the bottom) holding art.
std::array<int, 4> artBox(const Sprite& s)
{
    std::array<int, 4> box{s.width, -1, s.height, -1};
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (!key(s, x, y))
                box = {std::min(box[0], x), std::max(box[1], x), std::min(box[2], y), std::max(box[3], y)};
    return box;
}

// Power-of-two sides in the quads' proportions; the key is pure black only, and art never comes
// near it (a near-black edge reads as a dirty fringe); the top 2 % of the rows never show.
// The grass strip's top edge crosses the vehicle quad 48 % up: the vehicle's wheels rest on that
// line and nothing is drawn below it, and every frame has a body where the lit lamp shows.
TEST(Sprites, SevenPicturesOfArtOnThePureBlackKeyAndVehiclesOnTheGrassLine)
{
    const std::vector<Sprite> all = art::makeSprites();
    ASSERT_EQ(all.size(), 7u);
    for (const Sprite& s : all) {
        SCOPED_TRACE(s.file);
        EXPECT_EQ(s.width & (s.width - 1), 0);
        EXPECT_EQ(s.height & (s.height - 1), 0);
        const int ratio = s.file == "grass.bmp" ? 8 : s.file == "lampa.bmp" || s.file == "kossa.bmp" ? 1 : 2;
        EXPECT_EQ(s.width, ratio * s.height);
        size_t dark = 0;
        for (size_t i = 0; i < s.rgb.size(); i += 3)
            dark += (s.rgb[i] || s.rgb[i + 1] || s.rgb[i + 2]) && (s.rgb[i] < 8 || s.rgb[i + 1] < 8 || s.rgb[i + 2] < 8);
        EXPECT_EQ(dark, 0u);
        const std::array<int, 4> box = artBox(s);
        EXPECT_LT(box[3], int(s.height * 0.98));
        if (ratio != 2)
            continue;
        EXPECT_GE(box[2], 0.45 * s.height);
        EXPECT_LE(box[2], 0.48 * s.height + 1);
        // The lamp is 0.1 nearer the eye, so on the vehicle's plane it shows 1/0.9 further out and
        // larger; its middle half must cover vehicle.
        const double cx = (0.19 + 0.025) / 0.9 / 0.5, cy = ((0.15 + 0.025 - 0.37) / 0.9 + 0.37) / 0.25;
        const double halfW = 0.05 / 0.9 / 0.5 / 4, halfH = 0.05 / 0.9 / 0.25 / 4;
        for (int y = int((cy - halfH) * s.height); y < int((cy + halfH) * s.height); ++y)
            for (int x = int((cx - halfW) * s.width); x < int((cx + halfW) * s.width); ++x)
                ASSERT_FALSE(key(s, x, y)) << x << "," << y;
    }
}

}  // namespace
