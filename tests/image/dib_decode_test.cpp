// Hand-made files for what the bmpsuite collection lacks: packed DIBs, odd colour counts, core
// header limits, masks, RLE streams, and the refusals at their limits.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "image/dib.h"

// Designated initializers leave the other fields at their defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include "image/dib_convert.h"
#include "image/dib_decode.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Rgb = std::array<unsigned char, 3>;

void put16(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void put32(Bytes& b, uint32_t v) { put16(b, v & 0xFFFF), put16(b, v >> 16); }

// A DIB as a file holds it; by default a bottom-up 1 x 1 24-bit picture with a 40-byte header.
struct DibFile {
    uint32_t headerSize = 40;
    int32_t width = 1, height = 1;
    uint16_t planes = 1, bitCount = 24;
    uint32_t compression = 0, colorsUsed = 0;
    std::vector<uint32_t> masks;
    std::vector<Rgb> colours;
    Bytes bits;
    bool fileHeader = true;

    Bytes bytes() const
    {
        Bytes dib;
        put32(dib, headerSize);
        if (headerSize == 12) {
            for (const uint32_t v : {uint32_t(width), uint32_t(height), uint32_t(planes), uint32_t(bitCount)})
                put16(dib, v);
        } else {
            put32(dib, uint32_t(width)), put32(dib, uint32_t(height)), put16(dib, planes), put16(dib, bitCount);
            for (const uint32_t v : {compression, 0u, 2835u, 2835u, colorsUsed, 0u})
                put32(dib, v);
            for (const uint32_t m : masks)
                put32(dib, m);
        }
        for (const Rgb& c : colours) {
            dib.insert(dib.end(), {c[2], c[1], c[0]});
            if (headerSize != 12)
                dib.push_back(0);
        }
        Bytes out;
        if (fileHeader) {
            out = {'B', 'M'};
            put32(out, uint32_t(14 + dib.size() + bits.size())), put32(out, 0), put32(out, uint32_t(14 + dib.size()));
        }
        out.insert(out.end(), dib.begin(), dib.end());
        out.insert(out.end(), bits.begin(), bits.end());
        return out;
    }
};

struct Decoded {
    int32_t width = 0, height = 0;
    Bytes pixels;
    std::string error;
};

Decoded decodeBytes(const Bytes& file, int32_t maxSide = dib::kMaxSide)
{
    const dib::DecodeResult r = dib::decode(file.data(), file.size(), maxSide);
    Decoded d;
    EXPECT_NE(r.record == nullptr, r.error == nullptr) << "a result is a picture or a reason";
    if (r.error)
        d.error = r.error;
    if (r.record) {
        d.width = r.record->width, d.height = r.record->height;
        d.pixels.assign(r.record->pixels, r.record->pixels + size_t(d.width) * size_t(d.height) * 3);
    }
    freeImageRecord(r.record);
    return d;
}

Rgb paletteColour(uint32_t i) { return {uint8_t(i * 7 + 1), uint8_t(255 - i), uint8_t(i * 3)}; }

// Without a file header the bits follow the colour table, whose length the header decides.
TEST(DibLayout, PackedDibsTakeTheBitsRightAfterTheTable)
{
    // Two colours in use: index 2 lies past the table and is black.
    const DibFile pal{.width = 3, .bitCount = 8, .colorsUsed = 2, .colours = {{10, 20, 30}, {40, 50, 60}},
                      .bits = {1, 0, 2, 0}, .fileHeader = false};
    EXPECT_EQ(decodeBytes(pal.bytes()).pixels, Bytes({40, 50, 60, 10, 20, 30, 0, 0, 0}));

    const DibFile rgb{.colorsUsed = 3, .colours = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}, .bits = {7, 8, 9, 0},
                      .fileHeader = false};
    EXPECT_EQ(decodeBytes(rgb.bytes()).pixels, Bytes({9, 8, 7}));
    const DibFile fields{.bitCount = 16, .compression = dib::kBiBitFields, .masks = {0xF800, 0x07E0, 0x001F},
                         .bits = {0xE0, 0x07, 0, 0}, .fileHeader = false};
    EXPECT_EQ(decodeBytes(fields.bytes()).pixels, Bytes({0, 255, 0}));
    // A 4-bit table without a count holds 16 entries.
    DibFile nibbles{.bitCount = 4, .bits = {0xF0, 0, 0, 0}, .fileHeader = false};
    for (uint8_t i = 0; i < 16; ++i)
        nibbles.colours.push_back({i, i, i});
    EXPECT_EQ(decodeBytes(nibbles.bytes()).pixels, Bytes({15, 15, 15}));
}

// More colours than the bits can index, even a count whose 16 bits read 0: the entries ahead
// of the bits are used, never a black picture.
TEST(DibLayout, OversizedColourCountsKeepTheTableAheadOfTheBits)
{
    const struct { uint32_t used, entries; Rgb last; } cases[] = {
        {65536, 256, paletteColour(255)}, {1000, 16, {0, 0, 0}}};
    for (const auto& c : cases) {
        DibFile f{.width = 2, .bitCount = 8, .colorsUsed = c.used, .bits = {1, 255, 0, 0}};
        for (uint32_t i = 0; i < c.entries; ++i)
            f.colours.push_back(paletteColour(i));
        const Rgb one = paletteColour(1);
        EXPECT_EQ(decodeBytes(f.bytes()).pixels, Bytes({one[0], one[1], one[2], c.last[0], c.last[1], c.last[2]}))
            << c.used;
    }
}

// A top-down file fills the rows from the last one stored: a pixel put past a row's end would
// land on the row stored after it, which is already filled. Here it would be white.
TEST(DibLayout, RowsEndAtTheirWidth)
{
    const DibFile f{.width = 9, .height = -2, .bitCount = 1, .colours = {{0, 0, 0}, {255, 255, 255}},
                    .bits = {0, 0x40, 0, 0, 0, 0x40, 0, 0}};
    EXPECT_EQ(decodeBytes(f.bytes()).pixels, Bytes(9 * 2 * 3, 0));
}

// Core header sizes are unsigned 16-bit: 0x8000 rows is a tall bottom-up picture, not a negative one.
TEST(DibLayout, CoreHeaderSizesAreUnsigned)
{
    DibFile f{.headerSize = 12, .height = 0x8000, .bitCount = 1, .colours = {{0, 0, 0}, {255, 255, 255}}};
    f.bits.assign(4 * 0x8000, 0x80);
    const Decoded d = decodeBytes(f.bytes());
    ASSERT_EQ(d.error, "");
    EXPECT_EQ(d.height, 32768);
    f.width = 0x9000;
    EXPECT_EQ(decodeBytes(f.bytes()).error, dib::kMsgDimensions);
}

TEST(BitFields, ChannelsOfAnyWidthScaleByRoundingAndBadMasksAreRefused)
{
    const struct { uint16_t bitCount; uint32_t red, green, blue, pixel; Rgb rgb; const char* error; } cases[] = {
        {16, 0x0000, 0xFFFF, 0x0000, 0x8000, {0, 128, 0}, ""},      // one 16-bit channel, red absent
        {32, 0x3FF00000, 0x000FFC00, 0x000003FF, 511u << 20 | 512u << 10 | 1023, {127, 128, 255}, ""},
        {32, 0xFFFFFFFF, 0, 0, 0x80000000, {128, 0, 0}, ""},
        {32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xAB332211, {0x11, 0x22, 0x33}, ""},
        {16, 0, 0, 0, 0, {}, dib::kMsgMasks},
        {16, 0xF801, 0x07E0, 0x001E, 0, {}, dib::kMsgMasks},    // a hole
        {16, 0xF800, 0x0FE0, 0x001F, 0, {}, dib::kMsgMasks},    // overlap
        {16, 0x1F0000, 0x07E0, 0x001F, 0, {}, dib::kMsgMasks},  // outside 16 bits
        {32, 0xFFFFFFFF, 0xFF00, 0xFF, 0, {}, dib::kMsgMasks},
    };
    for (const auto& c : cases) {
        DibFile f{.bitCount = c.bitCount, .compression = dib::kBiBitFields, .masks = {c.red, c.green, c.blue}};
        put32(f.bits, c.pixel);  // one pixel and its row padding
        const Decoded d = decodeBytes(f.bytes());
        EXPECT_EQ(d.error, c.error) << std::hex << c.red << " " << c.green << " " << c.blue;
        EXPECT_EQ(d.pixels, *c.error ? Bytes() : Bytes(c.rgb.begin(), c.rgb.end())) << std::hex << c.pixel;
    }
}

DibFile rleFile(uint16_t bitCount, int width, int height, Bytes stream)
{
    DibFile f{.width = width, .height = height, .bitCount = bitCount,
              .compression = bitCount == 8 ? dib::kBiRle8 : dib::kBiRle4, .bits = std::move(stream)};
    for (uint32_t i = 0; i < (1u << bitCount); ++i)
        f.colours.push_back({uint8_t(i), uint8_t(i + 100), uint8_t(i + 200)});
    return f;
}

// Rows bottom first, one character per pixel: '.' black, '0'..'9' and 'a'..'f' palette entries.
TEST(Rle, DecodesTheStream)
{
    const struct {
        const char* name;
        uint16_t bitCount;
        int width;
        Bytes stream;
        std::vector<std::string> rows;
    } cases[] = {
        {"run clipped at the row end", 8, 3, {9, 4, 0, 0, 1, 8, 0, 1}, {"444", "8.."}},
        {"clipped literal stays in step", 8, 2, {0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 2, 9, 0, 1}, {"12", "99"}},
        {"delta out of the picture ends it", 8, 2, {1, 3, 0, 2, 0, 9, 1, 4, 0, 1}, {"3.", ".."}},
        {"delta past the row end clips", 8, 3, {0, 2, 200, 0, 2, 5, 0, 0, 1, 6, 0, 1}, {"...", "6.."}},
        {"no end of bitmap", 8, 2, {2, 1, 0, 0, 2, 2, 0, 0}, {"11", "22"}},
        // Wide rows: what a short run leaves ahead of the stream must not survive a skip.
        {"short runs before each skip", 8, 12, {2, 7, 0, 0, 1, 8, 0, 2, 3, 0, 3, 9, 0, 0, 4, 5, 0, 1},
         {"77..........", "8...999.....", "5555........"}},
        {"literal inside a run's wake", 8, 12, {1, 6, 0, 3, 1, 2, 3, 0, 0, 2, 2, 0, 2, 4, 0, 1}, {"6123..44...."}},
        {"RLE4 odd literals are padded", 4, 9, {0, 3, 0x12, 0x30, 0, 5, 0x45, 0x67, 0x80, 0x00, 1, 0x90, 0, 1},
         {"123456789"}},
        {"RLE4 run clipped at the row end", 4, 3, {7, 0x12, 0, 0, 1, 0xF0, 0, 1}, {"121", "f.."}},
    };
    for (const auto& c : cases) {
        Bytes want;
        for (const std::string& row : c.rows)
            for (const char ch : row) {
                const uint8_t i = uint8_t(ch <= '9' ? ch - '0' : ch - 'a' + 10);
                const Rgb rgb = ch == '.' ? Rgb{0, 0, 0} : Rgb{i, uint8_t(i + 100), uint8_t(i + 200)};
                want.insert(want.end(), rgb.begin(), rgb.end());
            }
        const Decoded d = decodeBytes(rleFile(c.bitCount, c.width, int(c.rows.size()), c.stream).bytes());
        EXPECT_EQ(d.error, "") << c.name;
        EXPECT_EQ(d.pixels, want) << c.name;
    }
}

TEST(Refusal, EachBrokenRuleHasItsMessage)
{
    // A 2 x 2 picture with `change` made, cut to `cut` bytes, then its bits offset set to `offset`.
    const auto with = [](const std::function<void(DibFile&)>& change, size_t cut = 0, int offset = -1) {
        DibFile f{.width = 2, .height = 2};
        f.bits.assign(16, 0);
        change(f);
        Bytes b = f.bytes();
        b.resize(cut ? cut : b.size());
        if (offset >= 0)
            b[10] = uint8_t(offset), b[11] = uint8_t(offset >> 8);
        return b;
    };
    const auto same = [](DibFile&) {};
    const auto twoColours = [](DibFile& f) { f.bitCount = 8, f.colorsUsed = 2, f.colours = {{1, 1, 1}, {2, 2, 2}}; };
    const struct { const char* name; Bytes file; const char* message; } cases[] = {
        {"Empty", {}, dib::kMsgTruncated},
        {"FileHeaderOnly", with(same, 14), dib::kMsgTruncated},
        {"TruncatedHeader", with(same, 14 + 30), dib::kMsgTruncated},
        {"ColourTableOutside", with([](DibFile& f) { f.colorsUsed = 20; }), dib::kMsgColourTable},
        {"TableEndsTheFile", with([](DibFile& f) { f.fileHeader = false, f.bitCount = 1, f.colours = {{}, {}}, f.bits = {}; }),
         dib::kMsgTruncated},
        {"BitsOffsetOutside", with(same, 0, 0xFFFF), dib::kMsgBitsOffset},
        {"BitsOffsetAtTheEnd", with(same, 0, 14 + 40 + 16), dib::kMsgBitsOffset},
        {"BitsOffsetInHeader", with(same, 0, 0), dib::kMsgBitsInside},
        {"BitsOffsetInTable", with(twoColours, 0, 14 + 40 + 4), dib::kMsgBitsInside},
        {"NoRoomForColours", with([](DibFile& f) { f.bitCount = 8, f.colorsUsed = 65536; }), dib::kMsgNoColours},
        {"PackedCountBeyond16Bits", with([](DibFile& f) { f.fileHeader = false, f.bitCount = 8, f.colorsUsed = 65536; }),
         dib::kMsgColourCount},
        {"MasksCut", with([](DibFile& f) {
             f.fileHeader = false, f.bitCount = 16, f.compression = dib::kBiBitFields, f.masks = {0xF800};
             f.bits.clear();
         }), dib::kMsgTruncated},
        {"CompressionJpeg", with([](DibFile& f) { f.compression = 4; }), dib::kMsgConversion},
        {"Rle8At4Bits", with([](DibFile& f) { f.bitCount = 4, f.compression = dib::kBiRle8; }), dib::kMsgCompression},
        {"BitFieldsAt24Bits", with([](DibFile& f) { f.compression = dib::kBiBitFields, f.masks = {0xFF0000, 0xFF00, 0xFF}; }),
         dib::kMsgCompression},
        {"WidthZero", with([](DibFile& f) { f.width = 0; }), dib::kMsgDimensions},
        {"WidthBeyondLimit", with([](DibFile& f) { f.width = 32769; }), dib::kMsgDimensions},
        {"HeightBeyondLimit", with([](DibFile& f) { f.height = -32769; }), dib::kMsgDimensions},
        {"HeightMostNegative", with([](DibFile& f) { f.height = INT32_MIN; }), dib::kMsgDimensions},
        {"OverAGibibyte", with([](DibFile& f) { f.width = 32768, f.height = 32768; }), dib::kMsgTooLarge},
        // An RLE stream that stops before the picture: no end code, half a delta, a literal cut short.
        {"RleNoEnd", rleFile(8, 2, 2, {2, 1}).bytes(), dib::kMsgTruncated},
        {"RleHalfADelta", rleFile(8, 2, 2, {0, 2, 1}).bytes(), dib::kMsgTruncated},
        {"RleLiteralCut", rleFile(8, 2, 2, {0, 5, 1, 2, 3, 4}).bytes(), dib::kMsgTruncated},
        {"RleJustOverAGibibyte", rleFile(8, 32768, 10923, {0, 1}).bytes(), dib::kMsgTooLarge},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeBytes(c.file).error, c.message) << c.name;
    // The caller's own limit (its largest texture) refuses before anything is decoded.
    EXPECT_EQ(decodeBytes(rleFile(8, 2, 3, {0, 1}).bytes(), 2).error, dib::kMsgOverLimit);
}

TEST(Refusal, LargestAcceptedSizes)
{
    DibFile wide{.width = 32768, .bitCount = 1, .colours = {{0, 0, 0}, {9, 9, 9}}};
    wide.bits.assign(32768 / 8, 0xFF);
    const Decoded d = decodeBytes(wide.bytes());
    ASSERT_EQ(d.error, "");
    EXPECT_EQ(d.pixels.size(), 32768u * 3);
    EXPECT_EQ(d.pixels.back(), 9);
    // A few bytes of RLE may stand for a black picture just under the limit.
    const Bytes big = rleFile(8, 32768, 10922, {0, 1}).bytes();
    const dib::DecodeResult r = dib::decode(big.data(), big.size());
    EXPECT_NE(r.record, nullptr) << r.error;
    freeImageRecord(r.record);
}

}  // namespace
