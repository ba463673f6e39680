#include "zkl/init.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_recorder.h"

using namespace zkl;

using namespace plat;
using Log = std::vector<std::string>;

namespace {

class InitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeplat::reset();
        glrec::reset();
        std::fill(std::begin(keys), std::end(keys), false);
        active = fullscreen = true;
        hDC = nullptr, hRC = nullptr, hWnd = nullptr, hInstance = nullptr;
    }
    // The log after the first entry with this name.
    static Log logAfter(const std::string& first)
    {
        const Log& log = fakeplat::state().log;
        return Log(std::find(log.begin(), log.end(), first) + 1, log.end());
    }
    // The only box shown has this caption and style and no owner.
    static void expectOneBox(const std::string& caption, unsigned style)
    {
        ASSERT_EQ(fake::boxes().size(), 1u);
        EXPECT_EQ(std::tie(fake::boxes()[0].caption, fake::boxes()[0].style, fake::boxes()[0].owner),
                  std::make_tuple(caption, style, nullptr));
    }
};

TEST_F(InitTest, WindowGetsTheClientSizeAndFullscreenTheModeAskedFor)
{
    ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, false), 1);
    const fakeplat::Created& c = *fakeplat::state().created;
    EXPECT_EQ(std::tie(c.width, c.height), std::make_tuple(816, 616)) << "the adjusted rectangle";
    const PIXELFORMATDESCRIPTOR& p = *fakeplat::state().pixelFormat;
    EXPECT_EQ(std::tie(p.nSize, p.nVersion, p.dwFlags, p.cColorBits, p.cDepthBits),
              std::make_tuple(40, 1, 0x25u, 16, 16));
    EXPECT_EQ(logAfter("wglMakeCurrent"), (Log{"ShowWindow", "SetForegroundWindow", "SetFocus"}));
    EXPECT_EQ(glrec::calls().front().name, "glViewport") << "GL is set up once the context is current";
    SetUp();
    ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, true), 1);
    const DEVMODE& m = *fakeplat::state().mode;
    EXPECT_EQ(std::make_tuple(m.dmSize, m.dmPelsWidth, m.dmPelsHeight, m.dmBitsPerPel, m.dmFields),
              std::make_tuple(sizeof(DEVMODE), 800u, 600u, 16u, 0x001C0000u));
    EXPECT_EQ(std::tie(fakeplat::state().modeFlags, fakeplat::state().created->exStyle),
              std::make_tuple(CDS_FULLSCREEN, 0x00040000u));
}

// Nothing that was never made is released or reported, and no GL call goes without a context.
TEST_F(InitTest, EachFailingStepTearsDownWhatWasBuiltThenShowsItsMessage)
{
    const Log dcUp = {"ReleaseDC", "DestroyWindow", "UnregisterClass"};
    const struct { const char* step; const char* message; Log teardown; } failures[] = {
        {"RegisterClass", "Failed To Register The Window Class.", {}},
        {"CreateWindowEx", "Window Creation Error.", {"UnregisterClass"}},
        {"GetDC", "Can't Create A GL Device Context.", {"DestroyWindow", "UnregisterClass"}},
        {"ChoosePixelFormat", "Can't Find A Suitable PixelFormat.", dcUp},
        {"SetPixelFormat", "Can't Set The PixelFormat.", dcUp},
        {"wglCreateContext", "Can't Create A GL Rendering Context.", dcUp},
        {"wglMakeCurrent", "Can't Activate The GL Rendering Context.",
         {"wglMakeCurrent(none)", "wglDeleteContext", "ReleaseDC", "DestroyWindow", "UnregisterClass"}},
    };
    for (const bool full : {false, true})
        for (const auto& f : failures) {
            SCOPED_TRACE(std::string(f.step) + (full ? " fullscreen" : " windowed"));
            SetUp();
            fakeplat::state().failing = {f.step};
            EXPECT_EQ(CreateGLWindow("t", 800, 600, 16, full), 0);
            Log expected = full && f.teardown.size() ? Log{"ChangeDisplaySettings(restore)", "ShowCursor(show)"} : Log{};
            expected.insert(expected.end(), f.teardown.begin(), f.teardown.end());
            expected.push_back(std::string("box:") + f.message);
            EXPECT_EQ(logAfter(f.step), expected);
            expectOneBox("ERROR", 0x30u);
            EXPECT_EQ(fakeplat::state().cursorCount, 0);
            EXPECT_TRUE(glrec::calls().empty());
        }
}

TEST_F(InitTest, RefusedFullscreenModeAsksForAWindow)
{
    const std::string question =
        "box:The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?";
    for (const int answer : {IDYES, IDNO}) {
        SetUp();
        fakeplat::state().failing = {"ChangeDisplaySettings"};
        fake::answerNext(answer);
        EXPECT_EQ(CreateGLWindow("t", 800, 600, 16, true), answer == IDYES);
        EXPECT_EQ(fake::boxes().at(0).caption, "Vexo GL");
        EXPECT_EQ(fake::boxes()[0].style, 0x34u);
        EXPECT_EQ(fakeplat::state().cursorCount, 0);
        if (answer == IDNO) {
            EXPECT_EQ(logAfter("ChangeDisplaySettings"), (Log{question, "box:Program Will Now Close."}));
            EXPECT_EQ(fake::boxes().at(1).style, 0x10u);
            continue;
        }
        EXPECT_FALSE(fullscreen);
        EXPECT_EQ(fakeplat::state().created->style, 0x06CF0000u);
    }
}

TEST_F(InitTest, TeardownReportsEachFailedReleaseAndCarriesOn)
{
    const std::pair<const char*, const char*> cases[] = {
        {"wglMakeCurrent(none)", "Release Of DC And RC Failed."},
        {"ReleaseDC", "Release Device Context Failed."}, {"UnregisterClass", "Could Not Unregister Class."},
    };
    for (const auto& [failing, message] : cases) {
        SCOPED_TRACE(failing);
        SetUp();
        ASSERT_EQ(CreateGLWindow("t", 800, 600, 16, false), 1);
        fakeplat::state().failing = {failing};
        fakeplat::state().log.clear();
        KillGLWindow();
        Log expected = {"wglMakeCurrent(none)", "wglDeleteContext", "ReleaseDC", "DestroyWindow", "UnregisterClass"};
        expected.insert(std::find(expected.begin(), expected.end(), failing) + 1, std::string("box:") + message);
        EXPECT_EQ(fakeplat::state().log, expected);
        expectOneBox("SHUTDOWN ERROR", 0x40u);
        EXPECT_EQ(hRC, nullptr);
    }
}

LRESULT send(UINT message, WPARAM wParam, LPARAM lParam = 0) { return windowProc(fakeplat::window(), message, wParam, lParam); }

TEST_F(InitTest, WindowProcedureKeepsActiveAndKeysAndPassesTheRestOn)
{
    // Active follows the minimised state (high word), not the focus.
    for (const auto& [wParam, isActive] : {std::pair{MAKELONG(WA_INACTIVE, 1), false}, {MAKELONG(WA_ACTIVE, 0), true},
                                           {MAKELONG(WA_INACTIVE, 0), true}, {MAKELONG(WA_ACTIVE, 1), false}}) {
        EXPECT_EQ(send(WM_ACTIVATE, wParam), 0);
        EXPECT_EQ(active, isActive) << std::hex << wParam;
    }
    send(WM_KEYDOWN, VK_ESCAPE);
    send(WM_KEYDOWN, 255);
    send(WM_KEYUP, 255);
    // Codes no keyboard sends must not reach past the table (the sanitizer build sees any write).
    for (const WPARAM code : {WPARAM(256), ~WPARAM(0)})
        send(WM_KEYDOWN, code), send(WM_KEYUP, code);
    EXPECT_TRUE(keys[VK_ESCAPE]);
    EXPECT_TRUE(fakeplat::state().defaultHandled.empty());

    // The screen saver and monitor power-off are swallowed, compared on the whole wParam.
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    send(WM_SYSCOMMAND, SC_SCREENSAVE | 1);
    send(WM_SYSKEYDOWN, VK_F4);
    EXPECT_EQ(std::count(std::begin(keys), std::end(keys), true), 1) << "Escape alone is down";
    ASSERT_EQ(fakeplat::state().defaultHandled.size(), 2u);
    EXPECT_EQ(fakeplat::state().defaultHandled[0].wParam, SC_SCREENSAVE | 1);
}

TEST_F(InitTest, SizeMessagesResetTheProjectionWithoutDividingByZero)
{
    const struct { int width, height; double viewportHeight, aspect; } cases[] = {
        {800, 600, 600, 800.0 / 600.0}, {640, 0, 1, 640.0}, {0, 0, 1, 0.0}};
    for (const auto& c : cases) {
        glrec::reset();
        send(WM_SIZE, SIZE_RESTORED, LPARAM(MAKELONG(uint16_t(c.width), uint16_t(c.height))));
        EXPECT_EQ(glrec::named("glViewport").at(0).args, (std::vector<double>{0, 0, double(c.width), c.viewportHeight}));
        EXPECT_EQ(glrec::named("gluPerspective").at(0).args, (std::vector<double>{45.0, c.aspect, 0.01f, 300.1f}));
    }
}

}  // namespace
