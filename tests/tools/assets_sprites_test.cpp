// The seven pictures: their files read back, and what the show needs of the art.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "image/dib.h"
#include "tests/support/scratch_dir.h"
#include "tools/assets/sprites.h"

namespace {

using art::Sprite;

const std::map<std::string, Sprite>& sprites()
{
    static const std::map<std::string, Sprite> all = [] {
        std::map<std::string, Sprite> m;
        for (Sprite& s : art::makeSprites())
            m.emplace(s.file, std::move(s));
        return m;
    }();
    return all;
}

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
// The files hold exactly what was drawn.
TEST(Sprites, SevenFilesOfArtOnThePureBlackKey)
{
    const testutil::ScratchDir dir;
    std::vector<Sprite> all;
    for (const auto& [name, s] : sprites())
        all.push_back(s);
    ASSERT_EQ(all.size(), 7u);
    ASSERT_EQ(art::writeSprites(dir.path().string(), all), "");
    setShowErrorBoxes(false);
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
        EXPECT_LT(artBox(s)[3], int(s.height * 0.98));
        std::unique_ptr<ImageRecord, void (*)(ImageRecord*)> img(loadDibImage(dir.file(s.file).c_str()), &freeImageRecord);
        ASSERT_NE(img, nullptr);
        ASSERT_EQ(img->width * img->height * 3, int(s.rgb.size()));
        EXPECT_EQ(std::memcmp(img->pixels, s.rgb.data(), s.rgb.size()), 0);
    }
    setShowErrorBoxes(true);
}

// The grass strip's top edge crosses the vehicle quad 48 % up: the wheels rest on that line and
// nothing is drawn below it. Every frame has a body where the lit lamp shows.
TEST(Sprites, VehicleFramesStandOnTheGrassLineUnderTheLamp)
{
    for (const char* f : {"morvask.bmp", "liten.bmp", "stor.bmp", "hal.bmp"}) {
        SCOPED_TRACE(f);
        const Sprite& s = sprites().at(f);
        const double line = 0.48 * s.height;
        EXPECT_GE(artBox(s)[2], line - 0.03 * s.height);
        EXPECT_LE(artBox(s)[2], line + 1);
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
