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
    if (message == WM_SYSKEYDOWN || message == WM_SYSCOMMAND)
        return DefWindowProc(hwnd, message, wParam, lParam);
    return 0;
}

using Message = std::tuple<UINT, WPARAM, LPARAM>;

// SDL unloads the GL driver when its last GL window goes. One window kept open for the whole
// run keeps the driver loaded, so what the driver itself holds at exit is not reported as lost.
void keepGlDriverLoaded()
{
    static SDL_Window* keeper = [] {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        return SDL_CreateWindow("keeper", 0, 0, 8, 8, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    }();
    ASSERT_NE(keeper, nullptr) << SDL_GetError();
}

// One window with a current GL context on the offscreen driver, and an empty queue.
class WindowLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        keepGlDriverLoaded();
        received.clear();
        const WNDCLASS windowClass{CS_OWNDC, recordingProc, 0, 0, GetModuleHandle(nullptr), nullptr, nullptr,
                                   nullptr, nullptr, "test"};
        ASSERT_NE(RegisterClass(&windowClass), 0);
        window_ = CreateWindowEx(0, "test", "t\xE4st", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                 GetModuleHandle(nullptr), nullptr);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        dc_ = GetDC(window_);
        PIXELFORMATDESCRIPTOR pfd{};
        pfd.nSize = sizeof(pfd);
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.cColorBits = pfd.cDepthBits = 16;
        ASSERT_EQ(SetPixelFormat(dc_, ChoosePixelFormat(dc_, &pfd), &pfd), 1);
        context_ = wglCreateContext(dc_);
        ASSERT_NE(context_, nullptr) << SDL_GetError();
        ASSERT_EQ(wglMakeCurrent(dc_, context_), 1);
        drain();
    }

    void TearDown() override
    {
        EXPECT_EQ(wglMakeCurrent(nullptr, nullptr), 1);
        EXPECT_EQ(wglDeleteContext(context_), 1);
        EXPECT_EQ(ReleaseDC(window_, dc_), 1);
        EXPECT_EQ(DestroyWindow(window_), 1);
        EXPECT_EQ(UnregisterClass("test", GetModuleHandle(nullptr)), 1);
        drain();
    }

    // Takes every message off the queue without dispatching it; all must be for the window.
    std::vector<Message> drain()
    {
        std::vector<Message> out;
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            EXPECT_EQ(msg.hwnd, window_);
            out.emplace_back(msg.message, msg.wParam, msg.lParam);
        }
        return out;
    }

    void pushKey(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE)
    {
        SDL_Event event{};
        event.key.type = type;
        event.key.windowID = SDL_GetWindowID(window_->sdl);
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        event.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    void pushWindowEvent(Uint8 what, int data1 = 0, int data2 = 0)
    {
        SDL_Event event{};
        event.window.type = SDL_WINDOWEVENT;
        event.window.windowID = SDL_GetWindowID(window_->sdl);
        event.window.event = what;
        event.window.data1 = data1;
        event.window.data2 = data2;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
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
        {SDL_KEYDOWN, SDLK_F4, KMOD_NONE, WM_KEYDOWN, VK_F4},         {SDL_KEYDOWN, SDLK_LEFT, KMOD_NONE, WM_KEYDOWN, VK_LEFT},
        {SDL_KEYDOWN, SDLK_LALT, KMOD_NONE, WM_SYSKEYDOWN, VK_MENU},  {SDL_KEYDOWN, SDLK_F4, KMOD_LALT, WM_SYSKEYDOWN, VK_F4},
        {SDL_KEYUP, SDLK_F4, KMOD_RALT, WM_SYSKEYUP, VK_F4},
    };
    std::vector<Message> expected;
    for (const auto& c : cases) {
        pushKey(c.type, c.key, c.mod);
        expected.emplace_back(c.message, c.vk, 0);
    }
    pushKey(SDL_KEYDOWN, SDLK_CAPSLOCK);  // no code for it: no message
    std::vector<Message> got = drain();
    for (Message& m : got)
        std::get<2>(m) = 0;
    EXPECT_EQ(got, expected);
}

TEST_F(WindowLayerTest, AltF4ClosesThroughTheDefaultProcedure)
{
    pushKey(SDL_KEYDOWN, SDLK_F4, KMOD_LALT);
    MSG msg;
    ASSERT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), 1);
    DispatchMessage(&msg);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(received[1].message, WM_SYSCOMMAND);
    EXPECT_EQ(received[1].wParam, SC_CLOSE);
    EXPECT_EQ(received[2].message, WM_CLOSE);

    // F4 without Alt is an ordinary key.
    received.clear();
    EXPECT_EQ(DefWindowProc(window_, WM_SYSKEYDOWN, VK_F4, 0), 0);
    EXPECT_TRUE(received.empty());
}

TEST_F(WindowLayerTest, WindowEventsReportSizeActivationAndClose)
{
    // Minimised: inactive and minimised, also when the focus goes while minimised.
    for (const Uint8 e : {SDL_WINDOWEVENT_HIDDEN, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_FOCUS_LOST})
        pushWindowEvent(e);
    EXPECT_EQ(drain(), (std::vector<Message>{{WM_ACTIVATE, MAKELONG(WA_INACTIVE, 1), 0},
                                             {WM_SIZE, SIZE_MINIMIZED, 0},
                                             {WM_ACTIVATE, MAKELONG(WA_INACTIVE, 1), 0}}));
    // Restored: the client size, then active and not minimised.
    for (const Uint8 e : {SDL_WINDOWEVENT_SHOWN, SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_FOCUS_GAINED})
        pushWindowEvent(e);
    std::vector<Message> got = drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], Message(WM_SIZE, SIZE_RESTORED, MAKELONG(800, 600)));
    for (const Message& m : {got[1], got[2]}) {
        EXPECT_EQ(std::get<0>(m), WM_ACTIVATE);
        EXPECT_NE(LOWORD(std::get<1>(m)), WA_INACTIVE);
        EXPECT_EQ(HIWORD(std::get<1>(m)), 0);
    }
    // Another window in front: inactive, but not minimised. A resize keeps the client area the
    // program asked for and says nothing. Close requests.
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 700);
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    got = drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(std::get<0>(got[0]), WM_ACTIVATE);
    EXPECT_EQ(std::get<1>(got[0]), WA_INACTIVE);
    EXPECT_EQ(std::get<0>(got[1]), WM_CLOSE);
    EXPECT_EQ(std::get<0>(got[2]), WM_CLOSE);
}

TEST_F(WindowLayerTest, QuitComesAfterQueuedMessagesAndOnlyOnce)
{
    pushKey(SDL_KEYDOWN, SDLK_a);
    PostQuitMessage(3);
    MSG msg{nullptr, 0x1234, 99, 0};
    ASSERT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), 1);
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    ASSERT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), 1);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    // Nothing left: the record keeps what it held.
    EXPECT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(WaitMessageTimeout(1), 0);
}

TEST_F(WindowLayerTest, ContextHasADepthBufferAndSwaps)
{
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(SwapBuffers(dc_), 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(WindowLayerTest, StepsRefuseWhatTheyCannotDo)
{
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.dwFlags = PFD_DRAW_TO_WINDOW;  // no OpenGL
    EXPECT_EQ(ChoosePixelFormat(dc_, &pfd), 0);
    EXPECT_EQ(SetPixelFormat(dc_, 1, &pfd), 0) << "a format is set only once";
    const WNDCLASS same{0, recordingProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "test"};
    EXPECT_EQ(RegisterClass(&same), 0) << "the class exists";
    EXPECT_EQ(UnregisterClass("test", nullptr), 0) << "a window of the class is open";
    EXPECT_EQ(CreateWindowEx(0, "none", "t", 0, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, dc_), 0);
    EXPECT_EQ(GetDC(nullptr), nullptr);
}

TEST(Windows1252, BecomesUtf8)
{
    EXPECT_EQ(detail::utf8FromWindows1252("FEEL n\xE4r Fmod skulle startas"), "FEEL n\xC3\xA4r Fmod skulle startas");
    EXPECT_EQ(detail::utf8FromWindows1252("\x80\x81\x9F\xA0\xFF"), "\xE2\x82\xAC\xC2\x81\xC5\xB8\xC2\xA0\xC3\xBF");
    EXPECT_EQ(detail::utf8FromWindows1252(nullptr), "");
}

TEST(MessageBoxWithoutDisplay, WritesToStderrAndTakesTheDefault)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox(nullptr, "Fullscreen?", "QECS (Quendrill Elite Config System)", MB_YESNO | MB_ICONQUESTION),
              IDYES);
    EXPECT_EQ(MessageBox(nullptr, "FEEL n\xE4r Fmod skulle startas", "FmodFel! QZ :)", MB_OK), IDOK);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("QECS (Quendrill Elite Config System): Fullscreen?\n"), std::string::npos) << err;
    EXPECT_NE(err.find("FmodFel! QZ :): FEEL n\xC3\xA4r Fmod skulle startas\n"), std::string::npos) << err;
}

}  // namespace
