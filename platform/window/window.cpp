// Window, display mode, device context, pixel format, GL context and swap over SDL2.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/window/internal.h"

namespace plat {

struct Instance {
    int unused;
};
struct Icon {
    int id;
};
struct Cursor {
    int id;
};

}  // namespace plat

namespace plat::detail {

Platform& platform()
{
    static Platform state;
    return state;
}

bool ensureVideo()
{
    Platform& p = platform();
    if (p.videoUp)
        return true;
    SDL_SetMainReady();
    // A close is turned into WM_CLOSE, never into a quit of SDL's own; Ctrl+C in a terminal still
    // arrives as SDL_QUIT and is treated as a close.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    const char* display = std::getenv("DISPLAY");
    // A display that is named but was not reached at the first try (a busy X server) gets a
    // second one before the show gives up on it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 1) {
            if (asked || !display || !*display)
                break;
            SDL_Delay(100);
        }
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            continue;
        const char* driver = SDL_GetCurrentVideoDriver();
        const bool invisible = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
        if (!invisible || (asked && std::strcmp(asked, driver) == 0)) {
            p.videoUp = true;
            return true;
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    return false;
}

Window* findWindow(HWND window)
{
    for (const auto& w : platform().windows)
        if (w.get() == window)
            return w.get();
    return nullptr;
}

GLContext* findContext(HGLRC context)
{
    for (const auto& c : platform().contexts)
        if (c.get() == context)
            return c.get();
    return nullptr;
}

Window* findWindow(Uint32 sdlWindowId)
{
    for (const auto& w : platform().windows)
        if (SDL_GetWindowID(w->sdl) == sdlWindowId)
            return w.get();
    return nullptr;
}

}  // namespace plat::detail

namespace plat {

using detail::platform;

namespace {

Instance theInstance{0};
Icon winLogo{IDI_WINLOGO};
Cursor arrow{IDC_ARROW};

detail::RegisteredClass* findClass(const char* name)
{
    if (!name)
        return nullptr;
    for (auto& c : platform().classes)
        if (c.name == name)
            return &c;
    return nullptr;
}

void applyCursor()
{
    if (platform().videoUp)
        SDL_ShowCursor(platform().cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

template <typename F>
bool loadGl(F& function, const char* name)
{
    function = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

// Needs the context current. Without framebuffer objects the picture is drawn unscaled.
void createLetterbox(Letterbox& box, int width, int height)
{
    const bool loaded = loadGl(box.genFramebuffers, "glGenFramebuffers") &&
                        loadGl(box.deleteFramebuffers, "glDeleteFramebuffers") &&
                        loadGl(box.bindFramebuffer, "glBindFramebuffer") &&
                        loadGl(box.genRenderbuffers, "glGenRenderbuffers") &&
                        loadGl(box.deleteRenderbuffers, "glDeleteRenderbuffers") &&
                        loadGl(box.bindRenderbuffer, "glBindRenderbuffer") &&
                        loadGl(box.renderbufferStorage, "glRenderbufferStorage") &&
                        loadGl(box.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                        loadGl(box.checkFramebufferStatus, "glCheckFramebufferStatus") &&
                        loadGl(box.blitFramebuffer, "glBlitFramebuffer");
    if (!loaded)
        return;
    box.genRenderbuffers(1, &box.colour);
    box.bindRenderbuffer(GL_RENDERBUFFER, box.colour);
    box.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    box.genRenderbuffers(1, &box.depth);
    box.bindRenderbuffer(GL_RENDERBUFFER, box.depth);
    box.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    box.genFramebuffers(1, &box.framebuffer);
    box.bindFramebuffer(GL_FRAMEBUFFER, box.framebuffer);
    box.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, box.colour);
    box.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, box.depth);
    if (box.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        box.bindFramebuffer(GL_FRAMEBUFFER, 0);
        box.deleteFramebuffers(1, &box.framebuffer);
        box.deleteRenderbuffers(1, &box.colour);
        box.deleteRenderbuffers(1, &box.depth);
        box = Letterbox{};
    }
}

void deleteLetterbox(Letterbox& box)
{
    if (!box.framebuffer)
        return;
    box.bindFramebuffer(GL_FRAMEBUFFER, 0);
    box.deleteFramebuffers(1, &box.framebuffer);
    box.deleteRenderbuffers(1, &box.colour);
    box.deleteRenderbuffers(1, &box.depth);
    box = Letterbox{};
}

// Scales the client area onto the whole drawable, centred, with black bars.
void presentLetterbox(const Letterbox& box, const Window& window)
{
    int screenWidth = 0;
    int screenHeight = 0;
    SDL_GL_GetDrawableSize(window.sdl, &screenWidth, &screenHeight);
    const double scale = std::min(double(screenWidth) / window.clientWidth, double(screenHeight) / window.clientHeight);
    const int width = int(std::lround(window.clientWidth * scale));
    const int height = int(std::lround(window.clientHeight * scale));
    const int x = (screenWidth - width) / 2;
    const int y = (screenHeight - height) / 2;

    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    box.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    box.bindFramebuffer(GL_READ_FRAMEBUFFER, box.framebuffer);
    box.blitFramebuffer(0, 0, window.clientWidth, window.clientHeight, x, y, x + width, y + height,
                        GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
}

}  // namespace

HINSTANCE GetModuleHandle(const char* moduleName)
{
    return moduleName ? nullptr : &theInstance;
}

HICON LoadIcon(HINSTANCE instance, int id)
{
    return !instance && id == IDI_WINLOGO ? &winLogo : nullptr;
}

HCURSOR LoadCursor(HINSTANCE instance, int id)
{
    return !instance && id == IDC_ARROW ? &arrow : nullptr;
}

ATOM RegisterClass(const WNDCLASS* windowClass)
{
    if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName || !*windowClass->lpszClassName ||
        findClass(windowClass->lpszClassName))
        return 0;
    auto& classes = platform().classes;
    classes.push_back({windowClass->lpszClassName, *windowClass});
    return static_cast<ATOM>(0xC000 + classes.size());
}

BOOL UnregisterClass(const char* className, HINSTANCE)
{
    detail::Platform& p = platform();
    const detail::RegisteredClass* found = findClass(className);
    if (!found)
        return 0;
    for (const auto& w : p.windows)
        if (w->proc == found->windowClass.lpfnWndProc)
            return 0;
    // SDL's video stays up until the process ends: shutting it down would unload the GL driver
    // and whatever it still holds with it.
    p.classes.erase(p.classes.begin() + (found - p.classes.data()));
    return 1;
}

int32_t ChangeDisplaySettings(DEVMODE* mode, DWORD flags)
{
    detail::Platform& p = platform();
    if (!mode) {
        // The desktop's mode was never left; only the request is dropped.
        p.fullscreenMode = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    const DWORD size = DM_PELSWIDTH | DM_PELSHEIGHT;
    if ((mode->dmFields & size) != size || mode->dmPelsWidth == 0 || mode->dmPelsHeight == 0)
        return DISP_CHANGE_BADMODE;
    if (!detail::ensureVideo())
        return DISP_CHANGE_FAILED;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0 || desktop.w <= 0 || desktop.h <= 0)
        return DISP_CHANGE_FAILED;
    p.fullscreenMode = (flags & CDS_FULLSCREEN) != 0;
    return DISP_CHANGE_SUCCESSFUL;
}

int ShowCursor(BOOL show)
{
    detail::Platform& p = platform();
    p.cursorCount += show ? 1 : -1;
    applyCursor();
    return p.cursorCount;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD)
{
    // The window manager draws any frame outside the client area, so the window's own
    // rectangle is the client rectangle.
    return rect ? 1 : 0;
}

HWND CreateWindowEx(DWORD, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND, const void*, HINSTANCE, const void*)
{
    const detail::RegisteredClass* windowClass = findClass(className);
    if (!windowClass || width <= 0 || height <= 0 || !detail::ensureVideo())
        return nullptr;
    detail::Platform& p = platform();

    // SDL fixes the pixel format when the window is made, so ask here for what the program's
    // request will name: double buffering and a depth buffer of at least 16 bits.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);

    auto window = std::make_unique<Window>();
    window->proc = windowClass->windowClass.lpfnWndProc;
    window->dc.window = window.get();
    window->clientWidth = width;
    window->clientHeight = height;
    window->fullscreen = (style & WS_POPUP) && p.fullscreenMode;

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (window->fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    else if (style & WS_THICKFRAME)
        flags |= SDL_WINDOW_RESIZABLE;
    const std::string utf8Title = detail::textForDisplay(title);
    window->sdl = SDL_CreateWindow(utf8Title.c_str(), x, y, width, height, flags);
    if (!window->sdl)
        return nullptr;
    SDL_DisableScreenSaver();
    p.windows.push_back(std::move(window));
    applyCursor();
    return p.windows.back().get();
}

BOOL DestroyWindow(HWND hwnd)
{
    detail::Platform& p = platform();
    Window* window = detail::findWindow(hwnd);
    if (!window)
        return 0;
    detail::forgetMessages(hwnd);
    SDL_DestroyWindow(window->sdl);
    p.windows.erase(std::find_if(p.windows.begin(), p.windows.end(), [&](const auto& w) { return w.get() == window; }));
    return 1;
}

BOOL ShowWindow(HWND hwnd, int command)
{
    Window* window = detail::findWindow(hwnd);
    if (!window)
        return 0;
    const BOOL wasVisible = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) ? 1 : 0;
    if (command == SW_SHOW)
        SDL_ShowWindow(window->sdl);
    return wasVisible;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    Window* window = detail::findWindow(hwnd);
    if (!window)
        return 0;
    SDL_RaiseWindow(window->sdl);
    return 1;
}

HWND SetFocus(HWND hwnd)
{
    HWND previous = GetFocus();
    // Raising asks the window manager for the focus. Setting it directly fails with an X error,
    // which ends the program, when the window is unmapped at that moment.
    if (Window* window = detail::findWindow(hwnd))
        SDL_RaiseWindow(window->sdl);
    return previous;
}

HWND GetFocus()
{
    SDL_Window* focus = SDL_GetKeyboardFocus();
    return focus ? detail::findWindow(SDL_GetWindowID(focus)) : nullptr;
}

HDC GetDC(HWND hwnd)
{
    Window* window = detail::findWindow(hwnd);
    return window ? &window->dc : nullptr;
}

int ReleaseDC(HWND hwnd, HDC dc)
{
    Window* window = detail::findWindow(hwnd);
    return window && dc == &window->dc ? 1 : 0;
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request)
{
    if (!dc || !request)
        return 0;
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    // The one format there is: what CreateWindowEx asked SDL for.
    const bool matches = (request->dwFlags & needed) == needed && request->iPixelType == PFD_TYPE_RGBA &&
                         request->cColorBits <= 32 && request->cDepthBits <= 24 && request->cStencilBits == 0 &&
                         request->cAccumBits == 0 && request->cAuxBuffers == 0;
    return matches ? 1 : 0;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*)
{
    if (!dc || !detail::findWindow(dc->window) || format != 1 || dc->pixelFormat != 0)
        return 0;
    dc->pixelFormat = format;
    return 1;
}

HGLRC wglCreateContext(HDC dc)
{
    if (!dc || !detail::findWindow(dc->window) || dc->pixelFormat == 0)
        return nullptr;
    SDL_GLContext sdl = SDL_GL_CreateContext(dc->window->sdl);
    if (!sdl)
        return nullptr;
    auto context = std::make_unique<GLContext>();
    context->sdl = sdl;
    context->window = dc->window;
    platform().contexts.push_back(std::move(context));
    return platform().contexts.back().get();
}

BOOL wglMakeCurrent(HDC dc, HGLRC context)
{
    if (!dc && !context) {
        SDL_Window* current = SDL_GL_GetCurrentWindow();
        return !current || SDL_GL_MakeCurrent(current, nullptr) == 0 ? 1 : 0;
    }
    if (!dc || !detail::findContext(context) || dc->window != context->window || !detail::findWindow(dc->window))
        return 0;
    if (SDL_GL_MakeCurrent(dc->window->sdl, context->sdl) != 0)
        return 0;
    dc->window->context = context;
    if (!context->madeCurrent) {
        context->madeCurrent = true;
        // Ask for vsync; where the driver cannot give it, SwapBuffers paces the frames itself.
        context->window->pacing.on = SDL_GL_SetSwapInterval(1) != 0;
        if (context->window->fullscreen)
            createLetterbox(context->letterbox, context->window->clientWidth, context->window->clientHeight);
    }
    return 1;
}

BOOL wglDeleteContext(HGLRC context)
{
    detail::Platform& p = platform();
    if (!detail::findContext(context))
        return 0;
    // The letterbox's objects belong to this context; it has to be current to delete them.
    if (context->letterbox.framebuffer && detail::findWindow(context->window) &&
        SDL_GL_MakeCurrent(context->window->sdl, context->sdl) == 0) {
        deleteLetterbox(context->letterbox);
        SDL_GL_MakeCurrent(context->window->sdl, nullptr);
    }
    SDL_GL_DeleteContext(context->sdl);
    for (const auto& w : p.windows)
        if (w->context == context)
            w->context = nullptr;
    std::erase_if(p.contexts, [&](const auto& c) { return c.get() == context; });
    return 1;
}

BOOL SwapBuffers(HDC dc)
{
    if (!dc || !detail::findWindow(dc->window))
        return 0;
    Window& window = *dc->window;
    GLContext* context = window.context;
    const bool current = context && SDL_GL_GetCurrentContext() == context->sdl;
    const bool letterboxed = current && context->letterbox.framebuffer;
    if (letterboxed)
        presentLetterbox(context->letterbox, window);
    SDL_GL_SwapWindow(window.sdl);
    if (letterboxed) {
        context->letterbox.bindFramebuffer(GL_FRAMEBUFFER, context->letterbox.framebuffer);
    } else if (current) {
        // A window resized away from its client size draws from the next frame on into a
        // framebuffer of the client's size, shown scaled between bars.
        int width = 0;
        int height = 0;
        SDL_GL_GetDrawableSize(window.sdl, &width, &height);
        if (width != window.clientWidth || height != window.clientHeight)
            createLetterbox(context->letterbox, window.clientWidth, window.clientHeight);
    }
    detail::paceSwap(window);
    return 1;
}

}  // namespace plat
