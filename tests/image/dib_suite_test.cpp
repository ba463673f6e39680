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

// Every file decodes to the .png beside it unless named below. Among those: RLE-skipped pixels
// are black, an oversized OS/2 table still lies inside the file, the image size field is never
// trusted, indices past the table are black and a zero blue mask gives blue 0.
const std::pair<const char*, std::vector<std::string>> kRefused[] = {
    {dib::kMsgUnknownFormat,
     {"g/pal8v4", "g/pal8v5", "q/pal1huffmsb", "q/pal8os2v2-16", "q/pal8os2v2-sz", "q/pal8os2v2", "q/rgb24jpeg",
      "q/rgb24lprof", "q/rgb24png", "q/rgb24rle24", "q/rgb32-xbgr", "q/rgb32h52", "q/rgba16-1924", "q/rgba16-4444",
      "q/rgba16-5551", "q/rgba32-1", "q/rgba32-1010102", "q/rgba32-2", "q/rgba32-61754", "q/rgba32-81284",
      "q/rgba32h56", "b/badheadersize"}},
    {dib::kMsgConversion, {"q/pal2", "q/pal2color", "q/rgba32abf", "q/rgba64", "b/badbitcount", "b/badplanes"}},
    {dib::kMsgDimensions, {"b/badwidth", "b/reallybig"}},
    {dib::kMsgTopDownRle, {"b/rletopdown"}},
    {dib::kMsgTruncated, {"b/shortfile"}},
};
// Broken RLE streams: runs clipped at the row end, a delta past the picture ends it. A colour
// count beyond 2^bits: the entries ahead of the bits are used.
const std::vector<std::string> kWithoutReference = {"b/badrle", "b/badrle4", "b/badrle4bis", "b/badrle4ter",
                                                    "b/badrlebis", "b/badrleter", "b/badpalettesize"};

SuiteCase decision(const std::string& name)
{
    const std::string file = name + ".bmp";
    for (const auto& [message, names] : kRefused)
        if (std::count(names.begin(), names.end(), name))
            return {file, message};
    if (std::count(kWithoutReference.begin(), kWithoutReference.end(), name))
        return {file, nullptr, 0, false};
    return {file, nullptr, name == "q/rgb32-111110" || name == "q/rgb32-7187" ? 1 : 0};
}

std::vector<SuiteCase> cases()
{
    std::vector<SuiteCase> all;
    for (const char* dir : {"g", "q", "b"})
        for (const auto& entry : std::filesystem::directory_iterator(kSuite + dir))
            if (entry.path().extension() == ".bmp")
                all.push_back(decision(std::string(dir) + "/" + entry.path().stem().string()));
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
    const bool alone = c.refusal == dib::kMsgUnknownFormat || c.refusal == dib::kMsgConversion;
    EXPECT_EQ(box, !c.refusal ? "" : alone ? std::string(c.refusal) : bmp + ": " + c.refusal);
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
