// The program's entry in the browser. The page has already put the files into the program's
// file system, so the show opens them by the same names as on the desktop. With ?at=MS the
// page wants one still: the frame at MS with the clock frozen, no question and no sound.
#include <GL/gl.h>

#include "game/demo.h"
#include "game/textures.h"
#include "platform/music.h"
#include "platform/web/page.h"
#include "zkl/init.h"

int main()
{
    int32_t at = 0;
    if (page::StillRequested(&at)) {
        MusicFreezeClock(at);
        if (!zkl::CreateGLWindow("Vavarizo32 complete remake!", 800, 600, 16, false))
            return 1;
        glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
        demo::LoadSceneTextures();
        demo::RenderFrame();
        return 0;
    }
    const int exitCode = demo::WinMain(plat::GetModuleHandle(nullptr), nullptr, nullptr, 0);
    page::ShowEnded();
    return exitCode;
}
