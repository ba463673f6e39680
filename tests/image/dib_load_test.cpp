// The file side of the loader: opening, the failure messages and how they are shown.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "image/dib.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/scratch_dir.h"

namespace {

const auto focus = reinterpret_cast<plat::HWND>(0x1234);
const std::vector<unsigned char> twoByTwo = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// Loading fails with exactly one box: "Error", OK only, owned by the focus window; its text.
std::string refusal(ImageRecord* record)
{
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(fake::boxes().size(), 1u);
    std::string text;
    for (const fake::Box& box : fake::boxes()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.style, plat::MB_OK);
        EXPECT_EQ(box.owner, focus);
        text = box.text;
    }
    fake::resetBoxes();
    fake::setFocusWindow(focus);
    return text;
}

TEST(Loader, EachFailureShowsOnlyItsOwnMessage)
{
    const testutil::ScratchDir dir;
    fake::resetBoxes();
    fake::setFocusWindow(focus);
    std::ofstream(dir.file("empty.bmp"));
    for (const std::string& path : {dir.file("missing.bmp"), dir.file("empty.bmp")})
        EXPECT_EQ(refusal(loadDibImage(path.c_str())), "Failed to open DIB file " + path + ".\n");
    const std::string longName = dir.file(std::string(400, 'n'));
    EXPECT_EQ(refusal(loadDibImage(longName.c_str())), ("Failed to open DIB file " + longName).substr(0, 255));
    // The euro sign has a Windows-1252 byte, the snowman none, an unpaired surrogate neither.
    const char16_t odd[] = {u'/', u'\u00F8', u'\u20AC', u'\u2603', 0xD800, u'.', 0};
    EXPECT_EQ(refusal(loadDibImageWide((dir.path().u16string() + odd).c_str())),
              "Failed to open DIB file " + dir.path().string() + "/\xF8\x80??..\n");

    // Anything but a regular file is named for what it is and never opened (FIFOs: the texture tests).
    const std::string folder = dir.path().string();
    EXPECT_EQ(refusal(loadDibImage(folder.c_str())), folder + ": a directory, not a regular file.");

    // Narrow names as std::filesystem spells them (UTF-8), wide ones UTF-16; the file has a Unicode name.
    const std::string narrow = (dir.path() / u"r\u00F8d.bmp").string();
    std::filesystem::rename(dir.bmp("rod.bmp", 2, 2, twoByTwo), dir.path() / u"r\u00F8d.bmp");
    for (ImageRecord* record : {loadDibImage(narrow.c_str()), loadDibImageWide((dir.path().u16string() + u"/r\u00F8d.bmp").c_str())}) {
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(std::vector<unsigned char>(record->pixels, record->pixels + 12), twoByTwo);
        freeImageRecord(record);
    }
    EXPECT_TRUE(fake::boxes().empty());
}

}  // namespace
