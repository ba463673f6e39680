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
    const ScratchDir scratch;
    const fs::path& root = scratch.path();
    // The makers create the folder themselves, nested too.
    ASSERT_EQ(makeAll(root / "a" / "deeper"), 0);
    ASSERT_EQ(makeAll(root / "b"), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "b"), fs::directory_iterator()), std::ssize(kAssetFiles));
    for (const char* f : kAssetFiles) {
        SCOPED_TRACE(f);
        const std::vector<unsigned char> a = readFile(root / "a" / "deeper" / f);
        EXPECT_FALSE(a.empty());
        EXPECT_EQ(a, readFile(root / "b" / f));
    }
}

TEST(AssetMakers, FailWithStatusWhenTheFolderCannotBeMade)
{
    const ScratchDir scratch;
    const fs::path& root = scratch.path();
    const fs::path blocker = root / "file";
    std::ofstream(blocker) << "not a folder";
    for (const std::string tool : {VAVARIZO_SPRITES, VAVARIZO_MUSIC}) {
        EXPECT_NE(run(tool + " '" + (blocker / "out").string() + "'"), 0) << tool;
        EXPECT_NE(run(tool), 0) << tool << ": no folder given";
    }
}

}  // namespace
