#include "platform/music/module.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace music {

namespace {

// Modules are small; anything larger is not one, and reading it would only waste memory.
constexpr size_t maxModuleBytes = 64u << 20;

bool ReadWholeFile(const char* fileName, std::vector<unsigned char>& data)
{
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return false;
    unsigned char chunk[1 << 16];
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (data.size() + got > maxModuleBytes) {
            ok = false;
            break;
        }
        data.insert(data.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    return ok;
}

}  // namespace

std::unique_ptr<MusicModule> LoadModuleFile(const char* fileName)
{
    if (!fileName)
        return nullptr;
    std::vector<unsigned char> data;
    if (!ReadWholeFile(fileName, data) || data.empty())
        return nullptr;

    // The library would otherwise write its diagnostics to stderr.
    openmpt_module* mpt = openmpt_module_create_from_memory2(
        data.data(), data.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr);
    if (!mpt)
        return nullptr;
    openmpt_module_set_repeat_count(mpt, -1);
    // Dither noise is random: without it a span renders to the same samples every time.
    openmpt_module_ctl_set_integer(mpt, "dither", 0);
    return std::make_unique<MusicModule>(mpt);
}

void RenderFrames(MusicModule& module, int rate, int16_t* out, size_t frames)
{
    size_t done = 0;
    while (done < frames) {
        const size_t got =
            openmpt_module_read_interleaved_stereo(module.mpt, rate, frames - done, out + 2 * done);
        if (got == 0)
            break;
        done += got;
    }
    std::memset(out + 2 * done, 0, (frames - done) * 2 * sizeof(int16_t));

    const int volume = module.volume.load(std::memory_order_relaxed);
    if (volume < 255) {
        for (size_t i = 0; i < 2 * done; ++i)
            out[i] = static_cast<int16_t>(out[i] * volume / 255);
    }
}

}  // namespace music
