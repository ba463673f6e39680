#include "image/dib_convert.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

namespace dib {

namespace {

// A palette entry is 4 bytes (red, green, blue, 0), so one 4-byte store writes a pixel; the
// fourth byte lands on the next pixel's red and is overwritten by it. The last pixel of a
// span is stored with 3 bytes so nothing past the span is touched.
inline void putEntry4(unsigned char* d, uint32_t entry) { std::memcpy(d, &entry, 4); }
inline void putEntry3(unsigned char* d, uint32_t entry) { std::memcpy(d, &entry, 3); }

// n >= 1 pixels of one colour.
void fillPixels(unsigned char* d, uint32_t entry, size_t n)
{
    if (n >= 4) {
        unsigned char pattern[12];
        for (int i = 0; i < 4; ++i)
            std::memcpy(pattern + 3 * i, &entry, 3);
        for (; n >= 4; n -= 4, d += 12)
            std::memcpy(d, pattern, 12);
    }
    for (; n > 0; --n, d += 3)
        putEntry3(d, entry);
}

// ---- Rows of uncompressed files ----

void row1(const unsigned char* s, unsigned char* d, int32_t width, const uint32_t* pal)
{
    // Whole bytes while at least one pixel follows them, so every 4-byte store stays inside
    // the row; the last 1 to 8 pixels are stored with 3 bytes each.
    int32_t x = 0;
    for (; x + 8 < width; x += 8, ++s) {
        const unsigned v = *s;
        for (int b = 7; b >= 0; --b, d += 3)
            putEntry4(d, pal[(v >> b) & 1]);
    }
    const unsigned v = *s;
    for (int b = 7; x < width; --b, ++x, d += 3)
        putEntry3(d, pal[(v >> b) & 1]);
}

void row4(const unsigned char* s, unsigned char* d, int32_t width, const uint32_t* pal)
{
    int32_t x = 0;
    for (; x + 2 <= width; x += 2, ++s, d += 6) {
        putEntry4(d, pal[*s >> 4]);
        putEntry3(d + 3, pal[*s & 15]);
    }
    if (x < width)
        putEntry3(d, pal[*s >> 4]);
}

void row8(const unsigned char* s, unsigned char* d, int32_t width, const uint32_t* pal)
{
    const int32_t last = width - 1;
    for (int32_t x = 0; x < last; ++x, d += 3)
        putEntry4(d, pal[s[x]]);
    putEntry3(d, pal[s[last]]);
}

// Blue, green, red (and a spare byte) in; red, green, blue out. On a little-endian machine a
// 4-byte load, byte swap and shift does one pixel; the row's last pixel is done byte by byte so
// neither the load nor the store passes the row.
template <int Bytes>
void rowBgr(const unsigned char* s, unsigned char* d, int32_t width)
{
    int32_t x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 1 < width; ++x, s += Bytes, d += 3) {
            uint32_t v;
            std::memcpy(&v, s, 4);
            v = __builtin_bswap32(v) >> 8;
            std::memcpy(d, &v, 4);
        }
    }
    for (; x < width; ++x, s += Bytes, d += 3) {
        d[0] = s[2];
        d[1] = s[1];
        d[2] = s[0];
    }
}

// ---- Bit fields ----

// One channel: the masked value shifted down, then scaled to 0..255 by round(v * 255 / max).
class Channel {
public:
    explicit Channel(uint32_t mask)
        : shift_(mask ? std::countr_zero(mask) : 0), mask_(mask), max_(mask ? mask >> shift_ : 0)
    {
        if (max_ != 0 && max_ < kTableLimit) {
            table_.resize(max_ + 1);
            for (uint32_t v = 0; v <= max_; ++v)
                table_[v] = scale(v);
        }
    }

    unsigned char operator()(uint32_t pixel) const
    {
        const uint32_t v = (pixel & mask_) >> shift_;
        if (!table_.empty())
            return table_[v];
        return max_ ? scale(v) : 0;
    }

private:
    static constexpr uint32_t kTableLimit = 1u << 16;

    unsigned char scale(uint32_t v) const
    {
        return static_cast<unsigned char>((uint64_t{v} * 255 + max_ / 2) / max_);
    }

    int shift_;
    uint32_t mask_;
    uint32_t max_;
    std::vector<unsigned char> table_;
};

template <int Bytes>
void rowFields(const unsigned char* s, unsigned char* d, int32_t width, const Channel& r,
               const Channel& g, const Channel& b)
{
    for (int32_t x = 0; x < width; ++x, s += Bytes, d += 3) {
        uint32_t p = uint32_t{s[0]} | uint32_t{s[1]} << 8;
        if constexpr (Bytes == 4)
            p |= uint32_t{s[2]} << 16 | uint32_t{s[3]} << 24;
        d[0] = r(p);
        d[1] = g(p);
        d[2] = b(p);
    }
}

// ---- Run-length encoded files ----

// Runs are stored with 16-byte copies of a colour's pattern (five pixels and one byte), so a
// run may leave bytes of its colour ahead of the stream's position in the same row. Those
// bytes are either overwritten by what follows or cleared when the stream skips them (end of
// line, delta, end of bitmap): skipped pixels stay black.
struct RunPatterns {
    unsigned char bytes[256][16];

    explicit RunPatterns(const uint32_t* pal)
    {
        for (int i = 0; i < 256; ++i)
            for (int k = 0; k < 16; k += 3)
                std::memcpy(bytes[i] + k, &pal[i], k + 3 <= 16 ? 3 : 1);
    }
};

// Decodes an RLE8 (Bits == 8) or RLE4 (Bits == 4) stream. Runs and literals that pass the
// row end are clipped there; a delta that leaves the picture ends it.
template <int Bits>
bool decodeRle(const PixelSource& src, unsigned char* out)
{
    const unsigned char* p = src.bits;
    const unsigned char* const end = src.bits + src.bitsSize;
    const int32_t width = src.width;
    const uint32_t* pal = src.palette;
    const size_t rowBytes = size_t(width) * 3;
    const unsigned char* const lastPixel = out + rowBytes * size_t(src.height) - 3;
    int32_t x = 0;
    int32_t y = 0;
    unsigned char* row = out;
    unsigned char* dirty = out;  // bytes in [position, dirty) were written ahead of the stream

    std::unique_ptr<RunPatterns> patterns;
    if constexpr (Bits == 8)
        patterns = std::make_unique<RunPatterns>(pal);

    auto clearAhead = [&] {
        unsigned char* const at = row + size_t(x) * 3;
        if (dirty > at)
            std::memset(at, 0, size_t(dirty - at));
    };

    while (y < src.height) {
        if (end - p < 2)
            return false;
        const unsigned n = p[0];
        const unsigned c = p[1];
        p += 2;
        if (n != 0) {
            unsigned char* d = row + size_t(x) * 3;
            if constexpr (Bits == 8) {
                if (x + int32_t(n) + 5 <= width) {
                    // Room for the whole last 16-byte copy inside the row.
                    const unsigned char* pattern = patterns->bytes[c];
                    unsigned i = 0;
                    for (; i < n; i += 5)
                        std::memcpy(d + 3 * i, pattern, 16);
                    dirty = std::max(dirty, d + 3 * i + 1);
                    x += int32_t(n);
                    continue;
                }
            }
            const int32_t count = std::min<int32_t>(int32_t(n), width - x);
            if (count > 0) {
                if constexpr (Bits == 8) {
                    fillPixels(d, pal[c], size_t(count));
                }
                else {
                    const uint32_t e[2] = {pal[c >> 4], pal[c & 15]};
                    for (int32_t i = 0; i < count; ++i, d += 3)
                        putEntry3(d, e[i & 1]);
                }
                x += count;
            }
            continue;
        }
        switch (c) {
        case 0:  // end of line
            clearAhead();
            x = 0;
            ++y;
            row += rowBytes;
            dirty = row;
            break;
        case 1:  // end of bitmap
            clearAhead();
            return true;
        case 2: {  // delta: move right and up
            if (end - p < 2)
                return false;
            clearAhead();
            x = std::min<int32_t>(x + p[0], width);
            y += p[1];
            row += size_t(p[1]) * rowBytes;
            dirty = row;
            p += 2;
            break;
        }
        default: {  // literal: c pixels, padded to a 16-bit boundary
            const size_t bytes = Bits == 8 ? c : (c + 1) / 2;
            const size_t padded = (bytes + 1) & ~size_t{1};
            if (size_t(end - p) < padded)
                return false;
            const int32_t count = std::min<int32_t>(int32_t(c), width - x);
            unsigned char* d = row + size_t(x) * 3;
            // A 4-byte store puts the entry's zero byte on the next pixel, which the stream has
            // not reached yet: it is black or will be written. Only the buffer's end is off limits.
            for (int32_t i = 0; i < count; ++i, d += 3) {
                const unsigned index = Bits == 8 ? p[i] : (p[i / 2] >> ((i & 1) ? 0 : 4)) & 15;
                if (d != lastPixel)
                    putEntry4(d, pal[index]);
                else
                    putEntry3(d, pal[index]);
            }
            x += std::max<int32_t>(count, 0);
            p += padded;
            break;
        }
        }
    }
    return true;
}

bool isDefault32(const Masks& m)
{
    return m.red == 0xFF0000u && m.green == 0xFF00u && m.blue == 0xFFu;
}

}  // namespace

size_t dibStride(int32_t width, uint16_t bitCount)
{
    return (size_t(width) * bitCount + 31) / 32 * 4;
}

bool validMasks(const Masks& m, uint16_t bitCount)
{
    const uint32_t all = m.red | m.green | m.blue;
    if (all == 0)
        return false;
    if ((m.red & m.green) | (m.red & m.blue) | (m.green & m.blue))
        return false;
    if (bitCount < 32 && (all >> bitCount) != 0)
        return false;
    for (const uint32_t mask : {m.red, m.green, m.blue}) {
        if (mask == 0)
            continue;
        const uint32_t run = mask >> std::countr_zero(mask);
        if ((run & (run + 1)) != 0)
            return false;
    }
    return true;
}

bool convertPixels(const PixelSource& src, unsigned char* out)
{
    if (src.compression == kBiRle8)
        return decodeRle<8>(src, out);
    if (src.compression == kBiRle4)
        return decodeRle<4>(src, out);

    const size_t stride = dibStride(src.width, src.bitCount);
    const size_t rowBytes = size_t(src.width) * 3;
    const int32_t w = src.width;
    const uint32_t* pal = src.palette;
    auto rowOut = [&](int32_t y) {
        return out + size_t(src.topDown ? src.height - 1 - y : y) * rowBytes;
    };
    auto rowIn = [&](int32_t y) { return src.bits + size_t(y) * stride; };

    switch (src.bitCount) {
    case 1:
        for (int32_t y = 0; y < src.height; ++y)
            row1(rowIn(y), rowOut(y), w, pal);
        return true;
    case 4:
        for (int32_t y = 0; y < src.height; ++y)
            row4(rowIn(y), rowOut(y), w, pal);
        return true;
    case 8:
        for (int32_t y = 0; y < src.height; ++y)
            row8(rowIn(y), rowOut(y), w, pal);
        return true;
    case 24:
        for (int32_t y = 0; y < src.height; ++y)
            rowBgr<3>(rowIn(y), rowOut(y), w);
        return true;
    case 32:
        if (isDefault32(src.masks)) {
            for (int32_t y = 0; y < src.height; ++y)
                rowBgr<4>(rowIn(y), rowOut(y), w);
            return true;
        }
        break;
    default:
        break;
    }

    const Channel r(src.masks.red), g(src.masks.green), b(src.masks.blue);
    for (int32_t y = 0; y < src.height; ++y) {
        if (src.bitCount == 16)
            rowFields<2>(rowIn(y), rowOut(y), w, r, g, b);
        else
            rowFields<4>(rowIn(y), rowOut(y), w, r, g, b);
    }
    return true;
}

}  // namespace dib
