#include "game/demo.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/clock.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_music.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/init.h"

using namespace zkl;

using namespace plat;
using Log = std::vector<std::string>;

namespace {

class DemoTest : public ::testing::Test {
protected:
    // An empty folder: every texture file is missing and says so in a box.
    void SetUp() override
    {
        std::filesystem::current_path(dir_.path());
        fakeplat::reset();
        fakemusic::reset();
        fakemusic::setCallObserver([](const char* call) { fakeplat::note(std::string("music:") + call); });
        glrec::reset();
        std::fill(std::begin(keys), std::end(keys), false);
        active = fullscreen = true;
        demo::mod = nullptr;
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    // Runs WinMain with `react(n, name)` called after each logged call.
    static int run(std::function<void(int, const std::string&)> react)
    {
        fakeplat::state().onCall = [react, n = 0](const std::string& name) mutable { react(++n, name); };
        return demo::WinMain(nullptr, nullptr, nullptr, 0);
    }
    // Runs WinMain; `onFrame(n)` is called at the n-th SwapBuffers.
    static int runFrames(std::function<void(int)> onFrame)
    {
        int frames = 0;
        return run([&](int, const std::string& name) {
            if (name == "SwapBuffers")
                onFrame(++frames);
        });
    }
    static long count(const std::string& entry)
    {
        return std::count(fakeplat::state().log.begin(), fakeplat::state().log.end(), entry);
    }

    const std::filesystem::path previous_ = std::filesystem::current_path();
    const testutil::ScratchDir dir_;
};

const auto closeAtFirst = [](int n) {
    if (n == 1)
        fakeplat::post(WM_CLOSE);
};

// The music is loaded before the question and starts only once the window and the textures are
// up, so loading never shifts the picture against it; it goes before the window on the way out.
TEST_F(DemoTest, StartsUpInOrderAndShutsDownMusicBeforeTheWindow)
{
    EXPECT_EQ(runFrames(closeAtFirst), 0);
    Log order = fakeplat::logOf({"music:", "box:", "RegisterClass", "SwapBuffers", "wglMakeCurrent(none)"});
    order.erase(std::unique(order.begin(), order.end()), order.end());  // the seven texture boxes as one
    EXPECT_EQ(order, (Log{"music:SoundInit", "music:MusicLoadSong", "box:Fullscreen?", "RegisterClass",
                          "box:Could Not Load Texture.", "music:MusicPlaySong", "music:MusicSetMasterVolume",
                          "music:MusicGetTime", "SwapBuffers", "music:MusicFreeSong", "music:SoundClose",
                          "wglMakeCurrent(none)"}));
    const fake::Box& question = fake::boxes()[0];
    EXPECT_EQ(question.caption, "QECS (Quendrill Elite Config System)");
    EXPECT_EQ(question.style, 0x24u);
    EXPECT_EQ(fakeplat::state().created->title, "Vavarizo32 complete remake!");
    EXPECT_EQ(fakeplat::state().created->style, 0x86000000u) << "yes means fullscreen";
    EXPECT_EQ(glrec::named("glClearColor").at(1).args, (std::vector<double>{0.0, 0.0, 1.0, 0.0}));
    for (size_t i = 2; i < fakemusic::state().calls.size() - 1; ++i)
        EXPECT_EQ(fakemusic::state().modules[i], fakemusic::loadedModule()) << fakemusic::state().calls[i];

    SetUp();
    fake::answerNext(IDNO);
    runFrames(closeAtFirst);
    EXPECT_FALSE(fakeplat::state().mode.has_value());
    EXPECT_EQ(fakeplat::state().created->style, 0x06CF0000u);
}

TEST_F(DemoTest, MusicFailuresAreReportedAndStartUpCarriesOn)
{
    fakemusic::state().initSucceeds = fakemusic::state().loadSucceeds = false;
    EXPECT_EQ(runFrames(closeAtFirst), 0);
    ASSERT_GE(fake::boxes().size(), 3u);
    EXPECT_EQ(fake::boxes()[0].text, "FEEL n\xE4r Fmod skulle startas");
    EXPECT_EQ(fake::boxes()[1].text, "morvaskfel!");
    for (int i : {0, 1})
        EXPECT_EQ(fake::boxes()[i].caption, "FmodFel! QZ :)");
    EXPECT_EQ(fake::boxes()[2].text, "Fullscreen?");
    EXPECT_EQ(fakemusic::state().modules[2], nullptr) << "the null module is played";
    EXPECT_EQ(count("SwapBuffers"), 1);
}

TEST_F(DemoTest, WindowThatCannotBeMadeEndsWithAFailureCodeAndReleasesTheMusic)
{
    fakeplat::state().failing = {"CreateWindowEx"};
    EXPECT_EQ(demo::WinMain(nullptr, nullptr, nullptr, 0), 1);
    EXPECT_EQ(fake::boxes().back().text, "Window Creation Error.");
    EXPECT_EQ(fakeplat::logOf({"music:", "box:Could"}),
              (Log{"music:SoundInit", "music:MusicLoadSong", "music:MusicFreeSong", "music:SoundClose"}));
}

TEST_F(DemoTest, PendingMessagesAreHandledOneAPassBeforeAFrame)
{
    fakeplat::post(WM_KEYDOWN, 'A');
    fakeplat::post(WM_SIZE, SIZE_RESTORED, LPARAM(MAKELONG(640, 480)));
    fakeplat::post(WM_KEYUP, 'A');
    std::vector<long> dispatched;
    runFrames([&](int n) {
        dispatched.push_back(fakeplat::state().dispatched);
        // Messages that arrive while a frame is shown go before the next frame.
        if (n == 1)
            fakeplat::post(WM_KEYDOWN, 'B'), fakeplat::post(WM_KEYUP, 'B');
        else
            fakeplat::post(WM_CLOSE);
    });
    EXPECT_EQ(dispatched, (std::vector<long>{3, 5}));
    // Each pass takes one message: three dispatches, one frame, two, one frame, close, quit.
    EXPECT_EQ(fakeplat::state().peeks, 3 + 1 + 2 + 1 + 2);
}

// The Escape waits for queued messages; the exit code is the last message's wParam.
TEST_F(DemoTest, EscapeEndsOnTheNextIdlePassWithTheLastMessagesCode)
{
    for (const bool sizeAfter : {false, true}) {
        SetUp();
        const int code = runFrames([=](int n) {
            if (n == 1)
                fakeplat::post(WM_KEYDOWN, VK_ESCAPE);
            if (n == 1 && sizeAfter)
                fakeplat::post(WM_SIZE, SIZE_RESTORED, LPARAM(MAKELONG(800, 600)));
        });
        EXPECT_EQ(count("SwapBuffers"), 1) << "no frame after the key press";
        EXPECT_EQ(code, sizeAfter ? int(SIZE_RESTORED) : int(VK_ESCAPE));
    }
}

// Minimised, the show waits instead of spinning, draws nothing and ignores the Escape; restored
// with Escape still held it ends without another frame. A close ends it even while minimised.
TEST_F(DemoTest, MinimisedShowWaitsIgnoresEscapeAndStillCloses)
{
    for (const bool restore : {true, false}) {
        SetUp();
        int waits = 0;
        const int code = run([&](int, const std::string& name) {
            if (name == "SwapBuffers") {
                fakeplat::post(WM_ACTIVATE, MAKELONG(WA_INACTIVE, 1));
                fakeplat::post(WM_KEYDOWN, VK_ESCAPE);
            } else if (name == "WaitMessageTimeout" && ++waits == 3)
                fakeplat::post(restore ? WM_ACTIVATE : WM_CLOSE, MAKELONG(WA_ACTIVE, 0));
        });
        EXPECT_EQ(waits, 3);
        EXPECT_EQ(count("SwapBuffers"), 1);
        EXPECT_EQ(code, restore ? int(MAKELONG(WA_ACTIVE, 0)) : 0);
    }
}

#ifdef _WIN32  // Windows has no setenv; there an empty value removes the variable
int setenv(const char* name, const char* value, int) { return _putenv_s(name, value); }
int unsetenv(const char* name) { return _putenv_s(name, ""); }
#endif

TEST_F(DemoTest, FrameRateIsPrintedOnExitWhenAskedFor)
{
    setenv("VAVARIZO_FPS", "1", 1);
    int frames = 0;
    fakeplat::state().onCall = [&](const std::string& name) {
        if (name == "SwapBuffers" && ++frames == 3)
            PostQuitMessage(0);
    };
    ::testing::internal::CaptureStdout();
    demo::RunLoop();
    const std::string out = ::testing::internal::GetCapturedStdout();
    unsetenv("VAVARIZO_FPS");
    EXPECT_EQ(out.rfind("vavarizo: 3 frames in ", 0), 0u) << out;
}

}  // namespace
