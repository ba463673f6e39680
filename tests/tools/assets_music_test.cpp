// The XM writer's layout and refusals; the composed song in two players, cue for cue with the show.
#include "assets_support.h"

#include "game/timeline.h"
#include "tools/assets/instruments.h"
#include "tools/assets/song.h"
#include "tools/assets/xm_writer.h"

#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace {

uint32_t u16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t u32(const std::vector<uint8_t>& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

// Two channels, one short pattern, one instrument with one looped 16-bit sample.
xm::Module tinyModule()
{
    xm::Module m;
    m.channels = 2;
    m.order = {0};
    m.patterns = {{4, std::vector<xm::Cell>(8)}};
    m.patterns[0].cells[0] = {49, 1, 0x50, 0, 0};
    m.patterns[0].cells[3] = {xm::kNoteOff, 0, 0, 0x0C, 0x20};
    m.instruments.resize(1);
    xm::Sample& s = m.instruments[0].samples.emplace_back();
    s.frames = {1000, -1000, 32767, -32768, 5};
    s.loop = xm::Loop::Forward;
    s.loopStart = 1;
    s.loopLength = 4;
    return m;
}

TEST(XmWriter, LayoutWalksFromHeaderToLastSampleByte)
{
    std::string error;
    const std::vector<uint8_t> b = xm::encode(tinyModule(), error);
    ASSERT_GE(b.size(), 336u);
    // Version, song length, channels, patterns stored (a count), instruments, linear frequencies.
    for (const auto& [at, value] : {std::pair<size_t, uint32_t>{58, 0x0104}, {64, 1}, {68, 2}, {70, 1}, {72, 1}, {74, 1}})
        EXPECT_EQ(u16(b, at), value) << "offset " << at;
    // Packed cells: note+ins+vol, six empties, key-off+effect.
    const uint32_t packed = u16(b, 336 + 7), insSize = u32(b, 345 + packed);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 345, b.begin() + 345 + packed),
              std::vector<uint8_t>({0x87, 49, 1, 0x50, 0x80, 0x80, 0x99, 97, 0x0C, 0x20, 0x80, 0x80, 0x80, 0x80}));
    // The instrument's size field covers what precedes its sample header, whose lengths count
    // bytes for 16-bit data; the frames end the file, delta-coded with wrap-around: 1000, -2000,
    // -31769, 1, -32763.
    const size_t sh = 345 + packed + insSize;
    EXPECT_EQ((std::vector<uint32_t>{insSize, u32(b, sh), u32(b, sh + 4), u32(b, sh + 8), b[sh + 14]}),
              (std::vector<uint32_t>{263, 10, 2, 8, 0x11}));
    ASSERT_EQ(b.size(), sh + 40 + 10);
    EXPECT_EQ(std::vector<uint8_t>(b.end() - 10, b.end()),
              std::vector<uint8_t>({0xE8, 0x03, 0x30, 0xF8, 0xE7, 0x83, 0x01, 0x00, 0x05, 0x80}));
}

// Each case breaks a rule that one of the two players enforces (or misreads without a word);
// the writer must say so and write nothing.
TEST(XmWriter, RefusesWhatThePlayersCannotRead)
{
    const struct { const char* what; void (*breakIt)(xm::Module&); } cases[] = {
        {"pattern of 257 rows", [](xm::Module& m) { m.patterns[0].rows = 257; m.patterns[0].cells.resize(257 * 2); }},
        {"loop past the data", [](xm::Module& m) { m.instruments[0].samples[0].loopLength = 5; }},
        {"order names an unstored pattern", [](xm::Module& m) { m.order.push_back(1); }},
        {"restart outside the order list", [](xm::Module& m) { m.restart = 1; }},
        {"F00", [](xm::Module& m) { m.patterns[0].cells[1].effect = 0x0F; }},
    };
    const assets_test::ScratchDir scratch;
    const std::string path = (scratch.path() / "refused.xm").string();
    std::string error;
    for (const auto& c : cases) {
        xm::Module m = tinyModule();
        c.breakIt(m);
        EXPECT_TRUE(xm::encode(m, error).empty()) << c.what;
        EXPECT_FALSE(xm::write(m, path, error)) << c.what;
        EXPECT_FALSE(std::filesystem::exists(path)) << c.what;
    }
    EXPECT_FALSE(xm::write(tinyModule(), (scratch.path() / "no-such-folder" / "x.xm").string(), error));
}

// Every visible change of the show has a cue on its row (a stab, crash or the cow's low), and no
// row carries one where nothing changes; the strongest moments carry a crash and a kick too.
TEST(Song, CuesFallOnTheShowsChangesAndNowhereElse)
{
    namespace tl = demo::timeline;
    const xm::Module m = music::composeSong();
    std::map<int, std::set<uint8_t>> started;  // ms -> instruments started on that row
    int row = 0;
    for (const uint8_t o : m.order)
        for (int r = 0; r < m.patterns[o].rows; ++r, ++row)
            for (int ch = 0; ch < m.channels; ++ch)
                started[row * music::kRowMs].insert(m.patterns[o].cells[static_cast<size_t>(r * m.channels + ch)].instrument);
    std::set<int> cues, expected;
    for (const auto& [ms, ins] : started)
        if (ins.count(music::Stab) || ins.count(music::Crash) || ins.count(music::Moo))
            cues.insert(ms);
    const std::vector<double> changes = tl::VisibleChanges();
    ASSERT_EQ(changes.size(), 42u);
    for (const double t : changes)
        expected.insert(static_cast<int>(t) / music::kRowMs * music::kRowMs);
    EXPECT_EQ(cues, expected);
    const double finalFrame = *std::find_if(changes.begin(), changes.end(), [](double t) { return t > tl::finalFrameFrom; });
    for (const double t : {tl::lampLit.from, tl::lampLit.to, tl::cowFrom, tl::knockAwayFrom, tl::loop.from,
                           tl::loop.to, finalFrame})
        EXPECT_TRUE(started[static_cast<int>(t)].count(music::Crash) && started[static_cast<int>(t)].count(music::Kick)) << t;
    EXPECT_TRUE(started[static_cast<int>(tl::cowInViewAt) / music::kRowMs * music::kRowMs].count(music::Moo));
}

// Both players play the same module for the same time, at least 72 s, and loop it; rendered
// it never clips, has width that survives a mono fold-down, and no gap before the loop.
TEST(Song, BothPlayersAgreeAndItLoopsWideWithoutAGap)
{
    constexpr int kRate = 48000, kWindow = kRate / 20;  // 50 ms
    std::string error;
    const std::vector<uint8_t> song = xm::encode(music::composeSong(), error);
    std::unique_ptr<openmpt_module, void (*)(openmpt_module*)> mod(openmpt_module_create_from_memory2(song.data(),
        song.size(), &openmpt_log_func_silent, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), &openmpt_module_destroy);
    ASSERT_NE(mod, nullptr);
    const double seconds = openmpt_module_get_duration_seconds(mod.get());
    EXPECT_GE(seconds, 72.0);
    openmpt_module_set_repeat_count(mod.get(), -1);
    const size_t loopAt = static_cast<size_t>(std::lround(seconds * kRate));
    std::vector<float> lr(2 * (loopAt + kRate));
    ASSERT_EQ(openmpt_module_read_interleaved_float_stereo(mod.get(), kRate, lr.size() / 2, lr.data()), lr.size() / 2)
        << "plays on past its end";
    double side = 0, mid = 0;
    float peak = 0;
    for (size_t w = 0; w + kWindow <= lr.size() / 2; w += kWindow) {
        double wm = 0, ws = 0, wlr = 0;
        for (size_t i = 2 * w; i < 2 * (w + kWindow); i += 2) {
            wm += (lr[i] + lr[i + 1]) * (lr[i] + lr[i + 1]) / 4.0, ws += (lr[i] - lr[i + 1]) * (lr[i] - lr[i + 1]) / 4.0;
            wlr += (lr[i] * lr[i] + lr[i + 1] * lr[i + 1]) / 2.0;
            peak = std::max({peak, std::fabs(lr[i]), std::fabs(lr[i + 1])});
        }
        side += ws, mid += wm;
        EXPECT_GE(wm, 0.5 * wlr) << "cancels in mono at " << w / kRate << " s";
        const bool nearLoop = w + 2 * kRate >= loopAt && w < loopAt + kRate / 10;
        EXPECT_TRUE(!nearLoop || wlr / kWindow > 1e-5) << "near silence at " << static_cast<double>(w) / kRate << " s";
    }
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(side / mid, 0.01) << "no stereo width";

    const xmp_context ctx = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(ctx, song.data(), static_cast<long>(song.size())), 0);
    EXPECT_EQ(xmp_start_player(ctx, kRate, 0), 0);
    xmp_frame_info fi{};
    size_t xmpFrames = 0;
    while (xmp_play_frame(ctx) == 0 && (xmp_get_frame_info(ctx, &fi), fi.loop_count == 0))
        xmpFrames += static_cast<size_t>(fi.buffer_size / 4);
    EXPECT_EQ(fi.loop_count, 1) << "libxmp loops it";
    xmp_end_player(ctx);
    xmp_free_context(ctx);  // releases the module too
    EXPECT_NEAR(static_cast<double>(xmpFrames) / kRate, seconds, 0.005);
}

}  // namespace
