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

const auto focus = reinterpret_cast<plat::HWND>(0x1234);

class Loader : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::path(testing::TempDir()) / ("dib_load_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        fake::resetBoxes();
        fake::setFocusWindow(focus);
    }
    void TearDown() override
    {
        setShowErrorBoxes(true);
        fs::remove_all(dir_);
    }

    // A 2 x 2 picture, with `change` applied to its file bytes.
    std::string write(const fs::path& name, void (*change)(std::vector<unsigned char>&) = nullptr)
    {
        const unsigned char rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        std::vector<unsigned char> bytes = encodeBmp24(2, 2, rgb);
        if (change)
            change(bytes);
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path.string();
    }

    // Loading fails with exactly one box: "Error", OK only, owned by the focus window.
    std::string refusal(const std::string& path)
    {
        fake::resetBoxes();
        fake::setFocusWindow(focus);
        EXPECT_EQ(loadDibImage(path.c_str()), nullptr) << path;
        EXPECT_EQ(fake::boxes().size(), 1u);
        if (fake::boxes().empty())
            return {};
        const fake::Box& box = fake::boxes()[0];
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.style, plat::MB_OK);
        EXPECT_EQ(box.owner, focus);
        return box.text;
    }

    fs::path dir_;
};

TEST_F(Loader, EachFailureShowsOnlyItsOwnMessage)
{
    std::ofstream(dir_ / "empty.bmp");
    for (const fs::path& path : {dir_ / "missing.bmp", dir_ / "empty.bmp", dir_})
        EXPECT_EQ(refusal(path.string()), "Failed to open DIB file " + path.string() + ".\n");

    // A longer header version; a file cut short.
    EXPECT_EQ(refusal(write("v4.bmp", [](auto& b) { b[14] = 108; })), dib::kMsgUnknownFormat);
    EXPECT_EQ(refusal(write("cut.bmp", [](auto& b) { b.resize(b.size() - 9); })), dib::kMsgTruncated);

    // Long names are cut to the message buffer.
    const std::string longName = (dir_ / std::string(400, 'n')).string();
    EXPECT_EQ(refusal(longName), ("Failed to open DIB file " + longName).substr(0, 255));
}

TEST_F(Loader, SilentWhileErrorBoxesAreOff)
{
    setShowErrorBoxes(false);
    EXPECT_EQ(loadDibImage((dir_ / "missing.bmp").string().c_str()), nullptr);
    EXPECT_EQ(loadDibImage(write("v5.bmp", [](auto& b) { b[14] = 124; }).c_str()), nullptr);
    EXPECT_TRUE(fake::boxes().empty());

    setShowErrorBoxes(true);
    EXPECT_EQ(loadDibImage((dir_ / "missing.bmp").string().c_str()), nullptr);
    EXPECT_EQ(fake::boxes().size(), 1u);
}

// Narrow names are UTF-8, as std::filesystem spells them; wide ones reach the same file.
TEST_F(Loader, ReadsNarrowAndWideNamesWithoutAnyBox)
{
    const std::string narrow = write(fs::path(u"r\u00F8d.bmp"));
    const std::u16string dir = dir_.u16string();
    for (ImageRecord* record : {loadDibImage(narrow.c_str()), loadDibImageWide((dir + u"/r\u00F8d.bmp").c_str())}) {
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->width, 2);
        EXPECT_EQ(record->height, 2);
        EXPECT_EQ(std::vector<unsigned char>(record->pixels, record->pixels + 12),
                  std::vector<unsigned char>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
        freeImageRecord(record);
    }
    EXPECT_TRUE(fake::boxes().empty());
}

TEST_F(Loader, WideNamesShowWindows1252Text)
{
    const std::u16string dir = dir_.u16string();

    // The euro sign has a Windows-1252 byte, the snowman none; an unpaired surrogate neither.
    const char16_t missing[] = {u'/', u'\u00F8', u'\u20AC', u'\u2603', 0xD800, u'.', 0};
    EXPECT_EQ(loadDibImageWide((dir + missing).c_str()), nullptr);
    ASSERT_EQ(fake::boxes().size(), 1u);
    EXPECT_EQ(fake::boxes()[0].text, "Failed to open DIB file " + dir_.string() + "/\xF8\x80??..\n");
    EXPECT_EQ(fake::boxes()[0].owner, focus);
}

}  // namespace
