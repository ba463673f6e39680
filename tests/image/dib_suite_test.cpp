// Every file of the bmpsuite collection through the loader: good files match their reference
// pictures exactly, the others are either decoded the same way or refused with one message.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "image/dib.h"
#include "image/dib_decode.h"
#include "tests/support/fake_msgbox.h"

namespace {

const std::string kSuite = std::string(VAVARIZO_SHARED_DIR) + "/testdata/bmpsuite/";

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first
};

bool readPng(const std::string& path, Picture& out)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    out.width = int(image.width);
    out.height = int(image.height);
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) != 0;
}

struct SuiteCase {
    const char* file;
    const char* refusal;  // null: decodes to the .png beside it
    int tolerance;        // per channel, for channels wider than 8 bits
    bool reference = true;  // false: decodes safely, but no reference picture exists
};

std::ostream& operator<<(std::ostream& os, const SuiteCase& c) { return os << c.file; }

// Decisions for the questionable and bad files are made here, one per file.
const SuiteCase kCases[] = {
    {"g/pal1.bmp", nullptr, 0},
    {"g/pal1bg.bmp", nullptr, 0},
    {"g/pal1wb.bmp", nullptr, 0},
    {"g/pal4.bmp", nullptr, 0},
    {"g/pal4gs.bmp", nullptr, 0},
    {"g/pal4rle.bmp", nullptr, 0},
    {"g/pal8-0.bmp", nullptr, 0},
    {"g/pal8.bmp", nullptr, 0},
    {"g/pal8gs.bmp", nullptr, 0},
    {"g/pal8nonsquare.bmp", nullptr, 0},
    {"g/pal8os2.bmp", nullptr, 0},
    {"g/pal8rle.bmp", nullptr, 0},
    {"g/pal8topdown.bmp", nullptr, 0},  // flipped into bottom-up order
    {"g/pal8v4.bmp", dib::kMsgUnknownFormat, 0},
    {"g/pal8v5.bmp", dib::kMsgUnknownFormat, 0},
    {"g/pal8w124.bmp", nullptr, 0},
    {"g/pal8w125.bmp", nullptr, 0},
    {"g/pal8w126.bmp", nullptr, 0},
    {"g/rgb16-565.bmp", nullptr, 0},
    {"g/rgb16-565pal.bmp", nullptr, 0},
    {"g/rgb16.bmp", nullptr, 0},
    {"g/rgb16bfdef.bmp", nullptr, 0},
    {"g/rgb24.bmp", nullptr, 0},
    {"g/rgb24pal.bmp", nullptr, 0},
    {"g/rgb32.bmp", nullptr, 0},
    {"g/rgb32bf.bmp", nullptr, 0},
    {"g/rgb32bfdef.bmp", nullptr, 0},

    {"q/pal1huffmsb.bmp", dib::kMsgUnknownFormat, 0},
    {"q/pal1p1.bmp", nullptr, 0},
    {"q/pal2.bmp", dib::kMsgConversion, 0},  // 2 bits per pixel is no DIB encoding
    {"q/pal2color.bmp", dib::kMsgConversion, 0},
    {"q/pal4rlecut.bmp", nullptr, 0},  // skipped pixels black
    {"q/pal4rletrns.bmp", nullptr, 0},
    {"q/pal8offs.bmp", nullptr, 0},
    {"q/pal8os2-hs.bmp", nullptr, 0},
    {"q/pal8os2-sz.bmp", nullptr, 0},
    {"q/pal8os2sp.bmp", nullptr, 0},  // 256 entries assumed; they still lie inside the file
    {"q/pal8os2v2-16.bmp", dib::kMsgUnknownFormat, 0},
    {"q/pal8os2v2-40sz.bmp", nullptr, 0},
    {"q/pal8os2v2-sz.bmp", dib::kMsgUnknownFormat, 0},
    {"q/pal8os2v2.bmp", dib::kMsgUnknownFormat, 0},
    {"q/pal8oversizepal.bmp", nullptr, 0},
    {"q/pal8rlecut.bmp", nullptr, 0},
    {"q/pal8rletrns.bmp", nullptr, 0},
    {"q/rgb16-231.bmp", nullptr, 0},
    {"q/rgb16-3103.bmp", nullptr, 0},
    {"q/rgb16faketrns.bmp", nullptr, 0},
    {"q/rgb24jpeg.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgb24largepal.bmp", nullptr, 0},
    {"q/rgb24lprof.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgb24png.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgb24rle24.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgb32-111110.bmp", nullptr, 1},
    {"q/rgb32-7187.bmp", nullptr, 1},
    {"q/rgb32-xbgr.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgb32fakealpha.bmp", nullptr, 0},
    {"q/rgb32h52.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba16-1924.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba16-4444.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba16-5551.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba32-1.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba32-1010102.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba32-2.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba32-61754.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba32-81284.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba32abf.bmp", dib::kMsgConversion, 0},  // compression 6 is not a DIB compression
    {"q/rgba32h56.bmp", dib::kMsgUnknownFormat, 0},
    {"q/rgba64.bmp", dib::kMsgConversion, 0},

    {"b/badbitcount.bmp", dib::kMsgConversion, 0},
    {"b/badbitssize.bmp", nullptr, 0},  // the image size field is never trusted
    {"b/baddens1.bmp", nullptr, 0},
    {"b/baddens2.bmp", nullptr, 0},
    {"b/badfilesize.bmp", nullptr, 0},
    {"b/badheadersize.bmp", dib::kMsgUnknownFormat, 0},
    {"b/badpalettesize.bmp", dib::kMsgColourTable, 0},
    {"b/badplanes.bmp", dib::kMsgConversion, 0},
    {"b/badrle.bmp", nullptr, 0, false},  // runs clipped at the row end
    {"b/badrle4.bmp", nullptr, 0, false},
    {"b/badrle4bis.bmp", nullptr, 0, false},  // delta past the picture ends it
    {"b/badrle4ter.bmp", nullptr, 0, false},
    {"b/badrlebis.bmp", nullptr, 0, false},
    {"b/badrleter.bmp", nullptr, 0, false},
    {"b/badwidth.bmp", dib::kMsgDimensions, 0},
    {"b/pal8badindex.bmp", nullptr, 0},  // indices past the table are black
    {"b/reallybig.bmp", dib::kMsgDimensions, 0},
    {"b/rgb16-880.bmp", nullptr, 0},  // zero blue mask: blue is 0
    {"b/rletopdown.bmp", dib::kMsgTopDownRle, 0},
    {"b/shortfile.bmp", dib::kMsgTruncated, 0},
};

class Suite : public testing::TestWithParam<SuiteCase> {
protected:
    void SetUp() override { fake::resetBoxes(); }
};

TEST_P(Suite, DecodesOrRefusesAsDecided)
{
    const SuiteCase& c = GetParam();
    const std::string bmp = kSuite + c.file;
    ImageRecord* record = loadDibImage(bmp.c_str());

    if (c.refusal) {
        EXPECT_EQ(record, nullptr);
        ASSERT_EQ(fake::boxes().size(), 1u);
        EXPECT_EQ(fake::boxes()[0].text, c.refusal);
        freeImageRecord(record);
        return;
    }

    ASSERT_NE(record, nullptr) << (fake::boxes().empty() ? "" : fake::boxes()[0].text);
    EXPECT_TRUE(fake::boxes().empty());
    if (!c.reference) {
        EXPECT_EQ(record->width, 127);
        EXPECT_EQ(record->height, 64);
        freeImageRecord(record);
        return;
    }
    const std::string png = bmp.substr(0, bmp.size() - 4) + ".png";
    Picture expected;
    ASSERT_TRUE(readPng(png, expected)) << png;
    ASSERT_EQ(record->width, expected.width);
    ASSERT_EQ(record->height, expected.height);

    // The record starts with the bottom row; the reference with the top row.
    const size_t rowBytes = size_t(expected.width) * 3;
    int mismatches = 0;
    for (int y = 0; y < expected.height && mismatches < 5; ++y) {
        const unsigned char* got = record->pixels + size_t(expected.height - 1 - y) * rowBytes;
        const unsigned char* want = expected.rgb.data() + size_t(y) * rowBytes;
        for (size_t i = 0; i < rowBytes; ++i) {
            if (std::abs(int(got[i]) - int(want[i])) > c.tolerance && ++mismatches <= 5)
                ADD_FAILURE() << "row " << y << " pixel " << i / 3 << " channel " << i % 3
                              << ": got " << int(got[i]) << ", want " << int(want[i]);
        }
    }
    freeImageRecord(record);
}

INSTANTIATE_TEST_SUITE_P(Bmpsuite, Suite, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SuiteCase>& info) {
                             std::string name = info.param.file;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

// A file added to the collection must get a decision above.
TEST(Bmpsuite, EveryFileHasADecision)
{
    for (const char* dir : {"g", "q", "b"}) {
        for (const auto& entry : std::filesystem::directory_iterator(kSuite + dir)) {
            if (entry.path().extension() != ".bmp")
                continue;
            const std::string name = std::string(dir) + "/" + entry.path().filename().string();
            const bool listed = std::any_of(std::begin(kCases), std::end(kCases),
                                            [&](const SuiteCase& c) { return name == c.file; });
            EXPECT_TRUE(listed) << name;
        }
    }
}

}  // namespace
