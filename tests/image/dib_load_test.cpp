// The file side of the loader: opening, the failure messages and how they are shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "image/bmp_write.h"
#include "image/dib.h"
#include "image/dib_decode.h"
#include "tests/support/fake_msgbox.h"

namespace {

namespace fs = std::filesystem;

class Loader : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::path(testing::TempDir()) /
               ("dib_load_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        fake::resetBoxes();
        fake::setFocusWindow(focus());
    }
    void TearDown() override
    {
        setShowErrorBoxes(true);
        fs::remove_all(dir_);
    }

    static plat::HWND focus() { return reinterpret_cast<plat::HWND>(0x1234); }

    std::string write(const std::string& name, const std::vector<unsigned char>& bytes)
    {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path.string();
    }

    // The one box shown, checked for caption, style and owner.
    std::string onlyBox()
    {
        EXPECT_EQ(fake::boxes().size(), 1u);
        if (fake::boxes().empty())
            return {};
        const fake::Box& box = fake::boxes()[0];
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.style, plat::MB_OK);
        EXPECT_EQ(box.owner, focus());
        return box.text;
    }

    fs::path dir_;
};

std::vector<unsigned char> smallPicture()
{
    const unsigned char rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 2 x 2
    return encodeBmp24(2, 2, rgb);
}

TEST_F(Loader, ReadsAFileWithoutAnyBox)
{
    const std::string path = write("ok.bmp", smallPicture());
    ImageRecord* record = loadDibImage(path.c_str());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->width, 2);
    EXPECT_EQ(record->height, 2);
    EXPECT_EQ(std::vector<unsigned char>(record->pixels, record->pixels + 12),
              std::vector<unsigned char>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_TRUE(fake::boxes().empty());
    freeImageRecord(record);
}

TEST_F(Loader, MissingEmptyAndFolderGiveTheOpenFailure)
{
    const std::string missing = (dir_ / "missing.bmp").string();
    const std::string empty = write("empty.bmp", {});
    const std::string folder = dir_.string();
    for (const std::string& path : {missing, empty, folder}) {
        fake::resetBoxes();
        fake::setFocusWindow(focus());
        EXPECT_EQ(loadDibImage(path.c_str()), nullptr);
        EXPECT_EQ(onlyBox(), "Failed to open DIB file " + path + ".\n");
    }
}

TEST_F(Loader, DecodeFailuresShowOnlyTheirOwnMessage)
{
    std::vector<unsigned char> v4 = smallPicture();
    v4[14] = 108;  // header size of a longer header version
    const std::string path = write("v4.bmp", v4);
    EXPECT_EQ(loadDibImage(path.c_str()), nullptr);
    EXPECT_EQ(onlyBox(), dib::kMsgUnknownFormat);

    std::vector<unsigned char> cut = smallPicture();
    cut.resize(cut.size() - 9);
    fake::resetBoxes();
    fake::setFocusWindow(focus());
    EXPECT_EQ(loadDibImage(write("cut.bmp", cut).c_str()), nullptr);
    EXPECT_EQ(onlyBox(), dib::kMsgTruncated);
}

TEST_F(Loader, LongNamesAreCutToTheMessageBuffer)
{
    const std::string path = (dir_ / std::string(400, 'n')).string();
    EXPECT_EQ(loadDibImage(path.c_str()), nullptr);
    const std::string text = onlyBox();
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text, ("Failed to open DIB file " + path).substr(0, 255));
}

TEST_F(Loader, SilentWhileErrorBoxesAreOff)
{
    setShowErrorBoxes(false);
    EXPECT_EQ(loadDibImage((dir_ / "missing.bmp").string().c_str()), nullptr);
    std::vector<unsigned char> v5 = smallPicture();
    v5[14] = 124;
    EXPECT_EQ(loadDibImage(write("v5.bmp", v5).c_str()), nullptr);
    EXPECT_TRUE(fake::boxes().empty());

    setShowErrorBoxes(true);
    EXPECT_EQ(loadDibImage((dir_ / "missing.bmp").string().c_str()), nullptr);
    EXPECT_EQ(fake::boxes().size(), 1u);
}

TEST_F(Loader, WideNamesOpenUtf8FilesAndShowWindows1252Text)
{
    write("r\xC3\xB8" "d.bmp", smallPicture());  // "rød.bmp"
    const std::u16string dir = dir_.u16string();
    ImageRecord* record = loadDibImageWide((dir + u"/r\u00F8d.bmp").c_str());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->width, 2);
    freeImageRecord(record);
    EXPECT_TRUE(fake::boxes().empty());

    // The euro sign has a Windows-1252 byte, the snowman none; an unpaired surrogate neither.
    const char16_t missing[] = {u'/', u'\u00F8', u'\u20AC', u'\u2603', 0xD800, u'.', 0};
    EXPECT_EQ(loadDibImageWide((dir + missing).c_str()), nullptr);
    EXPECT_EQ(onlyBox(), "Failed to open DIB file " + dir_.string() + "/\xF8\x80??..\n");
}

}  // namespace
