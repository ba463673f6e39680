// The module: the writer's byte layout and its refusals, and the composed song as two
// independent players see it.
#include "assets_support.h"

#include "tools/assets/instruments.h"
#include "tools/assets/song.h"
#include "tools/assets/xm_writer.h"

#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

using namespace assets_test;

uint32_t u16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t u32(const std::vector<uint8_t>& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

// Two channels, one short pattern, one instrument with one looped sample.
xm::Module tinyModule()
{
    xm::Module m;
    m.name = "tiny";
    m.tracker = "test";
    m.channels = 2;
    m.order = {0};
    xm::Pattern p;
    p.rows = 4;
    p.cells.resize(8);
    p.cells[0] = {49, 1, 0x50, 0, 0};
    p.cells[3] = {xm::kNoteOff, 0, 0, 0x0C, 0x20};
    m.patterns.push_back(p);
    xm::Sample s;
    s.name = "tone";
    s.frames = {1000, -1000, 32767, -32768, 5};
    s.loop = xm::Loop::Forward;
    s.loopStart = 1;
    s.loopLength = 4;
    xm::Instrument ins;
    ins.name = "tone";
    ins.samples.push_back(s);
    ins.volume.points = {{{0, 64}}, {{10, 32}}};
    ins.volume.sustain = 1;
    m.instruments.push_back(ins);
    return m;
}

TEST(XmWriter, LayoutWalksFromHeaderToLastSampleByte)
{
    std::string error;
    const std::vector<uint8_t> b = xm::encode(tinyModule(), error);
    ASSERT_EQ(error, "");
    ASSERT_GE(b.size(), 336u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 17), "Extended Module: ");
    EXPECT_EQ(b[37], 0x1A);
    // Version, header size, song length, channels, patterns stored (a count), instruments,
    // linear frequencies.
    const std::pair<size_t, uint32_t> header[] = {{58, 0x0104}, {64, 1}, {68, 2}, {70, 1}, {72, 1}, {74, 1}};
    for (const auto& [at, value] : header)
        EXPECT_EQ(u16(b, at), value) << "offset " << at;
    EXPECT_EQ(u32(b, 60), 276u);

    // Pattern: 9-byte header, 4 rows, packed cells (note+ins+vol, six empties, key-off+effect).
    size_t at = 336;
    EXPECT_EQ(u32(b, at), 9u);
    EXPECT_EQ(u16(b, at + 5), 4u);
    const uint32_t packed = u16(b, at + 7);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + at + 9, b.begin() + at + 9 + packed),
              std::vector<uint8_t>({0x87, 49, 1, 0x50, 0x80, 0x80, 0x99, 97, 0x0C, 0x20, 0x80, 0x80, 0x80, 0x80}));
    at += 9 + packed;

    // Instrument: its size field covers exactly what precedes the sample headers.
    const uint32_t insSize = u32(b, at);
    EXPECT_EQ(insSize, 263u);
    EXPECT_EQ(u16(b, at + 27), 1u);
    EXPECT_EQ(u32(b, at + 29), 40u);
    EXPECT_EQ(b[at + 225], 2);      // volume points
    EXPECT_EQ(b[at + 233], 1 | 2);  // on, with sustain
    // Sample lengths and loops in bytes for 16-bit data; type: forward loop, 16-bit.
    const size_t sh = at + insSize;
    EXPECT_EQ(u32(b, sh + 0), 10u);
    EXPECT_EQ(u32(b, sh + 4), 2u);
    EXPECT_EQ(u32(b, sh + 8), 8u);
    EXPECT_EQ(b[sh + 14], 0x11);
    // Delta-coded data adds back up to the frames, and ends the file.
    ASSERT_EQ(b.size(), sh + 40 + 10);
    int16_t acc = 0;
    std::vector<int16_t> frames;
    for (size_t i = sh + 40; i < b.size(); i += 2)
        frames.push_back(acc = static_cast<int16_t>(acc + static_cast<int16_t>(u16(b, i))));
    EXPECT_EQ(frames, tinyModule().instruments[0].samples[0].frames);
}

// Each case breaks one rule of the format; the writer must say so and write nothing.
TEST(XmWriter, RefusesWhatTheFormatCannotHold)
{
    const struct { const char* what; std::function<void(xm::Module&)> breakIt; } cases[] = {
        {"pattern of 257 rows", [](xm::Module& m) { m.patterns[0].rows = 257; m.patterns[0].cells.resize(257 * 2); }},
        {"pattern of 0 rows", [](xm::Module& m) { m.patterns[0].rows = 0; m.patterns[0].cells.clear(); }},
        {"cells not rows x channels", [](xm::Module& m) { m.patterns[0].cells.pop_back(); }},
        {"instrument with no sample", [](xm::Module& m) { m.instruments[0].samples.clear(); }},
        {"sample with no data", [](xm::Module& m) { m.instruments[0].samples[0].frames.clear(); m.instruments[0].samples[0].loop = xm::Loop::None; }},
        {"loop past the data", [](xm::Module& m) { m.instruments[0].samples[0].loopLength = 5; }},
        {"note map to a missing sample", [](xm::Module& m) { m.instruments[0].noteMap[40] = 1; }},
        {"order names an unstored pattern", [](xm::Module& m) { m.order.push_back(1); }},
        {"empty order list", [](xm::Module& m) { m.order.clear(); }},
        {"restart outside the order list", [](xm::Module& m) { m.restart = 1; }},
        {"odd channel count", [](xm::Module& m) { m.channels = 3; m.patterns[0].cells.resize(12); }},
        {"note above key-off", [](xm::Module& m) { m.patterns[0].cells[0].note = 98; }},
        {"instrument number too high", [](xm::Module& m) { m.patterns[0].cells[0].instrument = 2; }},
        {"volume column above 64", [](xm::Module& m) { m.patterns[0].cells[0].volume = 0x51; }},
        {"F00", [](xm::Module& m) { m.patterns[0].cells[1].effect = 0x0F; m.patterns[0].cells[1].param = 0; }},
        {"13 envelope points", [](xm::Module& m) {
             auto& e = m.instruments[0].volume;
             e.points.clear();
             for (uint16_t i = 0; i < 13; ++i)
                 e.points.push_back({{i, 10}});
         }},
        {"envelope sustain past its points", [](xm::Module& m) { m.instruments[0].volume.sustain = 2; }},
        {"module name of 21 bytes", [](xm::Module& m) { m.name = std::string(21, 'x'); }},
        {"speed 0", [](xm::Module& m) { m.speed = 0; }},
        {"129 instruments", [](xm::Module& m) { m.instruments.resize(129, m.instruments[0]); }},
    };
    const ScratchDir scratch;
    const fs::path& dir = scratch.path();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        xm::Module m = tinyModule();
        c.breakIt(m);
        std::string error;
        EXPECT_TRUE(xm::encode(m, error).empty());
        EXPECT_NE(error, "");
        const fs::path path = dir / "refused.xm";
        EXPECT_FALSE(xm::write(m, path.string(), error));
        EXPECT_FALSE(fs::exists(path));
    }
}

TEST(XmWriter, ReportsAFileThatCannotBeWritten)
{
    std::string error;
    EXPECT_FALSE(xm::write(tinyModule(), "/nonexistent-folder/x.xm", error));
    EXPECT_NE(error, "");
    if (fs::exists("/dev/full")) {
        error.clear();
        EXPECT_FALSE(xm::write(tinyModule(), "/dev/full", error));
        EXPECT_NE(error, "");
    }
}

using Openmpt = std::unique_ptr<openmpt_module, void (*)(openmpt_module*)>;

Openmpt openmpt(const std::vector<uint8_t>& bytes)
{
    int err = 0;
    return Openmpt(openmpt_module_create_from_memory2(bytes.data(), bytes.size(), &openmpt_log_func_silent, nullptr,
                                                      nullptr, nullptr, &err, nullptr, nullptr),
                   &openmpt_module_destroy);
}

// Each pitched instrument plays A-3 at 220 Hz (less the shared 2 cent offset): a wrong relative
// note, finetune or loop length would put it out of tune with the others.
TEST(Instruments, PitchedOnesPlayInTune)
{
    constexpr int kRate = 44100;
    const std::vector<xm::Instrument> all = music::makeInstruments();
    for (uint8_t ins : {music::Bass, music::Pad, music::Lead, music::Bell}) {
        SCOPED_TRACE(all[ins - 1].name);
        xm::Module m = tinyModule();
        m.instruments = all;
        m.patterns[0].rows = 16;
        m.patterns[0].cells.assign(32, {});
        m.patterns[0].cells[0] = {12 * 3 + 9 + 1, ins, 0, 0, 0};
        std::string error;
        const Openmpt mod = openmpt(xm::encode(m, error));
        ASSERT_EQ(error, "");
        ASSERT_NE(mod, nullptr);
        std::vector<float> wave(kRate / 2);
        ASSERT_EQ(openmpt_module_read_float_mono(mod.get(), kRate, wave.size(), wave.data()), wave.size());
        // The strongest self-similarity between periods of 1/400 and 1/100 s, refined by a parabola.
        const size_t from = kRate / 20, span = kRate / 5;
        auto corr = [&](size_t lag) {
            double sum = 0;
            for (size_t i = from; i < from + span; ++i)
                sum += static_cast<double>(wave[i]) * wave[i + lag];
            return sum;
        };
        // Whole multiples of the period match about as well: take the first lag near the best.
        double top = 0;
        for (size_t lag = kRate / 400; lag <= kRate / 100; ++lag)
            top = std::max(top, corr(lag));
        size_t best = kRate / 400;
        while (corr(best) < 0.9 * top || corr(best + 1) > corr(best))
            ++best;
        const double l = corr(best - 1), c = corr(best), r = corr(best + 1);
        const double period = static_cast<double>(best) + 0.5 * (l - r) / (l - 2 * c + r);
        EXPECT_NEAR(kRate / period, 220.0 * 8363.0 / 8372.02, 220.0 * 0.01);
    }
}

// ---- The composed song, through libopenmpt and libxmp ----

const std::vector<uint8_t>& song()
{
    static const std::vector<uint8_t> bytes = [] {
        std::string error;
        std::vector<uint8_t> b = xm::encode(music::composeSong(), error);
        EXPECT_EQ(error, "");
        return b;
    }();
    return bytes;
}

// The show's changes happen at these music times; each must open a section of the song, so
// the music changes with the picture.
TEST(Song, SectionsStartAtTheShowsTimes)
{
    Openmpt mod = openmpt(song());
    ASSERT_NE(mod, nullptr);
    ASSERT_GE(openmpt_module_get_num_orders(mod.get()), 11);
    std::vector<double> starts;
    for (int32_t o = 0; o < openmpt_module_get_num_orders(mod.get()); ++o)
        starts.push_back(openmpt_module_set_position_order_row(mod.get(), o, 0));
    for (const double t : {0, 5, 18, 25, 33, 40, 42, 46, 49, 61, 68})
        EXPECT_TRUE(std::any_of(starts.begin(), starts.end(), [&](double s) { return std::fabs(s - t) < 0.001; }))
            << "no section starts at " << t << " s";
}

// Both players see the same module: as many channels, instruments and samples, and about as
// long, at least 72 s. Rendered, it is never silent for a whole second before the end and never
// over full scale.
TEST(Song, BothPlayersAgreeAndPlayItAudiblyWithoutClipping)
{
    constexpr int kRate = 44100;
    Openmpt mod = openmpt(song());
    ASSERT_NE(mod, nullptr);
    const xmp_context ctx = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(ctx, song().data(), static_cast<long>(song().size())), 0);
    xmp_module_info mi;
    xmp_get_module_info(ctx, &mi);
    EXPECT_EQ(openmpt_module_get_num_channels(mod.get()), mi.mod->chn);
    EXPECT_EQ(openmpt_module_get_num_instruments(mod.get()), mi.mod->ins);
    EXPECT_EQ(openmpt_module_get_num_samples(mod.get()), mi.mod->smp);
    EXPECT_NEAR(openmpt_module_get_duration_seconds(mod.get()), mi.seq_data[0].duration / 1000.0, 0.5);

    std::vector<float> buf(2 * kRate);
    std::vector<double> secondRms;
    float peak = 0;
    size_t mptFrames = 0;
    while (size_t got = openmpt_module_read_interleaved_float_stereo(mod.get(), kRate, kRate, buf.data())) {
        double sum = 0;
        for (size_t i = 0; i < got * 2; ++i) {
            sum += static_cast<double>(buf[i]) * buf[i];
            peak = std::max(peak, std::fabs(buf[i]));
        }
        secondRms.push_back(std::sqrt(sum / (2.0 * got)));
        mptFrames += got;
    }
    EXPECT_GE(secondRms.size(), 72u);
    for (size_t s = 0; s < 72 && s < secondRms.size(); ++s)
        EXPECT_GT(secondRms[s], 0.01) << "second " << s << " is nearly silent";
    EXPECT_LE(peak, 1.0f);

    EXPECT_EQ(xmp_start_player(ctx, kRate, 0), 0);
    xmp_frame_info fi;
    size_t xmpFrames = 0;
    double xmpSum = 0;
    while (xmp_play_frame(ctx) == 0) {
        xmp_get_frame_info(ctx, &fi);
        if (fi.loop_count > 0)
            break;
        const int16_t* s = static_cast<const int16_t*>(fi.buffer);
        for (int i = 0; i < fi.buffer_size / 2; ++i)
            xmpSum += static_cast<double>(s[i]) * s[i];
        xmpFrames += static_cast<size_t>(fi.buffer_size / 4);
    }
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
    EXPECT_NEAR(static_cast<double>(xmpFrames) / kRate, static_cast<double>(mptFrames) / kRate, 0.5);
    EXPECT_GT(std::sqrt(xmpSum / (2.0 * std::max<size_t>(xmpFrames, 1))) / 32768.0, 0.02);
}

}  // namespace
