// The music layer in the browser: modules rendered by libopenmpt (the same module code and
// samples as on the desktop) and played through Web Audio. Short buffers are rendered ahead and
// scheduled back to back on the audio context's own timeline, from the frame loop and from a
// timer, so nothing has to run on the audio thread. The clock follows what is heard: the audio
// context's output timestamp (which accounts for the output latency), run on with real time
// between its updates, never beyond what was scheduled, never backwards, in whole ms.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "platform/music.h"
#include "platform/music/module.h"

namespace {

constexpr int kChunkFrames = 4096;       // one scheduled buffer: about 93 ms at 44.1 kHz
constexpr double kAheadSeconds = 1.5;    // kept scheduled ahead: a hidden tab's timer runs once a second
constexpr double kStartLeadSeconds = 0.1;

enum class Source { None, Heard, Wall };

struct State {
    bool device = false;
    int rate = 44100;
    MusicModule* playing = nullptr;
    const MusicModule* played = nullptr;
    Source source = Source::None;
    int64_t framesScheduled = 0;
    double wallStart = 0.0;
    int32_t last = 0;
    bool frozen = false;
    int32_t frozenMs = 0;
    std::vector<int16_t> chunk = std::vector<int16_t>(2 * kChunkFrames);
};
State state;

}  // namespace

EM_JS(int, audio_open, (int rate), {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    try {
        const ctx = new Context({sampleRate: rate, latencyHint: "playback"});
        Module.webAudio = {ctx, sources: [], start: 0, timer: 0};
        // A page may only start sound after a gesture; the answer to a box is one.
        Module.webGesture = () => { if (ctx.state == "suspended") ctx.resume().catch(() => {}); };
        return 1;
    } catch (e) {
        return 0;
    }
});

// Waits briefly for the context to run (the gesture has just happened); false when the browser
// keeps sound blocked or there is no device.
EM_ASYNC_JS(int, audio_running, (), {
    const a = Module.webAudio;
    if (!a) return 0;
    if (a.ctx.state != "running") {
        const resumed = a.ctx.resume().catch(() => {});
        await Promise.race([resumed, new Promise((r) => setTimeout(r, 500))]);
    }
    return a.ctx.state == "running" ? 1 : 0;
});

// Starts the timeline for a new play and the timer that keeps it fed while no frame runs.
EM_JS(void, audio_begin, (double lead), {
    const a = Module.webAudio;
    a.sources.forEach((s) => s.stop());
    a.sources = [];
    a.start = a.ctx.currentTime + lead;
    clearInterval(a.timer);
    a.timer = setInterval(() => { if (!Module.webAbandoned) Module._web_music_pump(); }, 100);
});

// Where on this play's timeline the listener is now, in seconds (negative before it starts).
EM_JS(double, audio_heard_seconds, (), {
    const a = Module.webAudio;
    const ctx = a.ctx;
    let t = ctx.currentTime;
    if (ctx.getOutputTimestamp) {
        const stamp = ctx.getOutputTimestamp();
        if (stamp.contextTime > 0)
            t = Math.min(t, stamp.contextTime + Math.max(0, performance.now() - stamp.performanceTime) / 1000);
    } else {
        t -= ctx.outputLatency || 0;
    }
    return t - a.start;
});

EM_JS(void, audio_schedule, (const int16_t* samples, int frames, double at), {
    const a = Module.webAudio;
    const buffer = a.ctx.createBuffer(2, frames, a.ctx.sampleRate);
    const left = buffer.getChannelData(0), right = buffer.getChannelData(1);
    const s = HEAP16.subarray(samples >> 1, (samples >> 1) + 2 * frames);
    for (let i = 0; i < frames; i++) {
        left[i] = s[2 * i] / 32768;
        right[i] = s[2 * i + 1] / 32768;
    }
    const source = a.ctx.createBufferSource();
    source.buffer = buffer;
    source.connect(a.ctx.destination);
    source.onended = () => { a.sources = a.sources.filter((x) => x !== source); };
    source.start(a.start + at);
    a.sources.push(source);
});

EM_JS(void, audio_stop, (), {
    const a = Module.webAudio;
    if (!a) return;
    clearInterval(a.timer);
    a.sources.forEach((s) => s.stop());
    a.sources = [];
});

EM_JS(void, audio_close, (), {
    const a = Module.webAudio;
    if (!a) return;
    clearInterval(a.timer);
    a.ctx.close().catch(() => {});
    Module.webAudio = null;
    Module.webGesture = null;
});

namespace {

// Renders and schedules buffers until the timeline is kAheadSeconds past what is heard.
void Pump()
{
    if (!state.playing || state.source != Source::Heard)
        return;
    const double heard = std::max(0.0, audio_heard_seconds());
    while (static_cast<double>(state.framesScheduled) / state.rate < heard + kAheadSeconds) {
        music::RenderFrames(*state.playing, state.rate, state.chunk.data(), kChunkFrames);
        audio_schedule(state.chunk.data(), kChunkFrames, static_cast<double>(state.framesScheduled) / state.rate);
        state.framesScheduled += kChunkFrames;
    }
}

void Detach()
{
    if (state.playing)
        audio_stop();
    state.playing = nullptr;
}

int32_t ToMs(double seconds)
{
    const double ms = std::floor(seconds * 1000.0);
    if (!(ms > 0.0))
        return 0;
    return ms >= std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                      : static_cast<int32_t>(ms);
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void web_music_pump()
{
    Pump();
}

bool SoundInit(int mixRate, int, unsigned)
{
    if (state.device)
        return true;
    if (mixRate <= 0 || !audio_open(mixRate))
        return false;
    state.device = true;
    state.rate = mixRate;
    return true;
}

MusicModule* MusicLoadSong(const char* fileName)
{
    return music::LoadModuleFile(fileName).release();
}

bool MusicPlaySong(MusicModule* module)
{
    Detach();
    state.played = module;
    state.last = 0;
    state.framesScheduled = 0;
    const bool audible = state.device && module && audio_running();
    if (audible) {
        if (openmpt_module_get_position_seconds(module->mpt) != 0.0)
            openmpt_module_set_position_seconds(module->mpt, 0.0);
        state.playing = module;
        state.source = Source::Heard;
        audio_begin(kStartLeadSeconds);
        Pump();
    } else {
        // Nothing to hear (no module, no device, or sound blocked): the show runs on wall time.
        state.source = Source::Wall;
        state.wallStart = emscripten_get_now();
    }
    return audible;
}

int32_t MusicGetTime(MusicModule* module)
{
    if (state.frozen)
        return state.frozenMs;
    if (state.source == Source::None || module != state.played)
        return 0;
    int32_t now;
    if (state.source == Source::Wall) {
        now = ToMs((emscripten_get_now() - state.wallStart) / 1000.0);
    } else {
        Pump();
        // What is heard can never be past what was handed over.
        const double limit = static_cast<double>(state.framesScheduled) / state.rate;
        now = ToMs(std::min(audio_heard_seconds(), limit));
    }
    state.last = std::max(state.last, now);
    return state.last;
}

bool MusicFreeSong(MusicModule* module)
{
    if (!module)
        return false;
    if (state.playing == module)
        Detach();
    if (state.played == module) {
        state.source = Source::None;
        state.played = nullptr;
    }
    std::unique_ptr<MusicModule> owned(module);
    return true;
}

void SoundClose()
{
    if (!state.device)
        return;
    Detach();
    audio_close();
    state.device = false;
}

void MusicFreezeClock(int32_t ms)
{
    state.frozen = true;
    state.frozenMs = ms;
}

// The clock as the show last read it, for the page and its checks.
extern "C" EMSCRIPTEN_KEEPALIVE int32_t web_clock_ms()
{
    return MusicGetTime(const_cast<MusicModule*>(state.played));
}
