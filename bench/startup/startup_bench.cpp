// Runs the show's start-up as the program does, from the moment the question is answered
// (windowed) to the first frame swapped and finished, then closes again. One measurement per
// process, since the window, the driver and the textures are set up once per run.
// Usage (in a folder with the show's files, with a display or SDL_VIDEODRIVER=offscreen):
//   bench_startup
#include <GL/gl.h>

#include <chrono>
#include <cstdio>

#include "game/demo.h"
#include "zkl/init.h"

using namespace zkl;

int main()
{
    using Clock = std::chrono::steady_clock;
    demo::StartSound();
    fullscreen = false;

    const auto answered = Clock::now();
    if (!demo::OpenShow()) {
        demo::StopSound();
        return 1;
    }
    const auto opened = Clock::now();
    demo::RenderFrame();
    glFinish();
    const auto firstFrame = Clock::now();

    const auto ms = [](auto from, auto to) { return std::chrono::duration<double, std::milli>(to - from).count(); };
    std::printf("answer to first frame: %.1f ms (window, textures and music %.1f ms, first frame %.1f ms)\n",
                ms(answered, firstFrame), ms(answered, opened), ms(opened, firstFrame));
    demo::StopSound();
    KillGLWindow();
    return 0;
}
