// Every file of the bmpsuite collection through the loader: good files match their reference
// pictures exactly, the others are either decoded the same way or refused with one message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "image/dib.h"
#include "image/dib_decode.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/png_read.h"

namespace {

const std::string kSuite = VAVARIZO_BMPSUITE_DIR "/";

struct SuiteCase {
    std::string file;
    const char* refusal = nullptr;  // null: decodes to the .png beside it
    int tolerance = 0;              // per channel, for channels wider than 8 bits
    bool reference = true;          // false: decodes safely, but no reference picture exists
};

std::ostream& operator<<(std::ostream& os, const SuiteCase& c) { return os << c.file; }

// Every file decodes to the .png beside it unless named below. Among those: RLE-skipped pixels
// are black, an oversized OS/2 table still lies inside the file, the image size field is never
// trusted, indices past the table are black and a zero blue mask gives blue 0.
SuiteCase decision(const std::string& file)
{
    // Broken RLE streams: runs clipped at the row end, a delta past the picture ends it. A
    // colour count beyond 2^bits: the entries ahead of the bits are used.
    for (const char* f : {"b/badrle.bmp", "b/badrle4.bmp", "b/badrle4bis.bmp", "b/badrle4ter.bmp", "b/badrlebis.bmp",
                          "b/badrleter.bmp", "b/badpalettesize.bmp"})
        if (file == f)
            return {file, nullptr, 0, false};
    for (const char* f :
         {"g/pal8v4.bmp", "g/pal8v5.bmp", "q/pal1huffmsb.bmp", "q/pal8os2v2-16.bmp", "q/pal8os2v2-sz.bmp",
          "q/pal8os2v2.bmp", "q/rgb24jpeg.bmp", "q/rgb24lprof.bmp", "q/rgb24png.bmp", "q/rgb24rle24.bmp",
          "q/rgb32-xbgr.bmp", "q/rgb32h52.bmp", "q/rgba16-1924.bmp", "q/rgba16-4444.bmp", "q/rgba16-5551.bmp",
          "q/rgba32-1.bmp", "q/rgba32-1010102.bmp", "q/rgba32-2.bmp", "q/rgba32-61754.bmp", "q/rgba32-81284.bmp",
          "q/rgba32h56.bmp", "b/badheadersize.bmp"})
        if (file == f)
            return {file, dib::kMsgUnknownFormat};
    for (const char* f : {"q/pal2.bmp", "q/pal2color.bmp", "q/rgba32abf.bmp", "q/rgba64.bmp", "b/badbitcount.bmp",
                          "b/badplanes.bmp"})
        if (file == f)
            return {file, dib::kMsgConversion};
    const std::pair<const char*, const char*> single[] = {{"b/badwidth.bmp", dib::kMsgDimensions},
        {"b/reallybig.bmp", dib::kMsgDimensions}, {"b/rletopdown.bmp", dib::kMsgTopDownRle},
        {"b/shortfile.bmp", dib::kMsgTruncated}};
    for (const auto& [f, message] : single)
        if (file == f)
            return {file, message};
    const bool wideChannels = file == "q/rgb32-111110.bmp" || file == "q/rgb32-7187.bmp";
    return {file, nullptr, wideChannels ? 1 : 0};
}

std::vector<SuiteCase> cases()
{
    std::vector<SuiteCase> all;
    for (const char* dir : {"g", "q", "b"})
        for (const auto& entry : std::filesystem::directory_iterator(kSuite + dir))
            if (entry.path().extension() == ".bmp")
                all.push_back(decision(std::string(dir) + "/" + entry.path().filename().string()));
    std::sort(all.begin(), all.end(), [](const SuiteCase& a, const SuiteCase& b) { return a.file < b.file; });
    return all;
}

class Suite : public testing::TestWithParam<SuiteCase> {};

TEST_P(Suite, DecodesOrRefusesAsDecided)
{
    const SuiteCase& c = GetParam();
    const std::string bmp = kSuite + c.file;
    fake::resetBoxes();
    ImageRecord* record = loadDibImage(bmp.c_str());
    const std::string box = fake::boxes().empty() ? "" : fake::boxes()[0].text;
    EXPECT_LE(fake::boxes().size(), 1u);
    // Refusals of our own name the file first; those with a given text stand alone.
    if (c.refusal)
        EXPECT_TRUE(box == c.refusal || box == bmp + ": " + c.refusal) << box;
    else
        EXPECT_EQ(box, "");
    if (!record)
        return;
    const testutil::Picture expected = testutil::readPng(bmp.substr(0, bmp.size() - 4) + ".png");
    ASSERT_EQ(record->width, c.reference ? expected.width : 127);
    ASSERT_EQ(record->height, c.reference ? expected.height : 64);
    // The record starts with the bottom row; the reference with the top row.
    const size_t rowBytes = size_t(record->width) * 3;
    int mismatches = 0;
    for (size_t i = 0; i < expected.rgb.size(); ++i) {
        const size_t y = i / rowBytes, x = i % rowBytes;
        const int got = record->pixels[(size_t(expected.height) - 1 - y) * rowBytes + x], want = expected.rgb[i];
        if (std::abs(got - want) > c.tolerance && ++mismatches <= 5)
            ADD_FAILURE() << "row " << y << " pixel " << x / 3 << " channel " << x % 3 << ": " << got << " != " << want;
    }
    freeImageRecord(record);
}

INSTANTIATE_TEST_SUITE_P(Bmpsuite, Suite, testing::ValuesIn(cases()), [](const auto& info) {
    std::string name = info.param.file;
    std::replace_if(name.begin(), name.end(), [](unsigned char ch) { return !std::isalnum(ch); }, '_');
    return name;
});

}  // namespace
