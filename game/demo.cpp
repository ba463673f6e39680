#include "game/demo.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/clock.h"
#include "game/scene.h"
#include "game/textures.h"
#include "platform/music.h"
#include "zkl/init.h"

namespace demo {

// The toolkit's window state and calls, under the names the show's code has always used.
using zkl::active;
using zkl::CreateGLWindow;
using zkl::fullscreen;
using zkl::hDC;
using zkl::keys;
using zkl::KillGLWindow;

namespace {

// While minimised the loop waits this long at most for the next message instead of spinning.
constexpr plat::UINT kMinimisedWaitMs = 10;

bool frameRateWanted()
{
    const char* value = std::getenv("VAVARIZO_FPS");
    return value && std::strcmp(value, "1") == 0;
}

}  // namespace

void StartSound()
{
    // The text is Windows-1252: 0xE4 is the a with diaeresis.
    if (!SoundInit(44100, 32, SOUND_INIT_GLOBALFOCUS))
        plat::MessageBox(nullptr, "FEEL n\xE4r Fmod skulle startas", "FmodFel! QZ :)", plat::MB_OK);
    mod = MusicLoadSong("morvask1.xm");
    if (!mod)
        plat::MessageBox(nullptr, "morvaskfel!", "FmodFel! QZ :)", plat::MB_OK);
}

bool AskFullscreen()
{
    return plat::MessageBox(nullptr, "Fullscreen?", "QECS (Quendrill Elite Config System)",
                            plat::MB_YESNO | plat::MB_ICONQUESTION) != plat::IDNO;
}

bool OpenShow()
{
    if (!CreateGLWindow("Vavarizo32 complete remake!", 800, 600, 16, fullscreen))
        return false;
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    LoadSceneTextures();
    // The music starts only now, so loading time never shifts the picture against it.
    MusicPlaySong(mod);
    MusicSetMasterVolume(mod, 255);
    return true;
}

void RenderFrame()
{
    DrawGLScene();
    plat::SwapBuffers(hDC);
}

int RunLoop()
{
    const bool countFrames = frameRateWanted();
    const auto started = std::chrono::steady_clock::now();
    long frames = 0;

    plat::MSG msg{};
    bool done = false;
    while (!done) {
        if (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
            if (msg.message == plat::WM_QUIT) {
                done = true;
            } else {
                plat::TranslateMessage(&msg);
                plat::DispatchMessage(&msg);
            }
        } else if (!active) {
            plat::WaitMessageTimeout(kMinimisedWaitMs);
        } else if (keys[plat::VK_ESCAPE]) {
            done = true;
        } else {
            RenderFrame();
            ++frames;
        }
    }

    if (countFrames) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("vavarizo: %ld frames in %.2f s, %.1f frames per second\n", frames, seconds,
                    seconds > 0.0 ? frames / seconds : 0.0);
    }
    return static_cast<int>(msg.wParam);
}

void StopSound()
{
    MusicFreeSong(mod);
    SoundClose();
}

int WinMain(plat::HINSTANCE, plat::HINSTANCE, char*, int)
{
    StartSound();
    if (!AskFullscreen())
        fullscreen = false;
    if (!OpenShow()) {
        // The window's own box has been shown; the module and the mixer still go, and the
        // failure is not reported as success.
        StopSound();
        return 1;
    }
    const int exitCode = RunLoop();
    StopSound();
    KillGLWindow();
    return exitCode;
}

}  // namespace demo
