#include "platform/win.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "platform/window/internal.h"

using namespace plat;

namespace {

std::vector<MSG> received;

LRESULT recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(MSG{hwnd, message, wParam, lParam});
    return message == WM_SYSKEYDOWN || message == WM_SYSCOMMAND ? DefWindowProc(hwnd, message, wParam, lParam) : 0;
}

using Message = std::tuple<UINT, WPARAM, LPARAM>;

// One window with a current GL context on the offscreen driver, and an empty queue.
class WindowLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // SDL unloads the GL driver with its last GL window; one kept open for the whole run
        // keeps what the driver holds at exit from being reported as lost.
        static SDL_Window* keeper = (SDL_InitSubSystem(SDL_INIT_VIDEO),
                                     SDL_CreateWindow("keeper", 0, 0, 8, 8, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN));
        ASSERT_NE(keeper, nullptr) << SDL_GetError();
        received.clear();
        const WNDCLASS windowClass{CS_OWNDC, recordingProc, 0, 0, GetModuleHandle(nullptr), nullptr, nullptr,
                                   nullptr, nullptr, "test"};
        ASSERT_NE(RegisterClass(&windowClass), 0);
        window_ = CreateWindowEx(0, "test", "t\xE4st", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                 GetModuleHandle(nullptr), nullptr);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        dc_ = GetDC(window_);
        PIXELFORMATDESCRIPTOR pfd{};
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.cColorBits = pfd.cDepthBits = 16;
        ASSERT_EQ(SetPixelFormat(dc_, ChoosePixelFormat(dc_, &pfd), &pfd), 1);
        context_ = wglCreateContext(dc_);
        ASSERT_EQ(wglMakeCurrent(dc_, context_), 1) << SDL_GetError();
        drain();
    }
    void TearDown() override
    {
        EXPECT_EQ(wglMakeCurrent(nullptr, nullptr) + wglDeleteContext(context_) + ReleaseDC(window_, dc_) +
                      DestroyWindow(window_) + UnregisterClass("test", GetModuleHandle(nullptr)), 5);
        drain();
    }
    // Takes every message off the queue without dispatching it; all but a quit are for the window.
    std::vector<Message> drain(bool withLParam = true)
    {
        std::vector<Message> out;
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            EXPECT_TRUE(msg.hwnd == window_ || msg.message == WM_QUIT);
            out.emplace_back(msg.message, msg.wParam, withLParam ? msg.lParam : 0);
        }
        return out;
    }
    void push(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE, int data1 = 0, int data2 = 0)
    {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_WINDOWEVENT)
            e.window = {SDL_WINDOWEVENT, 0, SDL_GetWindowID(window_->sdl), Uint8(key), 0, 0, 0, data1, data2};
        else if (type != SDL_QUIT) {
            e.key.windowID = SDL_GetWindowID(window_->sdl);
            e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.sym = key;
            e.key.keysym.mod = mod;
        }
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};

TEST_F(WindowLayerTest, KeysBecomeVirtualKeyMessagesAndAltMakesThemSystemKeys)
{
    const struct { Uint32 type; SDL_Keycode key; Uint16 mod; UINT message; WPARAM vk; } cases[] = {
        {SDL_KEYDOWN, SDLK_ESCAPE, KMOD_NONE, WM_KEYDOWN, VK_ESCAPE}, {SDL_KEYUP, SDLK_ESCAPE, KMOD_NONE, WM_KEYUP, VK_ESCAPE},
        {SDL_KEYDOWN, SDLK_a, KMOD_LSHIFT, WM_KEYDOWN, 'A'},          {SDL_KEYDOWN, SDLK_7, KMOD_NONE, WM_KEYDOWN, '7'},
        {SDL_KEYDOWN, SDLK_LEFT, KMOD_NONE, WM_KEYDOWN, VK_LEFT},     {SDL_KEYDOWN, SDLK_LALT, KMOD_NONE, WM_SYSKEYDOWN, VK_MENU},
        {SDL_KEYDOWN, SDLK_F4, KMOD_LALT, WM_SYSKEYDOWN, VK_F4},      {SDL_KEYUP, SDLK_F4, KMOD_RALT, WM_SYSKEYUP, VK_F4},
    };
    std::vector<Message> expected;
    for (const auto& c : cases) {
        push(c.type, c.key, c.mod);
        expected.emplace_back(c.message, c.vk, 0);
    }
    push(SDL_KEYDOWN, SDLK_CAPSLOCK);  // no code for it: no message
    EXPECT_EQ(drain(false), expected);

    // Alt+F4 closes through the default procedure; F4 alone is an ordinary key.
    push(SDL_KEYDOWN, SDLK_F4, KMOD_LALT);
    MSG msg;
    ASSERT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), 1);
    DispatchMessage(&msg);
    EXPECT_EQ(DefWindowProc(window_, WM_SYSKEYDOWN, VK_F4, 0), 0);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(std::tie(received[0].message, received[1].message, received[1].wParam, received[2].message),
              std::make_tuple(WM_SYSKEYDOWN, WM_SYSCOMMAND, WPARAM(SC_CLOSE), WM_CLOSE));
}

// Minimised means inactive and minimised, also when the focus goes meanwhile.
TEST_F(WindowLayerTest, WindowEventsReportSizeActivationAndClose)
{
    for (const Uint8 e : {SDL_WINDOWEVENT_HIDDEN, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_FOCUS_LOST})
        push(SDL_WINDOWEVENT, e);
    EXPECT_EQ(drain(), (std::vector<Message>{{WM_ACTIVATE, MAKELONG(WA_INACTIVE, 1), 0}, {WM_SIZE, SIZE_MINIMIZED, 0},
                                             {WM_ACTIVATE, MAKELONG(WA_INACTIVE, 1), 0}}));
    // Restored: the client size, then active and not minimised.
    for (const Uint8 e : {SDL_WINDOWEVENT_SHOWN, SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_FOCUS_GAINED})
        push(SDL_WINDOWEVENT, e);
    std::vector<Message> got = drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], Message(WM_SIZE, SIZE_RESTORED, MAKELONG(800, 600)));
    for (const Message& m : {got[1], got[2]})
        EXPECT_TRUE(std::get<0>(m) == WM_ACTIVATE && LOWORD(std::get<1>(m)) != WA_INACTIVE && HIWORD(std::get<1>(m)) == 0);
    // Another window in front: inactive, but not minimised. A resize keeps the client area the
    // program asked for and says nothing. Close requests.
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED, KMOD_NONE, 1024, 700);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE);
    push(SDL_QUIT, 0);
    EXPECT_EQ(drain(), (std::vector<Message>{{WM_ACTIVATE, WA_INACTIVE, 0}, {WM_CLOSE, 0, 0}, {WM_CLOSE, 0, 0}}));
}

TEST_F(WindowLayerTest, QuitComesAfterQueuedMessagesOnceAndTheContextDraws)
{
    push(SDL_KEYDOWN, SDLK_a);
    PostQuitMessage(3);
    EXPECT_EQ(drain(false), (std::vector<Message>{{WM_KEYDOWN, 'A', 0}, {WM_QUIT, 3, 0}}));
    EXPECT_EQ(WaitMessageTimeout(1), 0);

    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(SwapBuffers(dc_), 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Without a display a box is a line on stderr, in UTF-8, and takes its default answer.
TEST(MessageBoxWithoutDisplay, WritesToStderrAndTakesTheDefault)
{
    EXPECT_EQ(detail::utf8FromWindows1252("\x80\x81\x9F\xA0\xFF"), "\xE2\x82\xAC\xC2\x81\xC5\xB8\xC2\xA0\xC3\xBF");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox(nullptr, "FEEL n\xE4r Fmod", "FmodFel! QZ :)", MB_YESNO), IDYES);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("FmodFel! QZ :): FEEL n\xC3\xA4r Fmod\n"), std::string::npos) << err;
}

}  // namespace
