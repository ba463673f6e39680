#pragma once
// Offline rendering of the music to WAV for the tools: the module is checked when it is opened,
// so a tool can name what is wrong with it before doing any other work.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

struct MusicModule;

namespace plat {

class OutFile;

// Bytes of sample data the WAV of [fromMs, toMs) holds (44.1 kHz, 16-bit stereo).
int64_t WavDataBytes(int32_t fromMs, int32_t toMs);
// The most a WAV file's 32-bit sizes can describe.
constexpr int64_t maxWavDataBytes = 0xFFFFFFFFll - 36;

class WavRender {
public:
    // Loads the module, set to loop for ever. Null with the reason, naming the file, when it is
    // missing, not a regular file, empty, unreadable or not a module that can be played.
    static std::unique_ptr<WavRender> Open(const char* moduleFile, std::string* error);
    ~WavRender();
    WavRender(const WavRender&) = delete;
    WavRender& operator=(const WavRender&) = delete;

    // Writes the music from fromMs to toMs as the demo plays it (silence before 0) into `out`,
    // leaving the commit to the caller. A late start costs at most two passes through the
    // module, not the time up to it. Stops early, returning false, once *stop is non-zero.
    bool Write(int32_t fromMs, int32_t toMs, OutFile& out, const std::atomic<int>* stop, std::string* error);

private:
    explicit WavRender(std::unique_ptr<MusicModule> module, std::string name);

    std::unique_ptr<MusicModule> module_;
    std::string name_;
};

}  // namespace plat
