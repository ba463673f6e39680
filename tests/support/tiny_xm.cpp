#include "tests/support/tiny_xm.h"

#include <cstring>
#include <fstream>

namespace tinyxm {

namespace {

void Le(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void Text(std::vector<uint8_t>& out, const char* text, size_t width)
{
    const size_t n = std::strlen(text);
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < n ? static_cast<uint8_t>(text[i]) : uint8_t{0});
}

void Zeros(std::vector<uint8_t>& out, size_t n) { out.insert(out.end(), n, 0); }

}  // namespace

std::vector<uint8_t> Module(int rows)
{
    std::vector<uint8_t> xm;
    Text(xm, "Extended Module: ", 17);
    Text(xm, "tiny", 20);
    xm.push_back(0x1A);
    Text(xm, "vavarizo tests", 20);
    Le(xm, 0x0104, 2);
    Le(xm, 276, 4);  // header size from here
    Le(xm, 1, 2);    // song length
    Le(xm, 0, 2);    // restart position
    Le(xm, 2, 2);    // channels
    Le(xm, 1, 2);    // patterns
    Le(xm, 1, 2);    // instruments
    Le(xm, 1, 2);    // linear frequency table
    Le(xm, 5, 2);    // speed
    Le(xm, 125, 2);  // BPM
    Zeros(xm, 256);  // order table: pattern 0

    // Row 0: C-4 with instrument 1 on channel 0; every other cell empty.
    std::vector<uint8_t> cells = {0x83, 49, 1, 0x80};
    for (int r = 1; r < rows; ++r)
        cells.insert(cells.end(), {0x80, 0x80});
    Le(xm, 9, 4);
    xm.push_back(0);
    Le(xm, static_cast<uint32_t>(rows), 2);
    Le(xm, static_cast<uint32_t>(cells.size()), 2);
    xm.insert(xm.end(), cells.begin(), cells.end());

    // One instrument with one sample, no envelopes: 263 bytes.
    Le(xm, 263, 4);
    Text(xm, "square", 22);
    xm.push_back(0);
    Le(xm, 1, 2);
    Le(xm, 40, 4);
    Zeros(xm, 96 + 48 + 48 + 2 + 6 + 2 + 4 + 2 + 22);

    // A 32-frame 8-bit square wave, looped forward, delta coded.
    constexpr int frames = 32;
    Le(xm, frames, 4);
    Le(xm, 0, 4);
    Le(xm, frames, 4);
    xm.insert(xm.end(), {64, 0, 1, 128, 0, 0});  // volume, finetune, loop, pan, note, reserved
    Text(xm, "square", 22);
    for (int i = 0; i < frames; ++i)
        xm.push_back(i == 0 ? 64 : i == frames / 2 ? static_cast<uint8_t>(-128) : 0);
    return xm;
}

bool Write(const std::string& path, int rows)
{
    const std::vector<uint8_t> xm = Module(rows);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(xm.data()), static_cast<std::streamsize>(xm.size()));
    return static_cast<bool>(out);
}

}  // namespace tinyxm
