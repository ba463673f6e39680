// The music layer over libopenmpt and SDL2 audio, and the clock that follows what is heard.
#include "platform/music.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <string>

#include <SDL.h>

#include "platform/music/heard_clock.h"
#include "platform/music/module.h"
#include "platform/music/probe.h"

namespace {

constexpr int bufferFrames = 1024;

int64_t MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// SDL cannot report how much a backend buffers beyond the buffer being filled; these are the
// amounts measured on its backends (ALSA keeps about two periods, the sound servers one).
int DeviceLatencyFrames(const char* driver, int samples)
{
    if (!driver)
        return 0;
    if (std::strcmp(driver, "alsa") == 0)
        return 2 * samples;
    if (std::strcmp(driver, "pulseaudio") == 0 || std::strcmp(driver, "pipewire") == 0)
        return samples;
    return 0;
}

enum class Source { None, Heard, Wall };

// The audio device. `playing` belongs to the callback: change it only with the device locked.
struct Device {
    SDL_AudioDeviceID id = 0;
    int rate = 0;
    MusicModule* playing = nullptr;
};
Device device;

// The theClock. The callback publishes framesHanded and stampNs; everything else is the reader's.
struct Clock {
    std::mutex lock;
    int64_t framesHanded = 0;
    int64_t stampNs = 0;
    std::optional<cHeardClock> heard;
    Source source = Source::None;
    const MusicModule* played = nullptr;  // the handle (null allowed) whose play started it
    int64_t wallStartNs = 0;
    int32_t lastWall = 0;
    bool frozen = false;
    int32_t frozenMs = 0;
};
Clock theClock;

void AudioCallback(void*, Uint8* stream, int len)
{
    const int64_t stamp = MonotonicNs();  // when the device asked, not when we finished
    const size_t frames = static_cast<size_t>(len) / (2 * sizeof(int16_t));
    if (!device.playing) {
        std::memset(stream, 0, static_cast<size_t>(len));
        return;
    }
    music::RenderFrames(*device.playing, device.rate, reinterpret_cast<int16_t*>(stream), frames);

    const std::lock_guard guard(theClock.lock);
    theClock.framesHanded += static_cast<int64_t>(frames);
    theClock.stampNs = stamp;
}

// Takes the module off the device so nothing renders it any more.
void DetachPlaying()
{
    if (!device.id)
        return;
    SDL_PauseAudioDevice(device.id, 1);
    SDL_LockAudioDevice(device.id);
    device.playing = nullptr;
    SDL_UnlockAudioDevice(device.id);
}

int32_t WallMs(int64_t sinceNs)
{
    const int64_t ms = std::max<int64_t>(sinceNs, 0) / 1000000;
    return static_cast<int32_t>(std::min<int64_t>(ms, std::numeric_limits<int32_t>::max()));
}

}  // namespace

bool SoundInit(int mixRate, int, unsigned)
{
    if (device.id)
        return true;
    if (mixRate <= 0 || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;

    SDL_AudioSpec want{};
    want.freq = mixRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = bufferFrames;
    want.callback = AudioCallback;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts, so the callback always gets what we asked for.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!id) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    device.id = id;
    device.rate = mixRate;
    const std::lock_guard guard(theClock.lock);
    theClock.heard.emplace(mixRate, have.samples,
                           DeviceLatencyFrames(SDL_GetCurrentAudioDriver(), have.samples));
    return true;
}

MusicModule* MusicLoadSong(const char* fileName)
{
    // The caller's message says only that the module failed; the cause goes to stderr.
    std::string why;
    auto module = music::LoadModuleFile(fileName, &why);
    if (!module)
        std::fprintf(stderr, "%s\n", why.c_str());
    return module.release();
}

bool MusicPlaySong(MusicModule* module)
{
    // One module plays at a time: a new play replaces the old one.
    DetachPlaying();
    const bool audible = device.id && module;
    if (audible) {
        SDL_LockAudioDevice(device.id);
        // A module played before starts again from its beginning; a fresh one is left alone
        // so that it sounds exactly as the offline renderer writes it.
        if (openmpt_module_get_position_seconds(module->mpt) != 0.0)
            openmpt_module_set_position_seconds(module->mpt, 0.0);
        device.playing = module;
        SDL_UnlockAudioDevice(device.id);
    }
    {
        const std::lock_guard guard(theClock.lock);
        theClock.played = module;
        theClock.framesHanded = 0;
        theClock.stampNs = 0;
        if (audible) {
            theClock.source = Source::Heard;
            theClock.heard->Restart();
        } else {
            // Nothing to hear: the show still runs, on wall time from now.
            theClock.source = Source::Wall;
            theClock.wallStartNs = MonotonicNs();
            theClock.lastWall = 0;
        }
    }
    if (audible)
        SDL_PauseAudioDevice(device.id, 0);
    return audible;
}

int32_t MusicGetTime(MusicModule* module)
{
    const std::lock_guard guard(theClock.lock);
    if (theClock.frozen)
        return theClock.frozenMs;
    if (theClock.source == Source::None || module != theClock.played)
        return 0;
    const int64_t now = MonotonicNs();
    if (theClock.source == Source::Wall) {
        theClock.lastWall = std::max(theClock.lastWall, WallMs(now - theClock.wallStartNs));
        return theClock.lastWall;
    }
    return theClock.heard->Read(theClock.framesHanded, theClock.stampNs, now);
}

bool MusicFreeSong(MusicModule* module)
{
    if (!module)
        return false;
    // The module is not thread-safe: the callback must be done with it before it goes.
    if (device.playing == module)
        DetachPlaying();
    {
        const std::lock_guard guard(theClock.lock);
        if (theClock.played == module) {
            theClock.source = Source::None;
            theClock.played = nullptr;
        }
    }
    std::unique_ptr<MusicModule> owned(module);
    return true;
}

void SoundClose()
{
    if (!device.id)
        return;
    SDL_CloseAudioDevice(device.id);  // waits for a running callback
    device = Device{};
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void MusicFreezeClock(int32_t ms)
{
    const std::lock_guard guard(theClock.lock);
    theClock.frozen = true;
    theClock.frozenMs = ms;
}

namespace music {

ProbeSample Probe()
{
    ProbeSample sample;
    {
        const std::lock_guard guard(theClock.lock);
        sample.framesHanded = theClock.framesHanded;
        sample.stampNs = theClock.stampNs;
        if (theClock.heard) {
            sample.rate = theClock.heard->Rate();
            sample.bufferFrames = theClock.heard->BufferFrames();
            sample.latencyFrames = theClock.heard->LatencyFrames();
        }
    }
    sample.nowNs = MonotonicNs();
    return sample;
}

}  // namespace music
