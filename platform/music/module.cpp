#include "platform/music/module.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/file_map.h"
#include "platform/music.h"

namespace music {

namespace {

// Modules are small; anything larger is not one, and reading it would only waste memory.
constexpr size_t maxModuleBytes = 64u << 20;

void explain(std::string* why, const char* fileName, const std::string& what)
{
    if (why)
        *why = std::string(fileName) + ": " + what;
}

}  // namespace

std::unique_ptr<MusicModule> LoadModuleFile(const char* fileName, std::string* why)
{
    if (!fileName) {
        explain(why, "", "no file name");
        return nullptr;
    }
    // Only a regular file is read, and the open never blocks: a FIFO under the module's name
    // would otherwise hold the program for ever.
    if (const char* kind = plat::NonRegularKind(fileName)) {
        explain(why, fileName, std::string(kind) + ", not a regular file");
        return nullptr;
    }
    const int openError = plat::CanOpenForReading(fileName) ? 0 : errno;
    const plat::FileMap file(fileName);
    if (!file.ok()) {
        explain(why, fileName, openError ? std::strerror(openError) : "empty or unreadable");
        return nullptr;
    }
    if (file.size() > maxModuleBytes) {
        explain(why, fileName, "too large for a module");
        return nullptr;
    }

    // The library would otherwise write its diagnostics to stderr.
    openmpt_module* mpt = openmpt_module_create_from_memory2(
        file.data(), file.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr);
    if (!mpt) {
        explain(why, fileName, "not a module this player can read");
        return nullptr;
    }
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

// The same for every platform: the volume is read where the samples are made (RenderFrames).
bool MusicSetMasterVolume(MusicModule* module, int volume)
{
    if (!module)
        return false;
    module->volume.store(std::clamp(volume, 0, 255), std::memory_order_relaxed);
    return true;
}
