// The two makers as programs: they write the eight files the show reads, the same bytes on
// every run, and they fail loudly when they cannot.
#include "assets_support.h"

namespace {

using namespace assets_test;

const char* const kAssetFiles[] = {"grass.bmp", "morvask.bmp", "liten.bmp", "stor.bmp",
                                   "lampa.bmp", "kossa.bmp", "hal.bmp", "morvask1.xm"};

int makeAll(const fs::path& dir)
{
    const int sprites = run(std::string(VAVARIZO_SPRITES) + " '" + dir.string() + "'");
    const int music = run(std::string(VAVARIZO_MUSIC) + " '" + dir.string() + "'");
    return sprites != 0 ? sprites : music;
}

TEST(AssetMakers, TwoRunsWriteIdenticalFiles)
{
    const fs::path root = scratch("assets_twice");
    // The makers create the folder themselves, nested too.
    ASSERT_EQ(makeAll(root / "a" / "deeper"), 0);
    ASSERT_EQ(makeAll(root / "b"), 0);
    size_t entries = 0;
    for (const auto& e : fs::directory_iterator(root / "b")) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, std::size(kAssetFiles));
    for (const char* f : kAssetFiles) {
        SCOPED_TRACE(f);
        const std::vector<unsigned char> a = readFile(root / "a" / "deeper" / f);
        EXPECT_FALSE(a.empty());
        EXPECT_EQ(a, readFile(root / "b" / f));
    }
    fs::remove_all(root);
}

TEST(AssetMakers, FailWithStatusWhenTheFolderCannotBeMade)
{
    const fs::path root = scratch("assets_blocked");
    const fs::path blocker = root / "file";
    std::ofstream(blocker) << "not a folder";
    EXPECT_NE(run(std::string(VAVARIZO_SPRITES) + " '" + (blocker / "out").string() + "'"), 0);
    EXPECT_NE(run(std::string(VAVARIZO_MUSIC) + " '" + (blocker / "out").string() + "'"), 0);
    EXPECT_NE(run(std::string(VAVARIZO_SPRITES)), 0) << "no folder given";
    EXPECT_NE(run(std::string(VAVARIZO_MUSIC)), 0) << "no folder given";
    fs::remove_all(root);
}

}  // namespace
