#pragma once
// The module object behind the music layer's opaque handle, shared by live playback and the
// offline WAV writer so both hand out exactly the same samples.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <libopenmpt/libopenmpt.h>

struct MusicModule {
    explicit MusicModule(openmpt_module* module) : mpt(module) {}
    ~MusicModule() { openmpt_module_destroy(mpt); }
    MusicModule(const MusicModule&) = delete;
    MusicModule& operator=(const MusicModule&) = delete;

    openmpt_module* const mpt;     // not thread-safe: only one thread may render or seek it
    std::atomic<int> volume{255};  // master volume, 0..255
};

namespace music {

// Reads and opens a module file, set to loop for ever; null when it cannot be read or opened,
// and then `why`, when given, says what is wrong with the file ("x.xm: a FIFO, not a regular file").
std::unique_ptr<MusicModule> LoadModuleFile(const char* fileName, std::string* why = nullptr);

// Fills `frames` interleaved stereo frames at `rate`, silence once the module has nothing more,
// scaled by the module's master volume.
void RenderFrames(MusicModule& module, int rate, int16_t* out, size_t frames);

}  // namespace music
