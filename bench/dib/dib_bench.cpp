// Decoding speed of 4096 x 4096 BMP files held in memory: this decoder against stb_image and
// SDL_LoadBMP, and against the floor of any decoder that allocates its output (malloc + memcpy
// + free of the RGB bytes). Figures are MB/s of RGB output (width * height * 3 bytes).
//
//   dib_bench [repeats]      (default 9; the median of the repeats is printed)
#include <SDL.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "image/dib.h"
#include "image/dib_decode.h"
#include "platform/memory_advice.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int kSide = 4096;
constexpr size_t kRgbBytes = size_t(kSide) * kSide * 3;

void put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// File header, 40-byte info header, colour table, then the bits.
Bytes bmpFile(uint16_t bitCount, uint32_t compression, const Bytes& bits)
{
    const uint32_t tableBytes = bitCount == 8 ? 256 * 4 : 0;
    const uint32_t offset = 14 + 40 + tableBytes;
    Bytes f(offset, 0);
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 2, uint32_t(offset + bits.size()));
    put32(f, 10, offset);
    put32(f, 14, 40);
    put32(f, 18, kSide);
    put32(f, 22, kSide);
    f[26] = 1;
    f[28] = uint8_t(bitCount);
    put32(f, 30, compression);
    put32(f, 34, uint32_t(bits.size()));
    for (uint32_t i = 0; i < tableBytes / 4; ++i) {
        f[54 + 4 * i] = uint8_t(i * 3);
        f[55 + 4 * i] = uint8_t(255 - i);
        f[56 + 4 * i] = uint8_t(i * 7);
    }
    f.insert(f.end(), bits.begin(), bits.end());
    return f;
}

Bytes noise(size_t n, std::mt19937& rng)
{
    Bytes b(n);
    for (auto& v : b)
        v = uint8_t(rng());
    return b;
}

// RLE8 rows of encoded runs with lengths drawn from [minRun, maxRun], clipped at the row end.
Bytes rle8(int minRun, int maxRun, std::mt19937& rng)
{
    std::uniform_int_distribution<int> length(minRun, maxRun);
    Bytes s;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide;) {
            const int n = std::min(length(rng), kSide - x);
            s.push_back(uint8_t(n));
            s.push_back(uint8_t(rng()));
            x += n;
        }
        s.insert(s.end(), {0, 0});
    }
    s.insert(s.end(), {0, 1});
    return s;
}

struct Input {
    const char* name;
    Bytes file;
};

// Processor time of this process (user and system, so page faults count), which stays
// meaningful while other work shares the machine; wall time does not.
double medianSeconds(int repeats, const std::function<bool()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const std::clock_t start = std::clock();
        if (!run())
            return -1;
        times.push_back(double(std::clock() - start) / CLOCKS_PER_SEC);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double mbPerSecond(double seconds) { return seconds > 0 ? kRgbBytes / seconds / 1e6 : 0; }

bool decodeOurs(const Bytes& f)
{
    const dib::DecodeResult r = dib::decode(f.data(), f.size());
    freeImageRecord(r.record);
    return r.record != nullptr;
}

bool decodeStb(const Bytes& f)
{
    int w, h, n;
    unsigned char* p = stbi_load_from_memory(f.data(), int(f.size()), &w, &h, &n, 3);
    stbi_image_free(p);
    return p != nullptr;
}

bool decodeSdl(const Bytes& f)
{
    SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromConstMem(f.data(), int(f.size())), 1);
    SDL_FreeSurface(s);
    return s != nullptr;
}

// SDL keeps a palette image at 8 bits; this is the cost of getting RGB rows from it.
bool decodeSdlRgb(const Bytes& f)
{
    SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromConstMem(f.data(), int(f.size())), 1);
    if (!s)
        return false;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(s);
    SDL_FreeSurface(rgb);
    return rgb != nullptr;
}

// Our output against stb's (which starts with the top row), where stb reads the file.
const char* crossCheck(const Bytes& f)
{
    const dib::DecodeResult r = dib::decode(f.data(), f.size());
    int w, h, n;
    unsigned char* p = stbi_load_from_memory(f.data(), int(f.size()), &w, &h, &n, 3);
    const char* verdict = "";
    if (r.record && p) {
        verdict = "same as stb";
        const size_t row = size_t(kSide) * 3;
        for (int y = 0; y < kSide; ++y)
            if (std::memcmp(r.record->pixels + size_t(y) * row, p + size_t(kSide - 1 - y) * row,
                            row) != 0)
                verdict = "DIFFERENT from stb";
    }
    stbi_image_free(p);
    freeImageRecord(r.record);
    return verdict;
}

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::mt19937 rng(1);
    const size_t stride24 = size_t(kSide) * 3;  // 4096 * 3 is a multiple of 4
    const Input inputs[] = {
        {"24-bit", bmpFile(24, 0, noise(stride24 * kSide, rng))},
        {"8-bit", bmpFile(8, 0, noise(size_t(kSide) * kSide, rng))},
        {"32-bit", bmpFile(32, 0, noise(size_t(kSide) * kSide * 4, rng))},
        {"RLE8 short", bmpFile(8, 1, rle8(1, 4, rng))},
        {"RLE8 long", bmpFile(8, 1, rle8(64, 255, rng))},
    };

    // The floor, without and with the large-page hint the decoder gives its output buffer.
    const Bytes source(kRgbBytes, 7);
    auto floorWith = [&](bool largePages) {
        return mbPerSecond(medianSeconds(repeats, [&] {
            auto* out = static_cast<unsigned char*>(std::malloc(kRgbBytes));
            if (!out)
                return false;
            if (largePages)
                plat::AdviseLargeFill(out, kRgbBytes);
            std::memcpy(out, source.data(), kRgbBytes);
            // Keep the copy from being optimised away.
            volatile unsigned char sink = out[kRgbBytes / 2];
            (void)sink;
            std::free(out);
            return true;
        }));
    };
    const double floor = floorWith(false);
    const double floorLarge = floorWith(true);

    std::printf("%dx%d, median processor time of %d runs, MB/s of RGB output\n"
                "floor (malloc+memcpy+free) %.0f, with the large-page hint %.0f\n",
                kSide, kSide, repeats, floor, floorLarge);
    std::printf("%-11s %7s %7s %7s %8s %10s %8s %8s %8s %7s %7s\n", "format", "ours", "stb",
                "SDL", "SDL+RGB", "vs faster", "vs stb", "vs SDL", "vs S+RGB", "/floor",
                "/floor+");
    for (const Input& in : inputs) {
        const double ours = mbPerSecond(medianSeconds(repeats, [&] { return decodeOurs(in.file); }));
        const double stb = mbPerSecond(medianSeconds(repeats, [&] { return decodeStb(in.file); }));
        const double sdl = mbPerSecond(medianSeconds(repeats, [&] { return decodeSdl(in.file); }));
        const double sdlRgb =
            mbPerSecond(medianSeconds(repeats, [&] { return decodeSdlRgb(in.file); }));
        const double best = std::max(stb, sdl);
        auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
        std::printf("%-11s %7.0f %7.0f %7.0f %8.0f %9.2fx %7.2fx %7.2fx %7.2fx %7.2f %7.2f  %s\n",
                    in.name, ours, stb, sdl, sdlRgb, ratio(ours, best), ratio(ours, stb),
                    ratio(ours, sdl), ratio(ours, sdlRgb), ratio(ours, floor),
                    ratio(ours, floorLarge), crossCheck(in.file));
    }
    std::printf("0: the decoder refuses the file. SDL+RGB: SDL_LoadBMP, then conversion to RGB24.\n"
                "/floor, /floor+: ours against the floor without and with the large-page hint.\n"
                "Last column: our output against stb_image's where stb reads the file.\n");
    return 0;
}
