#pragma once
// The program's one window with its OpenGL context: opened (fullscreen or windowed), closed again
// step by step, and kept up to date by the window procedure, which turns messages into the key
// table, the active flag, the projection and the quit request.
#include "platform/win.h"

namespace zkl {

extern bool keys[256];          // held keys by virtual-key code
extern bool active;             // the window is not minimised (focus does not matter)
extern bool fullscreen;         // fullscreen asked for and, once the window is open, in force
extern plat::HDC hDC;           // the window's device context
extern plat::HGLRC hRC;         // the GL context
extern plat::HWND hWnd;         // the window
extern plat::HINSTANCE hInstance;

// Opens the window with a client area of width x height and makes its GL context current.
// On failure everything built so far is released, one message box has been shown, and the
// result is 0; 1 on success.
int CreateGLWindow(const char* title, int width, int height, int bits, bool fullscreenflag);
// Releases what CreateGLWindow built, in reverse order, skipping what was never made. A release
// that fails is reported in its own box and the teardown carries on.
void KillGLWindow();
// Viewport over the whole client area and a 45-degree perspective for its aspect ratio.
void resizeViewport(int width, int height);
// Texturing, smooth shading, depth test with less-or-equal, nicest perspective. Returns 1.
int setupGlState();
plat::LRESULT windowProc(plat::HWND hwnd, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);

}  // namespace zkl
