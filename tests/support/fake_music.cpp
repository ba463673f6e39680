#include "tests/support/fake_music.h"

#include "platform/music.h"
#include "tests/support/fake_platform.h"

struct MusicModule {
    int unused;
};

namespace {

MusicModule theModule{0};

// Logs the call; a call on a module succeeds when there is one.
bool logCall(const char* name, const MusicModule* module = nullptr)
{
    fakemusic::state().modules.push_back(module);
    fakeplat::note(std::string("music:") + name);
    return module != nullptr;
}

}  // namespace

namespace fakemusic {

State& state()
{
    static State s;
    return s;
}

void reset() { state() = State{}; }

const void* loadedModule() { return &theModule; }

}  // namespace fakemusic

bool SoundInit(int, int, unsigned)
{
    logCall("SoundInit");
    return fakemusic::state().initSucceeds;
}

MusicModule* MusicLoadSong(const char*)
{
    logCall("MusicLoadSong");
    return fakemusic::state().loadSucceeds ? &theModule : nullptr;
}

bool MusicPlaySong(MusicModule* module) { return logCall("MusicPlaySong", module); }
bool MusicSetMasterVolume(MusicModule* module, int) { return logCall("MusicSetMasterVolume", module); }
bool MusicFreeSong(MusicModule* module) { return logCall("MusicFreeSong", module); }
void SoundClose() { logCall("SoundClose"); }

int32_t MusicGetTime(MusicModule* module)
{
    logCall("MusicGetTime", module);
    return fakemusic::state().timeMs;
}
