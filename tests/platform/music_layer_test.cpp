// The real music layer on SDL's dummy (or disk) audio driver, with a tiny module written by the test:
// 400 ms long, a square wave ringing from its first row.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/music.h"
#include "platform/music/module.h"
#include "platform/music/probe.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/tiny_xm.h"

using namespace std::chrono_literals;

namespace {

class MusicLayer : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tinyxm::Write(module, 4)); }
    void TearDown() override { SoundClose(); }

    // Reads the clock as a frame loop would until it passes `targetMs`, checking every step.
    static int32_t PlayUntil(MusicModule* song, int32_t targetMs)
    {
        const auto start = std::chrono::steady_clock::now();
        int32_t previous = MusicGetTime(song);
        while (previous < targetMs && std::chrono::steady_clock::now() - start < 10s) {
            std::this_thread::sleep_for(1ms);
            const int32_t ms = MusicGetTime(song);
            EXPECT_GE(ms, previous);
            previous = ms;
        }
        // Nothing is heard before it is played: the clock stays behind wall time, give or take
        // the dummy driver running up to 2 % fast.
        const auto wallMs = (std::chrono::steady_clock::now() - start) / 1ms;
        EXPECT_LE(previous, wallMs + wallMs / 50 + 5);
        return previous;
    }

    const testutil::ScratchDir dir;
    const std::string module = dir.file("tiny.xm");
};

TEST_F(MusicLayer, LoadsModulesAndRefusesWhatIsNot)
{
    std::ofstream(dir.file("empty.xm"));
    std::ofstream(dir.file("text.xm")) << "this is not music\n";
    MusicModule* song = MusicLoadSong(module.c_str());
    EXPECT_NE(song, nullptr);
    EXPECT_TRUE(MusicFreeSong(song));
    ASSERT_EQ(mkfifo(dir.file("fifo.xm").c_str(), 0600), 0);  // would block an open for ever
    const struct { std::string file, why; } bad[] = {
        {dir.file("missing.xm"), "No such file or directory"}, {dir.file("empty.xm"), "empty or unreadable"},
        {dir.file("text.xm"), "not a module this player can read"},
        {dir.path().string(), "a directory, not a regular file"}, {dir.file("fifo.xm"), "a FIFO, not a regular file"}};
    for (const auto& b : bad) {
        std::string why;
        EXPECT_EQ(music::LoadModuleFile(b.file.c_str(), &why), nullptr);
        EXPECT_EQ(why, b.file + ": " + b.why);
        // The show's own box says only that the module failed: the cause goes to stderr.
        testing::internal::CaptureStderr();
        EXPECT_EQ(MusicLoadSong(b.file.c_str()), nullptr) << b.file;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), why + "\n");
    }
    EXPECT_EQ(MusicLoadSong(nullptr), nullptr);
}

// SDL's disk driver writes what the device is handed to a file. The clock keeps counting up
// through the module's loops, as heard, and the live path hands over exactly the samples the WAV
// renderer writes, frame for frame from the start of play.
TEST_F(MusicLayer, DeviceIsHandedWhatTheWavHoldsThroughLoops)
{
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", dir.file("device.raw").c_str(), 1);
    ASSERT_TRUE(SoundInit(44100, 32, SOUND_INIT_GLOBALFOCUS));
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    MusicModule* song = MusicLoadSong(module.c_str());
    EXPECT_EQ(MusicGetTime(song), 0) << "loaded but not played";
    ASSERT_TRUE(MusicPlaySong(song));
    EXPECT_GE(PlayUntil(song, 1000), 1000);
    EXPECT_TRUE(MusicFreeSong(MusicLoadSong(module.c_str())));
    EXPECT_GE(MusicGetTime(song), 1000) << "freeing another module leaves the clock alone";

    // Freed while playing: the callback is done with it first, and nothing renders it after.
    EXPECT_TRUE(MusicFreeSong(song));
    const int64_t handed = music::Probe().framesHanded;
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(music::Probe().framesHanded, handed);
    EXPECT_EQ(MusicGetTime(nullptr), 0) << "nothing plays";
    song = MusicLoadSong(module.c_str());
    ASSERT_TRUE(MusicPlaySong(song));
    EXPECT_LT(MusicGetTime(song), 200) << "a second module plays from 0 again";
    EXPECT_TRUE(MusicFreeSong(song));
    SoundClose();

    ASSERT_TRUE(MusicRenderWav(module.c_str(), 0, 2000, dir.file("expected.wav").c_str()));
    const auto expected = testutil::readFile(dir.file("expected.wav"));
    const auto heard = testutil::readFile(dir.file("device.raw"));
    const size_t played = size_t(handed) * 4;
    ASSERT_GE(played, 44100u * 4) << "the device played on past the module's end";
    // The device wrote silence while paused before the play: find where the play begins.
    const auto wav = expected.begin() + 44;
    size_t start = 0;
    while (start + 4096 <= heard.size() && !std::equal(wav, wav + 4096, heard.begin() + std::ptrdiff_t(start)))
        start += 4096;
    ASSERT_LE(start + played, heard.size()) << "start of play not found";
    const auto from = heard.begin() + std::ptrdiff_t(start);
    EXPECT_TRUE(std::equal(from, from + std::ptrdiff_t(played), wav));
}

// 128 of 255 is about half the level; beyond full scale stays at full scale; 0 is silence.
TEST_F(MusicLayer, MasterVolumeScalesWhatTheDeviceIsHanded)
{
    const auto peak = [this](int volume) {
        MusicModule* song = MusicLoadSong(module.c_str());
        EXPECT_TRUE(MusicSetMasterVolume(song, volume));
        std::vector<int16_t> out(2 * 4410);
        music::RenderFrames(*song, 44100, out.data(), out.size() / 2);
        MusicFreeSong(song);
        int most = 0;
        for (const int16_t s : out)
            most = std::max(most, std::abs(int(s)));
        return most;
    };
    const int full = peak(255);
    ASSERT_GT(full, 1000);
    EXPECT_NEAR(peak(128), full / 2, full / 50);
    EXPECT_EQ(peak(1000), full);
    EXPECT_EQ(peak(0), 0);
}

// Without a device, or with the null module, the show runs on wall time from the play.
TEST_F(MusicLayer, WallTimeWithoutDeviceOrModule)
{
    for (const bool withDevice : {false, true}) {
        SCOPED_TRACE(withDevice ? "null module" : "no device");
        ASSERT_TRUE(!withDevice || SoundInit(44100, 32, SOUND_INIT_GLOBALFOCUS));
        EXPECT_FALSE(MusicSetMasterVolume(nullptr, 255));
        EXPECT_FALSE(MusicFreeSong(nullptr));
        MusicModule* song = withDevice ? nullptr : MusicLoadSong(module.c_str());
        EXPECT_FALSE(MusicPlaySong(song));
        EXPECT_GE(PlayUntil(song, 80), 80);
        MusicFreeSong(song);
        SoundClose();
    }
    SoundClose();  // closing twice is harmless too
}

TEST_F(MusicLayer, RendersWavSpansAsPlayedFromTheStartOrNoFileAtAll)
{
    ASSERT_TRUE(MusicRenderWav(module.c_str(), 0, 1000, dir.file("whole.wav").c_str()));
    const auto w = testutil::readFile(dir.file("whole.wav"));
    ASSERT_EQ(w.size(), 44u + 44100u * 4u);
    const auto le16 = [&](size_t at) { return uint32_t(w[at] | w[at + 1] << 8); };
    const auto le32 = [&](size_t at) { return le16(at) | le16(at + 2) << 16; };
    EXPECT_EQ(std::string(w.begin(), w.begin() + 4) + std::string(w.begin() + 8, w.begin() + 16) +
                  std::string(w.begin() + 36, w.begin() + 40), "RIFFWAVEfmt data");
    // Sizes, PCM, stereo, 44.1 kHz, bytes per second and per frame, 16 bits, data size.
    EXPECT_EQ((std::vector<uint32_t>{le32(4), le16(20), le16(22), le32(24), le32(28), le16(32), le16(34), le32(40)}),
              (std::vector<uint32_t>{44100 * 4 + 36, 1, 2, 44100, 44100 * 4, 4, 16, 44100 * 4}));

    // A later start gives the same samples from the same frame on; before 0 there is silence.
    ASSERT_TRUE(MusicRenderWav(module.c_str(), 300, 1000, dir.file("tail.wav").c_str()));
    const auto t = testutil::readFile(dir.file("tail.wav"));
    ASSERT_EQ(t.size(), 44u + 30870u * 4u);
    EXPECT_TRUE(std::equal(t.begin() + 44, t.end(), w.begin() + 44 + 13230 * 4));
    ASSERT_TRUE(MusicRenderWav(module.c_str(), -500, 500, dir.file("early.wav").c_str()));
    const auto e = testutil::readFile(dir.file("early.wav"));
    ASSERT_EQ(e.size(), 44u + 44100u * 4u);
    EXPECT_TRUE(std::all_of(e.begin() + 44, e.begin() + 44 + 22050 * 4, [](auto b) { return b == 0; }));
    EXPECT_TRUE(std::equal(e.begin() + 44 + 22050 * 4, e.end(), w.begin() + 44));
    EXPECT_TRUE(std::any_of(w.end() - 4410 * 4, w.end(), [](auto b) { return b != 0; })) << "the module loops";

    // A render that fails leaves no file.
    const std::string out = dir.file("out.wav");
    EXPECT_FALSE(MusicRenderWav(nullptr, 0, 100, out.c_str()));
    EXPECT_FALSE(MusicRenderWav(module.c_str(), 0, 100, dir.file("no/out.wav").c_str()));
    EXPECT_FALSE(MusicRenderWav(module.c_str(), 0, 30 * 3600 * 1000, out.c_str())) << "more than a WAV holds";
    EXPECT_FALSE(std::filesystem::exists(out));
    ASSERT_TRUE(MusicRenderWav(module.c_str(), 500, 500, out.c_str())) << "an empty span";
    EXPECT_EQ(std::filesystem::file_size(out), 44u);
}

}  // namespace
