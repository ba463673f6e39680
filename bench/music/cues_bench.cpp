// Measures the default module as it sounds, so its fit to the picture can be checked without
// listening: usage  bench_music_cues [morvask1.xm]   (without a file: the module the maker composes)
//
// It renders the module with libopenmpt (looping, as the demo plays it) and reports
// - at each of the show's visible changes, how strongly the sound changes there (energy after the
//   instant against energy before it, broadband and in the highs) beside the same figure on every
//   other row of the surrounding groove; a change counts as heard when it beats 90 % of those rows;
// - the stereo image: side against mid, the L/R correlation and the worst mono fold-down;
// - loudness, peak and DC; the longest near-silence before the loop and the step across it;
// - libxmp's rendering beside libopenmpt's: duration and the level of every row.
#include "game/timeline.h"
#include "tools/assets/song.h"
#include "tools/assets/xm_writer.h"

#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int kRate = 48000;  // 5 ms and a 20 ms tick are whole frames
constexpr size_t kBlock = kRate / 200;  // 5 ms

double Db(double power) { return 10.0 * std::log10(power + 1e-9); }  // floor at -90 dBFS

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

// Mean power per 5 ms block of the mono mix, broadband and of its first difference (the highs,
// where hits, stabs and cymbals stand out from the bass).
struct Blocks {
    std::vector<double> broad, high;
    explicit Blocks(const std::vector<float>& stereo)
    {
        double last = 0;
        for (size_t b = 0; (b + 1) * kBlock * 2 <= stereo.size(); ++b) {
            double sb = 0, sh = 0;
            for (size_t i = b * kBlock; i < (b + 1) * kBlock; ++i) {
                const double m = 0.5 * (stereo[2 * i] + stereo[2 * i + 1]);
                sb += m * m;
                sh += (m - last) * (m - last);
                last = m;
            }
            broad.push_back(sb / kBlock);
            high.push_back(sh / kBlock);
        }
    }
    static double Mean(const std::vector<double>& v, long from, long to)
    {
        double s = 0;
        long n = 0;
        for (long b = std::max(0L, from); b < to && b < static_cast<long>(v.size()); ++b, ++n)
            s += v[static_cast<size_t>(b)];
        return n ? s / static_cast<double>(n) : 0;
    }
    // How much the sound changes at `ms`, within 10 ms either side: 60 ms after against 60 ms
    // before, in dB; the larger of the two bands, counted both ways (a drop to silence is a change
    // as much as a hit).
    double Change(double ms) const
    {
        const long span = 12;
        double best = 0;
        for (long at = std::lround(ms / 5.0) - 2; at <= std::lround(ms / 5.0) + 2; ++at)
            for (const auto* v : {&broad, &high})
                best = std::max(best, std::fabs(Db(Mean(*v, at, at + span)) - Db(Mean(*v, at - span, at))));
        return best;
    }
};

std::vector<unsigned char> ModuleBytes(int argc, char** argv)
{
    if (argc > 1) {
        std::ifstream in(argv[1], std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string error;
    return xm::encode(music::composeSong(), error);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<unsigned char> bytes = ModuleBytes(argc, argv);
    openmpt_module* mod = bytes.empty() ? nullptr
                                        : openmpt_module_create_from_memory2(bytes.data(), bytes.size(),
                                                                             &openmpt_log_func_silent, nullptr, nullptr,
                                                                             nullptr, nullptr, nullptr, nullptr);
    if (!mod) {
        std::fprintf(stderr, "usage: %s [module.xm]: no module could be loaded\n", argv[0]);
        return 1;
    }
    const double duration = openmpt_module_get_duration_seconds(mod);
    openmpt_module_set_repeat_count(mod, -1);
    const size_t loopFrame = static_cast<size_t>(std::lround(duration * kRate));
    std::vector<float> audio((loopFrame + 2 * kRate) * 2);
    for (size_t done = 0; done < audio.size() / 2;) {
        const size_t n = std::min<size_t>(4096, audio.size() / 2 - done);
        done += openmpt_module_read_interleaved_float_stereo(mod, kRate, n, audio.data() + 2 * done);
    }
    openmpt_module_destroy(mod);
    const Blocks blocks(audio);

    // The cues, each against the groove rows within 2 s of it that are no change themselves.
    const std::vector<double> changes = demo::timeline::VisibleChanges();
    std::printf("%zu visible changes; module %.3f s\n\n   t (ms)  change dB  groove median  groove p90  heard\n",
                changes.size(), duration);
    int heard = 0;
    for (const double t : changes) {
        std::vector<double> groove;
        for (double r = std::max(0.0, t - 2000); r <= t + 2000; r += music::kRowMs)
            if (std::none_of(changes.begin(), changes.end(), [r](double c) { return std::fabs(c - r) < 150; }))
                groove.push_back(blocks.Change(r));
        const double c = blocks.Change(t), p90 = Percentile(groove, 0.9);
        heard += c > p90;
        std::printf("%9.0f  %9.1f  %13.1f  %10.1f  %s\n", t, c, Percentile(groove, 0.5), p90, c > p90 ? "yes" : "NO");
    }
    std::printf("heard: %d of %zu (%.0f %%)\n\n", heard, changes.size(), 100.0 * heard / changes.size());

    // One pass through the module, up to the loop.
    double sl = 0, sr = 0, slr = 0, sm = 0, ss = 0, dcl = 0, dcr = 0, peak = 0, worstMono = 0;
    for (size_t w = 0; w + kRate / 10 <= loopFrame; w += kRate / 10) {
        double wm = 0, wst = 0;
        for (size_t i = w; i < w + kRate / 10; ++i) {
            const double l = audio[2 * i], r = audio[2 * i + 1];
            sl += l * l, sr += r * r, slr += l * r;
            sm += 0.25 * (l + r) * (l + r), ss += 0.25 * (l - r) * (l - r);
            dcl += l, dcr += r;
            peak = std::max({peak, std::fabs(l), std::fabs(r)});
            wm += 0.25 * (l + r) * (l + r), wst += 0.5 * (l * l + r * r);
        }
        if (wst > 1e-6)
            worstMono = std::min(worstMono, Db(wm) - Db(wst));
    }
    const double frames = static_cast<double>(loopFrame);
    std::printf("stereo: side %.1f dB below mid, L/R correlation %.3f, mono fold-down %.2f dB overall, worst 100 ms %.2f dB\n",
                Db(sm) - Db(ss), slr / std::sqrt(sl * sr), Db(sm) - Db(0.5 * (sl + sr)), worstMono);
    std::printf("level: RMS %.1f dBFS, peak %.2f dBFS, DC left %.1e right %.1e\n", Db(0.5 * (sl + sr) / frames),
                20 * std::log10(peak), dcl / frames, dcr / frames);

    // The loop: the longest run below -50 dBFS in the last 2 s before it, and the level either side.
    long run = 0, longest = 0;
    const long loopBlock = static_cast<long>(loopFrame / kBlock);
    for (long b = loopBlock - 400; b < loopBlock; ++b) {
        run = Db(blocks.broad[static_cast<size_t>(b)]) < -50 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    std::printf("loop at %.3f s: longest silence in the 2 s before it %ld ms; level 1 s before %.1f dBFS, 1 s after "
                "%.1f dBFS; change on landing %.1f dB\n\n",
                duration, longest * 5, Db(Blocks::Mean(blocks.broad, loopBlock - 200, loopBlock)),
                Db(Blocks::Mean(blocks.broad, loopBlock, loopBlock + 200)), blocks.Change(duration * 1000));

    // libxmp: the same module to its loop, row by row beside libopenmpt.
    xmp_context ctx = xmp_create_context();
    if (xmp_load_module_from_memory(ctx, bytes.data(), static_cast<long>(bytes.size())) != 0 ||
        xmp_start_player(ctx, kRate, 0) != 0) {
        std::printf("libxmp: cannot play the module\n");
        return 1;
    }
    std::vector<float> x;
    size_t clipped = 0;
    xmp_frame_info fi;
    while (xmp_play_frame(ctx) == 0) {
        xmp_get_frame_info(ctx, &fi);
        if (fi.loop_count > 0)
            break;
        const int16_t* s = static_cast<const int16_t*>(fi.buffer);
        for (int i = 0; i < fi.buffer_size / 2; ++i) {
            x.push_back(static_cast<float>(s[i]) / 32768.0f);
            clipped += s[i] >= 32767 || s[i] <= -32767;
        }
    }
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
    const Blocks xb(x);
    std::vector<double> diffs, rows;
    for (long row = 0; (row + 1) * 20 <= std::min(static_cast<long>(xb.broad.size()), loopBlock); ++row) {
        const double a = Db(Blocks::Mean(blocks.broad, row * 20, row * 20 + 20));
        const double b = Db(Blocks::Mean(xb.broad, row * 20, row * 20 + 20));
        if (a > -50) {
            diffs.push_back(b - a);
            rows.push_back(static_cast<double>(row) / 10);
        }
    }
    const double offset = Percentile(diffs, 0.5);
    std::vector<double> dev;
    size_t worst = 0;
    for (double d : diffs) {
        dev.push_back(std::fabs(d - offset));
        worst = dev.back() > dev[worst] ? dev.size() - 1 : worst;
    }
    float xpeak = 0;
    for (float v : x)
        xpeak = std::max(xpeak, std::fabs(v));
    std::printf("libxmp: %.3f s to the loop; peak %.2f dBFS, %zu samples at full scale; per-row level %+.1f dB "
                "against libopenmpt (median), deviation from that median p90 %.1f dB, max %.1f dB (at %.1f s)\n",
                static_cast<double>(x.size() / 2) / kRate, 20 * std::log10(xpeak), clipped, offset, Percentile(dev, 0.9),
                dev.empty() ? 0.0 : dev[worst], rows.empty() ? 0.0 : rows[worst]);
    return 0;
}
