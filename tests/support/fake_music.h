#pragma once
// A scripted music layer for tests: logs each call by name, answers as told, and reports
// whatever time the test sets. It serves what the demo calls; the freeze and WAV entry points
// belong to the tools, which link the real layer.
#include <cstdint>
#include <string>
#include <vector>

namespace fakemusic {

struct State {
    bool initSucceeds = true;
    bool loadSucceeds = true;
    int32_t timeMs = 0;              // what MusicGetTime reports
    std::vector<std::string> calls;  // "SoundInit", "MusicLoadSong", ... in call order
    std::vector<const void*> modules;  // module argument of each call that takes one
};

State& state();
void reset();
const void* loadedModule();  // the handle MusicLoadSong hands out on success
// Called with each call's name as it is logged, so a test can interleave music calls with
// other calls in one log. Not cleared by reset.
void setCallObserver(void (*observer)(const char* call));

}  // namespace fakemusic
