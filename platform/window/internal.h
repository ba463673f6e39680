#pragma once
// State shared by the SDL2 window layer's files: the registered classes, the open windows, the
// message queue and the pending quit.
#include <SDL.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/win.h"

namespace plat {

struct DeviceContext {
    Window* window = nullptr;
    int pixelFormat = 0;  // 0 until SetPixelFormat
};

// A fullscreen window shows the desktop's own mode, and a window can be resized to any shape. The
// program still draws into a client area of the size it asked for: an offscreen framebuffer that
// SwapBuffers scales onto the window with the aspect ratio kept and black bars around it.
struct Letterbox {
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
};

struct GLContext {
    SDL_GLContext sdl = nullptr;
    Window* window = nullptr;
    bool madeCurrent = false;
    Letterbox letterbox;
};

// Whether the window's swaps wait for the display, and if not, the schedule the swap keeps
// instead (monotonic nanoseconds).
struct Pacing {
    bool on = false;         // the swap does not wait: SwapBuffers waits out the frame itself
    int64_t period = 0;      // one refresh of the display
    int64_t slot = 0;        // when the current frame's slot began
    int counted = 0;         // swaps watched so far to tell whether they wait
    int64_t batchStart = 0;
};

struct Window {
    SDL_Window* sdl = nullptr;
    WNDPROC proc = nullptr;
    DeviceContext dc;       // the class asks for one context of its own per window
    int clientWidth = 0;    // the client area the program sees: the size it asked for
    int clientHeight = 0;
    bool fullscreen = false;
    bool minimised = false;
    GLContext* context = nullptr;  // the context last made current on it
    Pacing pacing;
};

}  // namespace plat

namespace plat::detail {

struct RegisteredClass {
    std::string name;
    WNDCLASS windowClass;
};

struct Platform {
    std::vector<RegisteredClass> classes;
    std::vector<std::unique_ptr<Window>> windows;
    std::vector<std::unique_ptr<GLContext>> contexts;
    bool videoUp = false;
    bool fullscreenMode = false;  // a fullscreen display mode is in force
    int cursorCount = 0;
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;
};

Platform& platform();

// Starts SDL's video once. False when there is no real display: the offscreen and dummy drivers
// only count when SDL_VIDEODRIVER names them, so nothing runs invisibly by accident.
bool ensureVideo();
Window* findWindow(HWND window);
Window* findWindow(Uint32 sdlWindowId);
GLContext* findContext(HGLRC context);
// Calls the window's procedure; 0 for an unknown window.
LRESULT callProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Drops the messages queued for a window that is going away.
void forgetMessages(HWND window);
// Called after each swap: when the window's swaps do not wait for the display, waits until the
// next frame's slot, one refresh after the last.
void paceSwap(Window& window);

// True in the demo, whose messages are meant as boxes (StartProcess ran); the tools print theirs.
bool showsBoxes();

// Called by the message loop on each pass: from then on a termination signal is left for the
// loop to end the show with, and this returns it (0: none came).
int takeSignalForLoop();

// Held while a message box waits for its answer: a termination signal then ends the program
// at once, as the box's own wait would never let it through.
struct BoxWait {
    BoxWait();
    ~BoxWait();
    BoxWait(const BoxWait&) = delete;
    BoxWait& operator=(const BoxWait&) = delete;
};

// Windows-1252 bytes (what the program's strings are) to UTF-8 (what SDL shows).
std::string utf8FromWindows1252(const char* text);
// Text for SDL: valid UTF-8 (a file name from a UTF-8 system) as it is, anything else taken as
// Windows-1252 and converted.
std::string textForDisplay(const char* text);

}  // namespace plat::detail
