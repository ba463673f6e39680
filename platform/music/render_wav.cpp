// Offline rendering of the music to a WAV file, sample for sample what the device is handed
// when the module plays from the start.
#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/music.h"
#include "platform/music/module.h"

namespace {

constexpr int wavRate = 44100;
constexpr size_t chunkFrames = 4096;

// The frame at which millisecond `ms` starts, rounded towards minus infinity.
int64_t FrameAt(int32_t ms)
{
    const int64_t scaled = static_cast<int64_t>(ms) * wavRate;
    return scaled >= 0 ? scaled / 1000 : -((-scaled + 999) / 1000);
}

void PutLe(std::vector<unsigned char>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::vector<unsigned char> WavHeader(uint32_t dataBytes)
{
    std::vector<unsigned char> h;
    const auto tag = [&h](const char* s) { h.insert(h.end(), s, s + 4); };
    tag("RIFF");
    PutLe(h, 36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    PutLe(h, 16, 4);               // format chunk size
    PutLe(h, 1, 2);                // PCM
    PutLe(h, 2, 2);                // channels
    PutLe(h, wavRate, 4);          // frames per second
    PutLe(h, wavRate * 4, 4);      // bytes per second
    PutLe(h, 4, 2);                // bytes per frame
    PutLe(h, 16, 2);               // bits per sample
    tag("data");
    PutLe(h, dataBytes, 4);
    return h;
}

class cWavWriter {
public:
    explicit cWavWriter(std::FILE* file) : file(file) {}

    bool Write(const std::vector<unsigned char>& bytes)
    {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    // Samples go out little-endian whatever the host's order.
    bool WriteSamples(const int16_t* samples, size_t count)
    {
        bytes.clear();
        for (size_t i = 0; i < count; ++i)
            PutLe(bytes, static_cast<uint16_t>(samples[i]), 2);
        return Write(bytes);
    }

private:
    std::FILE* file;
    std::vector<unsigned char> bytes;
};

// Calls step(n) on consecutive chunks of at most chunkFrames covering [from, to).
template <typename Step>
bool InChunks(int64_t from, int64_t to, Step step)
{
    for (int64_t pos = from; pos < to;) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(chunkFrames, to - pos));
        if (!step(n))
            return false;
        pos += static_cast<int64_t>(n);
    }
    return true;
}

}  // namespace

bool MusicRenderWav(const char* moduleFile, int32_t fromMs, int32_t toMs, const char* wavFile)
{
    if (!wavFile || toMs < fromMs)
        return false;
    const int64_t first = FrameAt(fromMs);
    const int64_t end = FrameAt(toMs);
    const int64_t dataBytes = (end - first) * 4;
    if (dataBytes > std::numeric_limits<uint32_t>::max() - 36)
        return false;

    const auto module = music::LoadModuleFile(moduleFile);
    if (!module)
        return false;
    std::FILE* file = std::fopen(wavFile, "wb");
    if (!file)
        return false;

    cWavWriter out(file);
    std::vector<int16_t> samples(2 * chunkFrames);
    const auto render = [&](size_t n) {
        music::RenderFrames(*module, wavRate, samples.data(), n);
        return true;
    };
    const auto write = [&](size_t n) { return out.WriteSamples(samples.data(), 2 * n); };
    const auto silence = [&](size_t n) {
        std::fill(samples.begin(), samples.end(), int16_t{0});
        return write(n);
    };
    // Silence before the music starts; the module plays from its start, as in the demo, up to
    // the first frame wanted, and from there it is written.
    bool ok = out.Write(WavHeader(static_cast<uint32_t>(dataBytes))) &&
              InChunks(first, std::min<int64_t>(end, 0), silence) && InChunks(0, first, render) &&
              InChunks(std::max<int64_t>(first, 0), end, [&](size_t n) { return render(n) && write(n); });

    ok = (std::fclose(file) == 0) && ok;
    if (!ok)
        std::remove(wavFile);  // a short file would pass for a whole one
    return ok;
}
