#include "tests/support/fake_music.h"

#include "platform/music.h"

struct MusicModule {
    int unused;
};

namespace {

MusicModule theModule{0};
void (*callObserver)(const char*) = nullptr;

void logCall(const char* name, const MusicModule* module = nullptr)
{
    fakemusic::state().calls.push_back(name);
    fakemusic::state().modules.push_back(module);
    if (callObserver)
        callObserver(name);
}

}  // namespace

namespace fakemusic {

State& state()
{
    static State s;
    return s;
}

void reset()
{
    state() = State{};
}

const void* loadedModule() { return &theModule; }

void setCallObserver(void (*observer)(const char* call)) { callObserver = observer; }

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

bool MusicPlaySong(MusicModule* module)
{
    logCall("MusicPlaySong", module);
    return module != nullptr;
}

bool MusicSetMasterVolume(MusicModule* module, int)
{
    logCall("MusicSetMasterVolume", module);
    return module != nullptr;
}

int32_t MusicGetTime(MusicModule* module)
{
    logCall("MusicGetTime", module);
    return fakemusic::state().timeMs;
}

bool MusicFreeSong(MusicModule* module)
{
    logCall("MusicFreeSong", module);
    return module != nullptr;
}

void SoundClose() { logCall("SoundClose"); }
