#include "image/dib_decode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "image/dib_convert.h"
#include "platform/memory_advice.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

uint16_t read16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

uint32_t read32(const unsigned char* p)
{
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// The standard 40-byte info header that both header kinds are rebuilt into.
struct InfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};

InfoHeader rebuildHeader(const unsigned char* h, uint32_t headerSize, uint16_t count)
{
    InfoHeader info{};
    info.size = kInfoHeaderSize;
    if (headerSize == kCoreHeaderSize) {
        // The core header's 16-bit sizes are unsigned, so never top-down.
        info.width = read16(h + 4);
        info.height = read16(h + 6);
        info.planes = read16(h + 8);
        info.bitCount = read16(h + 10);
        info.compression = dib::kBiRgb;
        info.clrUsed = count;
        info.clrImportant = count;
    }
    else {
        info.width = int32_t(read32(h + 4));
        info.height = int32_t(read32(h + 8));
        info.planes = read16(h + 12);
        info.bitCount = read16(h + 14);
        info.compression = read32(h + 16);
        info.sizeImage = read32(h + 20);
        info.xPelsPerMeter = int32_t(read32(h + 24));
        info.yPelsPerMeter = int32_t(read32(h + 28));
        info.clrUsed = read32(h + 32);
        info.clrImportant = read32(h + 36);
    }
    if (info.sizeImage == 0) {
        // Unpadded rows, as the header has always been completed; the conversion measures
        // the bits itself and never relies on this field.
        const uint64_t rowBytes = (uint64_t{info.bitCount} * uint32_t(info.width) + 7) / 8;
        info.sizeImage = uint32_t(rowBytes * uint32_t(info.height));
    }
    if (info.clrUsed == 0)
        info.clrUsed = count;
    return info;
}

bool fitsBitCount(uint32_t compression, uint16_t bitCount)
{
    switch (compression) {
    case dib::kBiRgb: return true;
    case dib::kBiRle8: return bitCount == 8;
    case dib::kBiRle4: return bitCount == 4;
    case dib::kBiBitFields: return bitCount == 16 || bitCount == 32;
    default: return false;
    }
}

bool knownBitCount(uint16_t bitCount)
{
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: return true;
    default: return false;
    }
}

dib::DecodeResult fail(const char* message) { return {nullptr, message}; }

}  // namespace

uint16_t dibColorCount(const void* header)
{
    const auto* h = static_cast<const unsigned char*>(header);
    uint16_t bitCount;
    if (read32(h) == kCoreHeaderSize) {
        bitCount = read16(h + 10);
    }
    else {
        const uint32_t used = read32(h + 32);
        if (used != 0)
            return uint16_t(used);
        bitCount = read16(h + 14);
    }
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// Lives beside the allocations it releases, so callers of the decoder alone need nothing else.
void freeImageRecord(ImageRecord* record)
{
    if (!record)
        return;
    std::free(record->pixels);
    std::free(record);
}

namespace dib {

DecodeResult decode(const unsigned char* data, size_t size, int32_t maxSide)
{
    // File header or packed DIB.
    const bool hasFileHeader = size >= 2 && data[0] == 'B' && data[1] == 'M';
    size_t headerAt = 0;
    uint32_t bitsOffset = 0;
    if (hasFileHeader) {
        if (size < kFileHeaderSize)
            return fail(kMsgTruncated);
        bitsOffset = read32(data + 10);
        headerAt = kFileHeaderSize;
    }
    if (size - headerAt < 4)
        return fail(kMsgTruncated);
    const unsigned char* h = data + headerAt;
    const uint32_t headerSize = read32(h);
    if (headerSize != kCoreHeaderSize && headerSize != kInfoHeaderSize)
        return fail(kMsgUnknownFormat);
    if (size - headerAt < headerSize)
        return fail(kMsgTruncated);

    const uint16_t count = dibColorCount(h);
    const InfoHeader info = rebuildHeader(h, headerSize, count);

    if (info.planes != 1 || !knownBitCount(info.bitCount) || info.compression > kBiBitFields)
        return fail(kMsgConversion);
    if (!fitsBitCount(info.compression, info.bitCount))
        return fail(kMsgCompression);
    if (info.width <= 0 || info.height == 0 || info.width > kMaxSide || info.height > kMaxSide ||
        info.height < -kMaxSide)
        return fail(kMsgDimensions);
    const bool topDown = info.height < 0;
    const int32_t rows = topDown ? -info.height : info.height;
    if (info.width > maxSide || rows > maxSide)
        return fail(kMsgOverLimit);
    const bool rle = info.compression == kBiRle8 || info.compression == kBiRle4;
    if (topDown && rle)
        return fail(kMsgTopDownRle);
    const size_t pixelBytes = size_t(info.width) * size_t(rows) * 3;
    if (pixelBytes > kMaxPixelBytes)
        return fail(kMsgTooLarge);

    // Bit-field masks follow a 40-byte header, ahead of any colour table.
    size_t tableAt = headerAt + headerSize;
    Masks masks{};
    if (info.compression == kBiBitFields) {
        if (size - tableAt < 12)
            return fail(kMsgTruncated);
        masks = {read32(data + tableAt), read32(data + tableAt + 4), read32(data + tableAt + 8)};
        tableAt += 12;
        if (!validMasks(masks, info.bitCount))
            return fail(kMsgMasks);
    }
    else if (info.bitCount == 16) {
        masks = {0x7C00u, 0x03E0u, 0x001Fu};
    }
    else if (info.bitCount == 32) {
        masks = {0xFF0000u, 0xFF00u, 0xFFu};
    }

    // Colour table: entries past its end (and for indices beyond 2^bits) stay black.
    const size_t entrySize = headerSize == kCoreHeaderSize ? 3 : 4;
    size_t tableBytes = size_t(count) * entrySize;
    size_t entries = std::min<size_t>(count, 256);
    const uint32_t indexable = info.bitCount <= 8 ? 1u << info.bitCount : 0;
    const uint32_t used = headerSize == kInfoHeaderSize ? info.clrUsed : 0;
    if (indexable != 0 && used > indexable) {
        // More colours than the bits can index (its 16-bit count may even read 0): take the
        // indexable entries that lie ahead of the bits, so the table is never thrown away.
        if (!hasFileHeader) {
            // Packed bits follow the table, and a count beyond 16 bits hides where it ends.
            if (used > 0xFFFF)
                return fail(kMsgColourCount);
        }
        else {
            const size_t room = bitsOffset > tableAt ? (bitsOffset - tableAt) / entrySize : 0;
            entries = std::min<size_t>(indexable, room);
            tableBytes = entries * entrySize;
        }
    }
    else if (hasFileHeader && headerSize == kCoreHeaderSize && bitsOffset >= tableAt &&
             bitsOffset - tableAt < tableBytes) {
        // The core header has no count of its own: a shorter table ends where the bits begin.
        entries = (bitsOffset - tableAt) / entrySize;
        tableBytes = entries * entrySize;
    }
    if (indexable != 0 && entries == 0)
        return fail(kMsgNoColours);
    if (size - tableAt < tableBytes)
        return fail(kMsgColourTable);
    uint32_t palette[256] = {};
    const unsigned char* table = data + tableAt;
    for (size_t i = 0; i < entries; ++i) {
        const unsigned char* e = table + i * entrySize;
        const unsigned char rgb0[4] = {e[2], e[1], e[0], 0};
        std::memcpy(&palette[i], rgb0, 4);
    }

    // Pixel bits: at the file header's offset, else right after the colour table.
    size_t bitsAt = tableAt + tableBytes;
    if (hasFileHeader) {
        if (bitsOffset >= size)
            return fail(kMsgBitsOffset);
        if (bitsOffset < bitsAt)
            return fail(kMsgBitsInside);
        bitsAt = bitsOffset;
    }
    const size_t bitsSize = size - bitsAt;
    if (!rle) {
        // The last row's padding is never read, so a file may end without it.
        const size_t stride = dibStride(info.width, info.bitCount);
        const size_t lastRow = (size_t(info.width) * info.bitCount + 7) / 8;
        if (bitsSize < size_t(rows - 1) * stride + lastRow)
            return fail(kMsgTruncated);
    }

    // Skipped RLE pixels are black, so that output starts zero-filled.
    auto* pixels = static_cast<unsigned char*>(rle ? std::calloc(pixelBytes, 1)
                                                   : std::malloc(pixelBytes));
    if (!pixels)
        return fail(kMsgOutOfMemory);
    // An RLE stream may skip most of the picture: its untouched pages must stay unbacked, so
    // only a buffer written whole is given large pages.
    if (!rle)
        plat::AdviseLargeFill(pixels, pixelBytes);
    const PixelSource src{info.width, rows,          topDown, info.bitCount, info.compression,
                          masks,      palette,       data + bitsAt, bitsSize};
    if (!convertPixels(src, pixels)) {
        std::free(pixels);
        return fail(kMsgTruncated);
    }

    auto* record = static_cast<ImageRecord*>(std::malloc(sizeof(ImageRecord)));
    if (!record) {
        std::free(pixels);
        return fail(kMsgOutOfMemory);
    }
    record->width = info.width;
    record->height = rows;
    record->pixels = pixels;
    return {record, nullptr};
}

}  // namespace dib
