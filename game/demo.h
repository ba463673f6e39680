#pragma once
// The program's entry: music, the fullscreen question, the window, the seven textures, then the
// message loop until Escape or a close, and the shutdown.
#include "platform/win.h"

namespace demo {

// Runs the whole show; its four arguments are not used. Returns the wParam of the last message
// taken off the queue (0 after a close), or 1 when the window could not be opened.
int WinMain(plat::HINSTANCE instance, plat::HINSTANCE previous, char* commandLine, int showCommand);

// The steps WinMain is made of, in the order it runs them.
void StartSound();            // starts the mixer and loads "morvask1.xm" into mod
bool AskFullscreen();         // the start-up question; false when the answer is No
bool OpenShow();              // window, sky colour, textures, music; false when no window
int RunLoop();                // the message loop; returns the last message's wParam
void StopSound();             // frees the module and closes the mixer
void RenderFrame();           // one frame and its swap

}  // namespace demo
