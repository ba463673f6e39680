#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/support/png_read.h"
#include "tests/support/scratch_dir.h"

namespace {

// Every piece is a 320 x 240 picture with more than 3 % of it off the background (the top-left
// pixel's colour) and more than 8 colours of shading; a second run writes the same bytes.
TEST(Gallery, EveryPieceIsDrawnAndEveryRunWritesTheSameBytes)
{
    const testutil::ScratchDir scratch;
    for (const char* out : {"first", "second"})
        ASSERT_EQ(testutil::run(std::string("'") + ZKL_GALLERY + "' --out-dir '" + scratch.file(out) + "' >/dev/null"), 0);
    int pieces = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.file("first"))) {
        SCOPED_TRACE(entry.path().filename().string());
        ++pieces;
        const testutil::Picture p = testutil::readPng(entry.path());
        EXPECT_EQ(p.width, 320);
        EXPECT_EQ(p.height, 240);
        std::set<std::array<int, 3>> colours;
        size_t drawn = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                colours.insert(p.at(x, y));
                drawn += p.at(x, y) != p.at(0, 0);
            }
        EXPECT_GT(double(drawn) / (p.width * p.height), 0.03) << "(nearly) blank";
        EXPECT_GT(colours.size(), 8u) << "hardly any shading";
        EXPECT_EQ(testutil::readFile(entry.path()), testutil::readFile(scratch.path() / "second" / entry.path().filename()));
    }
    EXPECT_EQ(pieces, 14);
}

}  // namespace
