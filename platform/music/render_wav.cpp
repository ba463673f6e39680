// Offline rendering of the music to a WAV file, sample for sample what the device is handed
// when the module plays from the start.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/music.h"
#include "platform/music/module.h"
#include "platform/music_wav.h"
#include "platform/out_file.h"

namespace {

constexpr int wavRate = 44100;
constexpr size_t chunkFrames = 4096;
// Larger files are left for the loader to refuse.
constexpr off_t maxModuleCheck = 64 << 20;

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

void SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

uint32_t Le(const std::vector<unsigned char>& d, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | d[at + static_cast<size_t>(i)];
    return v;
}

// An XM file lists the size of every part; the player fills what is cut off with silence
// without a word, so a cut-off file is found here by walking those sizes. True when the
// parts it declares run past its end.
bool XmIsCut(const std::vector<unsigned char>& d)
{
    static constexpr char id[] = "Extended Module: ";
    if (d.size() < 80 || !std::equal(id, id + 17, d.begin()))
        return d.size() >= 17 && std::equal(id, id + 17, d.begin());
    const uint64_t size = d.size();
    uint64_t at = 60 + uint64_t{Le(d, 60, 4)};
    const uint32_t patterns = Le(d, 70, 2), instruments = Le(d, 72, 2);
    for (uint32_t p = 0; p < patterns; ++p) {
        if (at + 9 > size)
            return true;
        at += uint64_t{Le(d, at, 4)} + Le(d, at + 7, 2);
    }
    for (uint32_t i = 0; i < instruments; ++i) {
        if (at + 29 > size)
            return true;
        const uint64_t header = Le(d, at, 4);
        const uint32_t samples = Le(d, at + 27, 2);
        if (samples == 0) {
            at += header;
            continue;
        }
        if (at + 33 > size)
            return true;
        const uint64_t sampleHeader = Le(d, at + 29, 4);
        at += header;
        uint64_t data = 0;
        for (uint32_t s = 0; s < samples; ++s, at += sampleHeader) {
            if (at + 4 > size)
                return true;
            data += Le(d, at, 4);
        }
        at += data;
    }
    return at > size;
}

// What keeps `name` from being read as a module, or empty when nothing visible does.
std::string ModuleFileProblem(const char* name)
{
    struct stat st {};
    if (::stat(name, &st) != 0)
        return std::string("cannot open the module ") + name + ": " + std::strerror(errno);
    if (S_ISDIR(st.st_mode))
        return std::string("the module ") + name + " is a folder";
    if (!S_ISREG(st.st_mode))
        return std::string("the module ") + name + " is not a regular file";
    if (st.st_size == 0)
        return std::string("the module ") + name + " is empty";
    std::FILE* f = std::fopen(name, "rb");
    if (!f)
        return std::string("cannot read the module ") + name + ": " + std::strerror(errno);
    std::vector<unsigned char> data(static_cast<size_t>(std::min<off_t>(st.st_size, maxModuleCheck)));
    const bool read = std::fread(data.data(), 1, data.size(), f) == data.size();
    std::fclose(f);
    if (!read)
        return std::string("cannot read the module ") + name;
    if (XmIsCut(data))
        return std::string("the module ") + name + " is cut off (truncated)";
    return {};
}

}  // namespace

namespace plat {

int64_t WavDataBytes(int32_t fromMs, int32_t toMs)
{
    return toMs > fromMs ? (FrameAt(toMs) - FrameAt(fromMs)) * 4 : 0;
}

WavRender::WavRender(std::unique_ptr<MusicModule> module, std::string name)
    : module_(std::move(module)), name_(std::move(name))
{
}

WavRender::~WavRender() = default;

std::unique_ptr<WavRender> WavRender::Open(const char* moduleFile, std::string* error)
{
    if (!moduleFile) {
        SetError(error, "no module named");
        return nullptr;
    }
    if (std::string problem = ModuleFileProblem(moduleFile); !problem.empty()) {
        SetError(error, problem);
        return nullptr;
    }
    auto module = music::LoadModuleFile(moduleFile);
    if (!module) {
        SetError(error, std::string("the module ") + moduleFile + " is not a module that can be played");
        return nullptr;
    }
    return std::unique_ptr<WavRender>(new WavRender(std::move(module), moduleFile));
}

bool WavRender::Write(int32_t fromMs, int32_t toMs, OutFile& out, const std::atomic<int>* stop, std::string* error)
{
    const int64_t dataBytes = WavDataBytes(fromMs, toMs);
    if (toMs < fromMs || dataBytes > maxWavDataBytes) {
        SetError(error, "the music span does not fit a WAV file");
        return false;
    }
    const int64_t first = FrameAt(fromMs);
    const int64_t end = FrameAt(toMs);
    MusicModule& module = *module_;
    const auto stopped = [stop] { return stop && stop->load() != 0; };

    std::vector<int16_t> samples(2 * chunkFrames);
    std::vector<unsigned char> bytes;
    const auto render = [&](size_t n) {
        music::RenderFrames(module, wavRate, samples.data(), n);
        return !stopped();
    };
    // Samples go out little-endian whatever the host's order.
    const auto write = [&](size_t n) {
        bytes.clear();
        for (size_t i = 0; i < 2 * n; ++i)
            PutLe(bytes, static_cast<uint16_t>(samples[i]), 2);
        return out.Write(bytes.data(), bytes.size()) && !stopped();
    };
    const auto silence = [&](size_t n) {
        std::fill(samples.begin(), samples.end(), int16_t{0});
        return write(n);
    };

    // The module loops for ever: after its first pass it repeats the stretch from its restart
    // point on. A start later than the first pass is brought back into the second by whole
    // repeats, so the cost stays bounded at any instant and the samples are those of a play
    // from the start.
    const int64_t pass = std::llround(openmpt_module_get_duration_seconds(module.mpt) * wavRate);
    int64_t preroll = std::max<int64_t>(first, 0);
    if (pass > 0 && preroll > pass) {
        if (!InChunks(0, pass, render))
            return false;
        const int64_t restart = std::llround(openmpt_module_get_position_seconds(module.mpt) * wavRate);
        const int64_t period = restart > 0 && restart < pass ? pass - restart : pass;
        preroll = (preroll - pass) % period;
    } else if (pass <= 0) {
        preroll = 0;
    }

    const std::vector<unsigned char> header = WavHeader(static_cast<uint32_t>(dataBytes));
    const bool ok = out.Write(header.data(), header.size()) && InChunks(first, std::min<int64_t>(end, 0), silence) &&
                    InChunks(0, preroll, render) &&
                    InChunks(std::max<int64_t>(first, 0), end, [&](size_t n) { return render(n) && write(n); });
    if (!ok && stopped())
        SetError(error, "stopped");
    else if (!ok)
        out.Commit(error);  // reports the write error with the file's name
    return ok;
}

}  // namespace plat

bool MusicRenderWav(const char* moduleFile, int32_t fromMs, int32_t toMs, const char* wavFile)
{
    if (!wavFile || toMs < fromMs || plat::WavDataBytes(fromMs, toMs) > plat::maxWavDataBytes)
        return false;
    const auto render = plat::WavRender::Open(moduleFile, nullptr);
    if (!render)
        return false;
    const auto out = plat::OutFile::Create(wavFile, nullptr);
    return out && render->Write(fromMs, toMs, *out, nullptr, nullptr) && out->Commit(nullptr);
}
