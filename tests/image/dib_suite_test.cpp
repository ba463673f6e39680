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

// One decision per questionable or bad file. In those decoded like the reference, RLE-skipped
// pixels are black, an oversized OS/2 table still lies inside the file, the image size field is
// never trusted, indices past the table are black and a zero blue mask gives blue 0.
std::vector<SuiteCase> cases()
{
    std::vector<SuiteCase> all;
    for (const char* f :
         {"g/pal1.bmp", "g/pal1bg.bmp", "g/pal1wb.bmp", "g/pal4.bmp", "g/pal4gs.bmp", "g/pal4rle.bmp",
          "g/pal8-0.bmp", "g/pal8.bmp", "g/pal8gs.bmp", "g/pal8nonsquare.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp",
          "g/pal8topdown.bmp", "g/pal8w124.bmp", "g/pal8w125.bmp", "g/pal8w126.bmp", "g/rgb16-565.bmp",
          "g/rgb16-565pal.bmp", "g/rgb16.bmp", "g/rgb16bfdef.bmp", "g/rgb24.bmp", "g/rgb24pal.bmp", "g/rgb32.bmp",
          "g/rgb32bf.bmp", "g/rgb32bfdef.bmp", "q/pal1p1.bmp", "q/pal4rlecut.bmp", "q/pal4rletrns.bmp",
          "q/pal8offs.bmp", "q/pal8os2-hs.bmp", "q/pal8os2-sz.bmp", "q/pal8os2sp.bmp", "q/pal8os2v2-40sz.bmp",
          "q/pal8oversizepal.bmp", "q/pal8rlecut.bmp", "q/pal8rletrns.bmp", "q/rgb16-231.bmp", "q/rgb16-3103.bmp",
          "q/rgb16faketrns.bmp", "q/rgb24largepal.bmp", "q/rgb32fakealpha.bmp", "b/badbitssize.bmp",
          "b/baddens1.bmp", "b/baddens2.bmp", "b/badfilesize.bmp", "b/pal8badindex.bmp", "b/rgb16-880.bmp"})
        all.push_back({f});
    all.push_back({"q/rgb32-111110.bmp", nullptr, 1});
    all.push_back({"q/rgb32-7187.bmp", nullptr, 1});
    // Broken RLE streams: runs clipped at the row end, a delta past the picture ends it. A
    // colour count beyond 2^bits: the entries ahead of the bits are used.
    for (const char* f : {"b/badrle.bmp", "b/badrle4.bmp", "b/badrle4bis.bmp", "b/badrle4ter.bmp", "b/badrlebis.bmp",
                          "b/badrleter.bmp", "b/badpalettesize.bmp"})
        all.push_back({f, nullptr, 0, false});
    for (const char* f :
         {"g/pal8v4.bmp", "g/pal8v5.bmp", "q/pal1huffmsb.bmp", "q/pal8os2v2-16.bmp", "q/pal8os2v2-sz.bmp",
          "q/pal8os2v2.bmp", "q/rgb24jpeg.bmp", "q/rgb24lprof.bmp", "q/rgb24png.bmp", "q/rgb24rle24.bmp",
          "q/rgb32-xbgr.bmp", "q/rgb32h52.bmp", "q/rgba16-1924.bmp", "q/rgba16-4444.bmp", "q/rgba16-5551.bmp",
          "q/rgba32-1.bmp", "q/rgba32-1010102.bmp", "q/rgba32-2.bmp", "q/rgba32-61754.bmp", "q/rgba32-81284.bmp",
          "q/rgba32h56.bmp", "b/badheadersize.bmp"})
        all.push_back({f, dib::kMsgUnknownFormat});
    for (const char* f : {"q/pal2.bmp", "q/pal2color.bmp", "q/rgba32abf.bmp", "q/rgba64.bmp", "b/badbitcount.bmp",
                          "b/badplanes.bmp"})
        all.push_back({f, dib::kMsgConversion});
    all.push_back({"b/badwidth.bmp", dib::kMsgDimensions});
    all.push_back({"b/reallybig.bmp", dib::kMsgDimensions});
    all.push_back({"b/rletopdown.bmp", dib::kMsgTopDownRle});
    all.push_back({"b/shortfile.bmp", dib::kMsgTruncated});
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

// A file added to the collection must get a decision above.
TEST(Bmpsuite, EveryFileHasADecision)
{
    const std::vector<SuiteCase> all = cases();
    for (const char* dir : {"g", "q", "b"})
        for (const auto& entry : std::filesystem::directory_iterator(kSuite + dir)) {
            const std::string name = std::string(dir) + "/" + entry.path().filename().string();
            EXPECT_TRUE(entry.path().extension() != ".bmp" ||
                        std::any_of(all.begin(), all.end(), [&](const SuiteCase& c) { return name == c.file; }))
                << name;
        }
}

}  // namespace
