#include "platform/win.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "platform/process.h"
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
    void push(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE)
    {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_WINDOWEVENT)
            e.window = {SDL_WINDOWEVENT, 0, SDL_GetWindowID(window_->sdl), Uint8(key), 0, 0, 0, 0, 0};
        else {
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

TEST_F(WindowLayerTest, KeysBecomeVirtualKeyMessagesAltMakesThemSystemKeysAndQuitComesLast)
{
    const struct { Uint32 type; SDL_Keycode key; Uint16 mod; UINT message; WPARAM vk; } cases[] = {
        {SDL_KEYDOWN, SDLK_ESCAPE, KMOD_NONE, WM_KEYDOWN, VK_ESCAPE}, {SDL_KEYUP, SDLK_ESCAPE, KMOD_NONE, WM_KEYUP, VK_ESCAPE},
        {SDL_KEYDOWN, SDLK_q, KMOD_LSHIFT, WM_KEYDOWN, 'Q'},          {SDL_KEYDOWN, SDLK_7, KMOD_NONE, WM_KEYDOWN, '7'},
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

    push(SDL_KEYDOWN, SDLK_a);
    PostQuitMessage(3);
    EXPECT_EQ(drain(false), (std::vector<Message>{{WM_KEYDOWN, 'A', 0}, {WM_QUIT, 3, 0}}));
    EXPECT_EQ(WaitMessageTimeout(1), 0);
}

// Minimised means inactive and minimised, also when the focus goes meanwhile.
TEST_F(WindowLayerTest, WindowEventsReportSizeAndActivation)
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
    // Another window in front: inactive, but not minimised.
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(drain(), (std::vector<Message>{{WM_ACTIVATE, WA_INACTIVE, 0}}));

    // The show draws its layers with depth tests: the context must have a depth buffer.
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
}

// Box texts and titles: UTF-8 from a file name stays as it is; the program's own Windows-1252
// texts, and anything else that is not well-formed UTF-8, are converted. Without a display a
// question takes its default answer (what the e2e no_display scenario sees on stderr).
TEST(MessageBoxText, Utf8PassesWindows1252IsConvertedAndWithoutDisplayAQuestionSaysYes)
{
    const struct { const char* in; std::string out; } cases[] = {
        {"Failed to open DIB file gr\xC3\xB6n.bmp", "Failed to open DIB file gr\xC3\xB6n.bmp"},
        {"\xE2\x82\xAC \xF0\x9F\x90\x84", "\xE2\x82\xAC \xF0\x9F\x90\x84"},
        {"\x80\x81\x9F\xA0\xFF", "\xE2\x82\xAC\xC2\x81\xC5\xB8\xC2\xA0\xC3\xBF"},
        {"gr\xC3", "gr\xC3\x83"},                          // cut short
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                  // overlong
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
        {nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(detail::textForDisplay(c.in), c.out) << (c.in ? c.in : "(null)");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(MessageBox(nullptr, "Fullscreen?", "Q", MB_YESNO), IDYES);
}

// Descriptors 0-2 closed at start end up on /dev/null; once the loop takes messages, SIGTERM
// arrives as its quit message with its exit code (the e2e scenario cannot tell that from a kill).
TEST(Process, ClosedDescriptorsGetDevNullAndSignalsEndTheLoop)
{
    struct stat null {};
    ASSERT_EQ(stat("/dev/null", &null), 0);
    EXPECT_EXIT(
        {
            for (int fd = 0; fd <= 2; ++fd)
                close(fd);
            StartProcess();
            bool onNull = true;
            for (int fd = 0; fd <= 2; ++fd) {
                struct stat st {};
                onNull = onNull && fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == null.st_rdev;
            }
            MSG msg{};
            PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
            std::raise(SIGTERM);
            const bool quit = PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT;
            std::_Exit(onNull && quit ? int(msg.wParam) : 1);
        },
        testing::ExitedWithCode(143), "");
}

}  // namespace
