// The two makers as programs: they write the eight files the show reads, the same bytes on
// every run, and fail with a status when they cannot.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

int makeAll(const fs::path& dir)
{
    for (const char* tool : {VAVARIZO_SPRITES, VAVARIZO_MUSIC})
        if (const int status = testutil::run(std::string(tool) + " '" + dir.string() + "' >/dev/null 2>&1"))
            return status;
    return 0;
}

TEST(AssetMakers, TwoRunsWriteIdenticalFilesAndAFolderThatCannotBeMadeFails)
{
    const testutil::ScratchDir scratch;
    const fs::path& root = scratch.path();
    ASSERT_EQ(makeAll(root / "a" / "deeper"), 0);  // nested folders are made too
    ASSERT_EQ(makeAll(root / "b"), 0);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(root / "b")) {
        ++files;
        const auto bytes = testutil::readFile(entry.path());
        EXPECT_FALSE(bytes.empty());
        EXPECT_EQ(bytes, testutil::readFile(root / "a" / "deeper" / entry.path().filename())) << entry.path();
    }
    EXPECT_EQ(files, 8);
    std::ofstream(root / "file") << "not a folder";
    EXPECT_NE(makeAll(root / "file" / "out"), 0);
    for (const std::string tool : {VAVARIZO_SPRITES, VAVARIZO_MUSIC})
        EXPECT_NE(testutil::run(tool + " >/dev/null 2>&1"), 0) << tool << ": no folder given";
}

}  // namespace
