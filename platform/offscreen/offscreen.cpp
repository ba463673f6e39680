#include "platform/offscreen.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>

namespace plat {

struct OffscreenGL::Impl {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;

    ~Impl()
    {
        if (context)
            SDL_GL_DeleteContext(context);
        if (window)
            SDL_DestroyWindow(window);
    }
};

namespace {

bool fail(std::string* error, const char* what)
{
    if (error)
        *error = std::string(what) + ": " + SDL_GetError();
    return false;
}

}  // namespace

OffscreenGL::OffscreenGL(int width, int height, std::unique_ptr<Impl> impl)
    : width_(width), height_(height), impl_(std::move(impl))
{
}

OffscreenGL::~OffscreenGL() = default;

std::unique_ptr<OffscreenGL> OffscreenGL::create(int width, int height, std::string* error)
{
    if (width <= 0 || height <= 0) {
        if (error)
            *error = "offscreen size must be positive";
        return nullptr;
    }
    // The offscreen driver renders through EGL pbuffers: the same Mesa rasteriser as a window,
    // with no X server. A program that already runs SDL video keeps its own driver. Video and
    // the GL library stay up until the process ends: Mesa unloaded early leaves allocations that
    // leak checkers can no longer attribute.
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
#ifdef _WIN32
        // Windows has GL only through a window's device context: a window that is never shown
        // carries it, and the picture is read back before it could ever be presented.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "windows");
#else
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
#endif
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0 || SDL_GL_LoadLibrary(nullptr) != 0) {
            fail(error, "SDL video");
            return nullptr;
        }
    }
    auto impl = std::make_unique<Impl>();
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    impl->window = SDL_CreateWindow("offscreen", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!impl->window) {
        fail(error, "offscreen window");
        return nullptr;
    }
    impl->context = SDL_GL_CreateContext(impl->window);
    if (!impl->context) {
        fail(error, "GL context");
        return nullptr;
    }
    if (SDL_GL_MakeCurrent(impl->window, impl->context) != 0) {
        fail(error, "GL make current");
        return nullptr;
    }
    return std::unique_ptr<OffscreenGL>(new OffscreenGL(width, height, std::move(impl)));
}

std::vector<unsigned char> OffscreenGL::readRgb() const
{
    const size_t row = static_cast<size_t>(width_) * 3;
    std::vector<unsigned char> bottomUp(row * static_cast<size_t>(height_));
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);

    // GL hands back the bottom row first; pictures are stored top row first.
    std::vector<unsigned char> topDown(bottomUp.size());
    for (size_t y = 0; y < static_cast<size_t>(height_); ++y)
        std::copy_n(bottomUp.begin() + static_cast<ptrdiff_t>(y * row), row,
                    topDown.begin() + static_cast<ptrdiff_t>((static_cast<size_t>(height_) - 1 - y) * row));
    return topDown;
}

}  // namespace plat
