#include "tools/assets/instruments.h"

#include "tools/assets/detmath.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace music {

namespace {

// Tuning without logarithms: C-4 plays a sample at 8363 * 2^(r/12) Hz for relative note r, so a
// single cycle of 32 * 2^k frames with r = 12k sounds at 8363 / 32 = 261.3 Hz, and one-shots
// rendered at 8363 * 2^k Hz play at their own speed on C-4. Every instrument shares the same
// 2 cent offset from concert pitch, so they stay in tune with each other.
constexpr int kCycle = 128;           // frames per single-cycle wave
constexpr int8_t kCycleNote = 24;     // 32 * 2^2
constexpr double kOneShotRate = 8363.0 * 4;
constexpr int8_t kOneShotNote = 24;

std::vector<int16_t> toFrames(const std::vector<double>& v, double peak = 0.9)
{
    double top = 0;
    for (double x : v)
        top = std::max(top, std::fabs(x));
    std::vector<int16_t> out(v.size());
    const double k = top > 0 ? peak * 32767.0 / top : 0;
    for (size_t i = 0; i < v.size(); ++i)
        out[i] = static_cast<int16_t>(det::floorD(v[i] * k + 0.5));
    return out;
}

// One cycle made of harmonics 1..weights.size() with the given amplitudes (sine phase).
xm::Sample cycle(const char* name, const std::vector<double>& weights)
{
    std::vector<double> v(kCycle, 0.0);
    for (int i = 0; i < kCycle; ++i)
        for (size_t n = 0; n < weights.size(); ++n)
            v[i] += weights[n] * det::sin(det::kTwoPi * static_cast<double>((n + 1) * i) / kCycle);
    xm::Sample s;
    s.name = name;
    s.frames = toFrames(v);
    s.loop = xm::Loop::Forward;
    s.loopStart = 0;
    s.loopLength = kCycle;
    s.relativeNote = kCycleNote;
    return s;
}

xm::Sample oneShot(const char* name, double seconds, const std::function<double(double t, det::Random&)>& voice,
                   uint32_t seed, double rate = kOneShotRate, int8_t note = kOneShotNote)
{
    det::Random rnd(seed);
    const size_t n = static_cast<size_t>(seconds * rate);
    std::vector<double> v(n);
    // A gentle high-pass (about 10 Hz) takes out the offset a decaying sweep leaves, which would
    // otherwise push the whole mix off centre.
    double last = 0, y = 0;
    for (size_t i = 0; i < n; ++i) {
        const double x = voice(static_cast<double>(i) / rate, rnd);
        y = x - last + 0.998 * y;
        last = x;
        v[i] = y;
    }
    // A short fade at the very end so the sample never stops on a click.
    for (size_t i = 0; i < 64 && i < n; ++i)
        v[n - 1 - i] *= static_cast<double>(i) / 64.0;
    xm::Sample s;
    s.name = name;
    s.frames = toFrames(v);
    s.relativeNote = note;
    return s;
}

// Panning 0..255, 128 in the middle: each note that names the instrument starts there. Nothing is
// panned hard, so a mono mix keeps every voice.
xm::Instrument instrument(const char* name, xm::Sample s, uint8_t volume, uint8_t panning = 128)
{
    xm::Instrument ins;
    ins.name = name;
    s.volume = volume;
    s.panning = panning;
    ins.samples.push_back(std::move(s));
    return ins;
}

xm::Instrument kick()
{
    double phase = 0;
    auto voice = [&phase](double t, det::Random& r) {
        const double f = 44.0 + 120.0 * det::exp(-t / 0.03);
        phase += det::kTwoPi * f / kOneShotRate;
        const double click = t < 0.004 ? (r.unit() - 0.5) * (1.0 - t / 0.004) : 0.0;
        return det::sin(phase) * det::exp(-t / 0.22) + 0.6 * click;
    };
    return instrument("kick", oneShot("kick", 0.4, voice, 11), 64);
}

xm::Instrument snare()
{
    double hp = 0, last = 0;
    auto voice = [&](double t, det::Random& r) {
        const double n = r.unit() * 2.0 - 1.0;
        hp = 0.75 * (hp + n - last);  // one-pole high-pass: the rattle without the rumble
        last = n;
        const double body = det::sin(det::kTwoPi * 186.0 * t) + 0.5 * det::sin(det::kTwoPi * 334.0 * t);
        return body * 0.55 * det::exp(-t / 0.045) + hp * det::exp(-t / 0.11);
    };
    return instrument("snare", oneShot("snare", 0.3, voice, 23), 60, 144);
}

xm::Instrument hat()
{
    double last = 0;
    auto voice = [&](double t, det::Random& r) {
        const double n = r.unit() * 2.0 - 1.0;
        const double hp = n - last;  // a first difference keeps only the hiss
        last = n;
        return hp * det::exp(-t / 0.022);
    };
    return instrument("hat", oneShot("hat", 0.09, voice, 37), 40, 84);
}

xm::Instrument crash()
{
    double last = 0;
    const double partials[] = {342.0, 527.0, 797.0, 1233.0, 1721.0, 2387.0};
    auto voice = [&](double t, det::Random& r) {
        const double n = r.unit() * 2.0 - 1.0;
        const double hp = n - last;
        last = n;
        double ring = 0;
        for (double f : partials)
            ring += det::sin(det::kTwoPi * f * t);
        return (hp * 0.8 + ring * 0.05) * det::exp(-t / 0.55) * (t < 0.002 ? t / 0.002 : 1.0);
    };
    return instrument("crash", oneShot("crash", 1.8, voice, 41), 44, 168);
}

xm::Instrument bass()
{
    std::vector<double> w;
    for (int n = 1; n <= 20; ++n)
        w.push_back((1.0 / n) / (1.0 + (n / 5.0) * (n / 5.0)));
    xm::Instrument ins = instrument("bass", cycle("bass", w), 50);
    ins.volume.points = {{{0, 64}}, {{3, 56}}, {{16, 40}}, {{60, 30}}};
    ins.volume.sustain = 3;
    ins.fadeout = 0x600;
    return ins;
}

xm::Instrument pad()
{
    std::vector<double> w;
    for (int n = 1; n <= 12; ++n)
        w.push_back((n % 2 ? 1.0 : 0.55) / (static_cast<double>(n) * std::sqrt(static_cast<double>(n))));
    xm::Instrument ins = instrument("pad", cycle("pad", w), 30);
    ins.volume.points = {{{0, 0}}, {{12, 48}}, {{30, 40}}, {{120, 34}}};
    ins.volume.sustain = 3;
    ins.fadeout = 0x180;
    ins.vibratoDepth = 3;
    ins.vibratoRate = 8;
    return ins;
}

xm::Instrument lead()
{
    std::vector<double> w;
    for (int n = 1; n <= 14; ++n)
        w.push_back((n % 2 ? 1.0 : 0.3) / n);
    xm::Instrument ins = instrument("lead", cycle("lead", w), 40, 156);
    ins.volume.points = {{{0, 40}}, {{2, 64}}, {{10, 50}}, {{40, 44}}};
    ins.volume.sustain = 3;
    ins.fadeout = 0x400;
    ins.vibratoSweep = 40;
    ins.vibratoDepth = 5;
    ins.vibratoRate = 14;
    return ins;
}

xm::Instrument bell()
{
    xm::Instrument ins = instrument("bell", cycle("bell", {1.0, 0.25, 0.35, 0.18, 0.0, 0.12, 0.0, 0.06}), 34, 92);
    ins.volume.points = {{{0, 64}}, {{4, 36}}, {{18, 14}}, {{50, 0}}};
    return ins;
}

// A low glide through an "oo" vowel: a buzzy source whose harmonics are weighted by two formants.
xm::Instrument moo()
{
    const double rate = 8363.0 * 2;
    double phase = 0;
    auto voice = [&](double t, det::Random&) {
        const double glide = t < 0.35 ? 118.0 + 40.0 * (t / 0.35) : 158.0 - 60.0 * ((t - 0.35) / 1.05);
        const double f = glide * (1.0 + 0.012 * det::sin(det::kTwoPi * 5.5 * t));
        phase += det::kTwoPi * f / rate;
        double v = 0;
        for (int n = 1; n <= 24 && n * f < rate / 2; ++n) {
            const double h = n * f;
            const double a = 1.0 / (1.0 + ((h - 320.0) / 120.0) * ((h - 320.0) / 120.0)) +
                             0.5 / (1.0 + ((h - 780.0) / 160.0) * ((h - 780.0) / 160.0));
            v += a * det::sin(phase * n) / std::sqrt(static_cast<double>(n));
        }
        const double attack = t < 0.03 ? t / 0.03 : 1.0;  // heard at once, on the instant she shows
        const double release = t > 1.1 ? 1.0 - (t - 1.1) / 0.3 : 1.0;
        return v * attack * release;
    };
    return instrument("moo", oneShot("moo", 1.4, voice, 53, rate, 12), 64);
}

// The hit under every visible change: a bright power chord (root and fifth over a saw) that dies
// within half a second, so it stands out from the groove without smearing into it.
xm::Instrument stab()
{
    std::vector<double> w;
    for (int n = 1; n <= 12; ++n)  // it plays high: twelve harmonics stay below the mix's Nyquist
        w.push_back((n % 3 == 0 ? 1.6 : 1.0) / n);
    xm::Instrument ins = instrument("stab", cycle("stab", w), 64);
    ins.volume.points = {{{0, 64}}, {{2, 56}}, {{8, 26}}, {{24, 0}}};
    return ins;
}

// The step of the vehicle's frame alternation: a short wooden click.
xm::Instrument tick()
{
    auto voice = [](double t, det::Random&) {
        return (det::sin(det::kTwoPi * 1250.0 * t) + 0.4 * det::sin(det::kTwoPi * 2710.0 * t)) * det::exp(-t / 0.012);
    };
    return instrument("tick", oneShot("tick", 0.06, voice, 59), 36);
}

}  // namespace

std::vector<xm::Instrument> makeInstruments()
{
    return {kick(), snare(), hat(), crash(), bass(), pad(), lead(), bell(), moo(), stab(), tick()};
}

}  // namespace music
