// The file side of the loader: opening, the failure messages and how they are shown.
#include <gtest/gtest.h>
#include <sys/stat.h>

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
    std::string write(const std::string& name, void (*change)(std::vector<unsigned char>&) = nullptr)
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
    std::string refusal(const std::string& path, int32_t maxSide = dib::kMaxSide)
    {
        fake::resetBoxes();
        fake::setFocusWindow(focus);
        EXPECT_EQ(loadDibImage(path.c_str(), maxSide), nullptr) << path;
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
    for (const fs::path& path : {dir_ / "missing.bmp", dir_ / "empty.bmp"})
        EXPECT_EQ(refusal(path.string()), "Failed to open DIB file " + path.string() + ".\n");
    // Anything but a regular file is named for what it is and never opened: a FIFO would block.
    const std::string fifo = (dir_ / "fifo.bmp").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(refusal(fifo), fifo + ": a FIFO, not a regular file.");
    EXPECT_EQ(refusal(dir_.string()), dir_.string() + ": a directory, not a regular file.");

    // A longer header version keeps its given text; the decoder's own refusals name the file.
    EXPECT_EQ(refusal(write("v4.bmp", [](auto& b) { b[14] = 108; })), dib::kMsgUnknownFormat);
    const std::string cut = write("cut.bmp", [](auto& b) { b.resize(b.size() - 9); });
    EXPECT_EQ(refusal(cut), cut + ": " + dib::kMsgTruncated);
    EXPECT_EQ(refusal(cut, 1), cut + ": " + dib::kMsgOverLimit + " The largest is 1 x 1.");

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

// Narrow names are opened as they are, wide ones as UTF-8.
TEST_F(Loader, ReadsNarrowAndWideNamesWithoutAnyBox)
{
    const std::string narrow = write("r\xC3\xB8" "d.bmp");  // "rød.bmp"
    const std::u16string dir = dir_.u16string();
    for (ImageRecord* record : {loadDibImage(narrow.c_str()), loadDibImageWide((dir + u"/r\u00F8d.bmp").c_str())}) {
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(std::make_pair(record->width, record->height), std::make_pair(2, 2));
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
