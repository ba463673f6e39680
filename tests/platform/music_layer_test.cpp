#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "platform/music.h"
#include "platform/music/module.h"
#include "platform/music/probe.h"
#include "tests/support/tiny_xm.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int rowsPerLoop = 4;  // 400 ms per pass through the module

std::vector<unsigned char> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le(const std::vector<unsigned char>& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | b.at(at + static_cast<size_t>(i));
    return v;
}

class MusicLayer : public testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("vavarizo-music-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        module = (dir / "tiny.xm").string();
        ASSERT_TRUE(tinyxm::Write(module, rowsPerLoop));
    }
    void TearDown() override
    {
        SoundClose();
        fs::remove_all(dir);
    }

    // Reads the clock as a frame loop would until it passes `targetMs`; checks every step.
    int32_t PlayUntil(MusicModule* song, int32_t targetMs)
    {
        const auto start = std::chrono::steady_clock::now();
        int32_t previous = MusicGetTime(song);
        while (previous < targetMs && std::chrono::steady_clock::now() - start < 10s) {
            std::this_thread::sleep_for(1ms);
            const int32_t ms = MusicGetTime(song);
            EXPECT_GE(ms, previous);
            previous = ms;
        }
        // Nothing can be heard before it was played: the clock stays behind wall time, give or
        // take the dummy driver running up to 2% fast.
        const auto wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start).count();
        EXPECT_LE(previous, wallMs + wallMs / 50 + 5);
        return previous;
    }

    fs::path dir;
    std::string module;
};

TEST_F(MusicLayer, LoadsModulesAndRefusesWhatIsNot)
{
    std::ofstream(dir / "empty.xm");
    std::ofstream(dir / "text.xm") << "this is not music\n";
    auto cut = tinyxm::Module(rowsPerLoop);
    cut.resize(40);
    std::ofstream(dir / "cut.xm", std::ios::binary)
        .write(reinterpret_cast<const char*>(cut.data()), static_cast<std::streamsize>(cut.size()));

    EXPECT_EQ(MusicGetTime(nullptr), 0) << "nothing played yet";
    MusicModule* song = MusicLoadSong(module.c_str());
    EXPECT_NE(song, nullptr);
    EXPECT_TRUE(MusicFreeSong(song));
    ASSERT_EQ(mkfifo((dir / "fifo.xm").c_str(), 0600), 0);  // would block an open for ever
    const struct { fs::path file; std::string why; } bad[] = {
        {dir / "missing.xm", "No such file or directory"}, {dir / "empty.xm", "empty or unreadable"},
        {dir / "text.xm", "not a module this player can read"}, {dir / "cut.xm", "not a module this player can read"},
        {dir, "a directory, not a regular file"}, {dir / "fifo.xm", "a FIFO, not a regular file"}};
    for (const auto& b : bad) {
        std::string why;
        EXPECT_EQ(music::LoadModuleFile(b.file.c_str(), &why), nullptr);
        EXPECT_EQ(why, b.file.string() + ": " + b.why);
        EXPECT_EQ(MusicLoadSong(b.file.c_str()), nullptr) << b.file;
    }
    EXPECT_EQ(MusicLoadSong(nullptr), nullptr);
}

// The module is 400 ms long; the clock keeps counting up through its loops, as heard.
TEST_F(MusicLayer, PlaysOnTheDeviceAndKeepsCountingThroughLoops)
{
    ASSERT_TRUE(SoundInit(44100, 32, SOUND_INIT_GLOBALFOCUS));
    MusicModule* song = MusicLoadSong(module.c_str());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(MusicGetTime(song), 0) << "loaded but not played";
    EXPECT_TRUE(MusicPlaySong(song));
    EXPECT_TRUE(MusicSetMasterVolume(song, 255));

    EXPECT_GE(PlayUntil(song, 1000), 1000);
    const music::ProbeSample probe = music::Probe();
    EXPECT_EQ(probe.rate, 44100);
    EXPECT_GE(probe.framesHanded, 44100) << "the device played on past the module's end";

    // Free while the device is playing it; the callback must be done with it first.
    EXPECT_TRUE(MusicFreeSong(song));
    const int64_t handed = music::Probe().framesHanded;
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(music::Probe().framesHanded, handed) << "nothing renders a freed module";

    // A second module plays from 0 again.
    song = MusicLoadSong(module.c_str());
    ASSERT_TRUE(MusicPlaySong(song));
    EXPECT_LT(MusicGetTime(song), 200);
    EXPECT_GE(PlayUntil(song, 100), 100);
    EXPECT_TRUE(MusicFreeSong(song));
}

// What the device is handed follows the master volume; beyond full scale it stays at full scale.
TEST_F(MusicLayer, MasterVolumeScalesWhatTheDeviceIsHanded)
{
    const auto render = [this](int volume) {
        MusicModule* song = MusicLoadSong(module.c_str());
        EXPECT_TRUE(MusicSetMasterVolume(song, volume));
        std::vector<int16_t> out(2 * 4410);
        music::RenderFrames(*song, 44100, out.data(), out.size() / 2);
        MusicFreeSong(song);
        return out;
    };
    const auto full = render(255);
    ASSERT_TRUE(std::any_of(full.begin(), full.end(), [](int16_t s) { return std::abs(s) > 1000; }));
    EXPECT_EQ(render(1000), full);
    const auto silent = render(0);
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](int16_t s) { return s == 0; }));
    const auto half = render(128);
    for (size_t i = 0; i < full.size(); ++i)
        ASSERT_EQ(half[i], full[i] * 128 / 255) << "sample " << i;
}

// SDL's disk driver writes what the device is handed to a file: the live path must hand over
// exactly the samples the WAV renderer writes, frame for frame from the start of play.
TEST_F(MusicLayer, DeviceIsHandedWhatTheWavHolds)
{
    const fs::path raw = dir / "device.raw";
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    ASSERT_TRUE(SoundInit(44100, 32, SOUND_INIT_GLOBALFOCUS));
    MusicModule* song = MusicLoadSong(module.c_str());
    ASSERT_TRUE(MusicPlaySong(song));
    PlayUntil(song, 300);
    MusicFreeSong(song);
    const int64_t played = music::Probe().framesHanded * 4;
    SoundClose();
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);

    const fs::path wav = dir / "expected.wav";
    ASSERT_TRUE(MusicRenderWav(module.c_str(), 0, 2000, wav.c_str()));
    const auto expected = ReadFile(wav);
    const auto heard = ReadFile(raw);
    ASSERT_GT(played, 4096);

    // The device wrote silence while it was paused before the play: find where the play begins.
    constexpr size_t bufferBytes = 1024 * 4;
    size_t start = 0;
    while (start + bufferBytes <= heard.size() &&
           !std::equal(expected.begin() + 44, expected.begin() + 44 + bufferBytes,
                       heard.begin() + static_cast<std::ptrdiff_t>(start)))
        start += bufferBytes;
    ASSERT_LE(start + static_cast<size_t>(played), heard.size()) << "start of play not found";
    EXPECT_TRUE(std::equal(heard.begin() + static_cast<std::ptrdiff_t>(start),
                           heard.begin() + static_cast<std::ptrdiff_t>(start) + played,
                           expected.begin() + 44));
}

// The null module is harmless; without a device, or with the null module, nothing is audible
// and the show runs on wall time from the play.
TEST_F(MusicLayer, WallTimeWithoutDeviceOrModule)
{
    for (const bool withDevice : {false, true}) {
        SCOPED_TRACE(withDevice ? "null module" : "no device");
        if (withDevice) {
            ASSERT_TRUE(SoundInit(44100, 32, SOUND_INIT_GLOBALFOCUS));
        }
        EXPECT_FALSE(MusicSetMasterVolume(nullptr, 255));
        EXPECT_FALSE(MusicFreeSong(nullptr));
        MusicModule* song = withDevice ? nullptr : MusicLoadSong(module.c_str());
        ASSERT_EQ(song == nullptr, withDevice);
        EXPECT_FALSE(MusicPlaySong(song));
        EXPECT_GE(PlayUntil(song, 80), 80);
        EXPECT_GE(MusicGetTime(nullptr), 0);
        MusicFreeSong(song);
        SoundClose();
    }
    EXPECT_FALSE(MusicPlaySong(nullptr)) << "no device";
    SoundClose();  // closing twice is harmless too
}

TEST_F(MusicLayer, FrozenClockReportsTheGivenInstantForEveryModule)
{
    // Freezing is for good, so it happens in a child process.
    EXPECT_EXIT(
        {
            MusicModule* song = MusicLoadSong(module.c_str());
            MusicPlaySong(song);
            MusicFreezeClock(68000);
            std::this_thread::sleep_for(20ms);
            const bool ok = MusicGetTime(song) == 68000 && MusicGetTime(nullptr) == 68000;
            MusicFreeSong(song);
            std::exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(MusicLayer, RendersWavSpansAsPlayedFromTheStart)
{
    ASSERT_TRUE(MusicRenderWav(module.c_str(), 0, 1000, (dir / "whole.wav").c_str()));
    const auto w = ReadFile(dir / "whole.wav");
    ASSERT_EQ(w.size(), 44u + 44100u * 4u);
    EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(std::string(w.begin() + 36, w.begin() + 40), "data");
    // Sizes, PCM, stereo, 44.1 kHz, bytes per second and per frame, 16 bits, data size.
    const struct { size_t at; int bytes; size_t value; } fields[] = {
        {4, 4, w.size() - 8}, {20, 2, 1}, {22, 2, 2}, {24, 4, 44100}, {28, 4, 44100 * 4}, {32, 2, 4}, {34, 2, 16},
        {40, 4, 44100 * 4}};
    for (const auto& f : fields)
        EXPECT_EQ(Le(w, f.at, f.bytes), f.value) << "offset " << f.at;

    // A span starting later is the same samples, from the same frame on.
    ASSERT_TRUE(MusicRenderWav(module.c_str(), 300, 1000, (dir / "tail.wav").c_str()));
    const auto t = ReadFile(dir / "tail.wav");
    ASSERT_EQ(t.size(), 44u + 30870u * 4u);
    EXPECT_TRUE(std::equal(t.begin() + 44, t.end(), w.begin() + 44 + 13230 * 4));

    // Before 0 there is silence, then the music starts on the dot.
    ASSERT_TRUE(MusicRenderWav(module.c_str(), -500, 500, (dir / "early.wav").c_str()));
    const auto e = ReadFile(dir / "early.wav");
    ASSERT_EQ(e.size(), 44u + 44100u * 4u);
    EXPECT_TRUE(std::all_of(e.begin() + 44, e.begin() + 44 + 22050 * 4, [](auto b) { return b == 0; }));
    EXPECT_TRUE(std::equal(e.begin() + 44 + 22050 * 4, e.end(), w.begin() + 44));
    // The 400 ms module loops: the last tenth of a second still sounds.
    EXPECT_TRUE(std::any_of(w.end() - 4410 * 4, w.end(), [](auto b) { return b != 0; }));
}

TEST_F(MusicLayer, WavRenderFailsWithoutLeavingAFile)
{
    const fs::path out = dir / "out.wav";
    EXPECT_FALSE(MusicRenderWav(module.c_str(), 1000, 999, out.c_str())) << "backwards span";
    EXPECT_FALSE(MusicRenderWav((dir / "missing.xm").c_str(), 0, 100, out.c_str()));
    EXPECT_FALSE(MusicRenderWav(nullptr, 0, 100, out.c_str()));
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(MusicRenderWav(module.c_str(), 0, 100, (dir / "no" / "out.wav").c_str()));
    EXPECT_FALSE(MusicRenderWav(module.c_str(), 0, 100, nullptr));
    // More than a WAV file can hold.
    EXPECT_FALSE(MusicRenderWav(module.c_str(), 0, 30 * 3600 * 1000, out.c_str()));
    EXPECT_FALSE(fs::exists(out));

    ASSERT_TRUE(MusicRenderWav(module.c_str(), 500, 500, out.c_str())) << "an empty span";
    EXPECT_EQ(fs::file_size(out), 44u);
}

}  // namespace
