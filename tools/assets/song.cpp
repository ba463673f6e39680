#include "tools/assets/song.h"

#include "tools/assets/instruments.h"

#include <array>

namespace music {

const SectionMark kSections[] = {
    {0, "intro"},           {5000, "bounce"},  {18000, "ground moves"}, {25000, "cruising"},
    {33000, "lamp"},        {40000, "turn"},   {42000, "cow"},          {46000, "loop"},
    {49000, "second wind"}, {61000, "final"},  {68000, "end"},
};
const int kSectionCount = static_cast<int>(sizeof(kSections) / sizeof(kSections[0]));

namespace {

// Channels.
enum Ch { KickCh, SnareCh, HatCh, BassCh, Pad1, Pad2, Pad3, LeadCh, BellCh, FxCh, kChannels };

constexpr int kBar = 16;  // four beats of four rows

// Note numbers: 1 = C-0, so octave o, semitone s is 12 o + s + 1.
constexpr uint8_t N(int octave, int semitone) { return static_cast<uint8_t>(12 * octave + semitone + 1); }
enum Semi { C = 0, Cs, D, Ds, E, F, Fs, G, Gs, A, As, B };

struct Chord {
    uint8_t root;                 // bass note
    std::array<uint8_t, 3> pad;   // voiced triad
};
const Chord Am{N(2, A), {N(3, A), N(4, C), N(4, E)}};
const Chord Fm{N(2, F), {N(3, A), N(4, C), N(4, F)}};  // F major
const Chord Cm{N(3, C), {N(3, G), N(4, C), N(4, E)}};  // C major
const Chord Gm{N(2, G), {N(3, G), N(3, B), N(4, D)}};  // G major
const Chord Em{N(2, E), {N(3, G), N(3, B), N(4, E)}};  // E minor

using Progression = std::array<Chord, 4>;
const Progression kVerse{Am, Fm, Cm, Gm};
const Progression kFinal{Fm, Gm, Em, Am};
const Progression kHome{Cm, Fm, Gm, Cm};

struct Note {
    int row;
    uint8_t note;  // 0 = key-off
};
// Two four-bar tunes over kVerse, rows counted from the first bar.
const Note kTuneA[] = {
    {0, N(4, A)},  {3, N(5, C)},  {5, N(5, E)},  {8, N(5, D)},  {10, N(5, C)}, {12, N(4, A)},
    {16, N(4, A)}, {19, N(5, C)}, {21, N(5, F)}, {24, N(5, E)}, {26, N(5, C)}, {28, N(4, A)}, {30, N(4, G)},
    {32, N(4, G)}, {35, N(5, C)}, {37, N(5, E)}, {40, N(5, G)}, {44, N(5, E)}, {46, N(5, D)},
    {48, N(5, D)}, {51, N(4, B)}, {53, N(4, G)}, {56, N(5, D)}, {60, N(4, B)}, {63, 0},
};
const Note kTuneB[] = {
    {0, N(5, E)},  {2, N(5, E)},  {4, N(5, A)},  {8, N(5, G)},  {10, N(5, E)}, {12, N(5, D)}, {14, N(5, C)},
    {16, N(5, C)}, {20, N(4, A)}, {22, N(5, C)}, {24, N(5, F)}, {28, N(5, E)},
    {32, N(5, E)}, {34, N(5, G)}, {36, N(6, C)}, {40, N(5, B)}, {42, N(5, G)}, {44, N(5, E)},
    {48, N(5, D)}, {52, N(5, G)}, {56, N(5, B)}, {58, N(5, A)}, {60, N(5, G)}, {62, N(5, D)},
};

uint8_t vol(int v) { return static_cast<uint8_t>(0x10 + (v < 0 ? 0 : (v > 64 ? 64 : v))); }

class Section {
public:
    explicit Section(int rows) : p_{rows, std::vector<xm::Cell>(static_cast<size_t>(rows) * kChannels)} {}
    int rows() const { return p_.rows; }
    void put(int row, int ch, uint8_t note, uint8_t ins, int volume = -1)
    {
        if (row < 0 || row >= p_.rows)
            return;
        xm::Cell& c = p_.cells[static_cast<size_t>(row) * kChannels + ch];
        c.note = note;
        c.instrument = note == xm::kNoteOff ? 0 : ins;
        c.volume = volume < 0 ? 0 : vol(volume);
    }
    void off(int row, int ch) { put(row, ch, xm::kNoteOff, 0); }
    xm::Pattern take() { return std::move(p_); }

private:
    xm::Pattern p_;
};

const Chord& chordAt(const Progression& prog, int row) { return prog[static_cast<size_t>(row / kBar) % 4]; }

// Rows [from, to) of a section, bar grid counted from the section's first row.
void kicks(Section& s, int from, int to, int every = 4, int volume = 64)
{
    for (int r = from; r < to; ++r)
        if (r % every == 0)
            s.put(r, KickCh, N(4, C), Kick, volume);
}

void backbeat(Section& s, int from, int to, int volume = 56)
{
    for (int r = from; r < to; ++r)
        if (r % 8 == 4)
            s.put(r, SnareCh, N(4, C), Snare, volume);
}

void hats(Section& s, int from, int to, int step, int loud, int soft)
{
    for (int r = from; r < to; ++r)
        if (r % step == 0)
            s.put(r, HatCh, N(4, C), Hat, r % 4 == 2 ? loud : soft);
}

// Bass on eighths, root and octave, a little accent on the beat.
void bassline(Section& s, const Progression& prog, int from, int to, int step = 2)
{
    for (int r = from; r < to; ++r) {
        if (r % step != 0)
            continue;
        const uint8_t root = chordAt(prog, r).root;
        const bool up = (r % 8) == 6 || (step == 1 && r % 4 == 3);
        s.put(r, BassCh, up ? static_cast<uint8_t>(root + 12) : root, Bass, r % 4 == 0 ? 60 : 44);
    }
}

void pads(Section& s, const Progression& prog, int from, int to, int volume = 40)
{
    for (int r = from; r < to; ++r)
        if (r % kBar == 0 || r == from)
            for (int v = 0; v < 3; ++v)
                s.put(r, Pad1 + v, chordAt(prog, r).pad[static_cast<size_t>(v)], Pad, volume);
}

// Chord tones up and down on sixteenths.
void arpeggio(Section& s, const Progression& prog, int from, int to, int octaveUp, int volume)
{
    static const int shape[] = {0, 1, 2, 3, 2, 1, 0, 2};
    for (int r = from; r < to; ++r) {
        const Chord& c = chordAt(prog, r);
        const int i = shape[r % 8];
        const uint8_t n = i == 3 ? static_cast<uint8_t>(c.pad[0] + 12) : c.pad[static_cast<size_t>(i)];
        s.put(r, BellCh, static_cast<uint8_t>(n + 12 * octaveUp), Bell, r % 4 == 0 ? volume : volume - 10);
    }
}

template <size_t K>
void tune(Section& s, const Note (&t)[K], int from, int to, int transpose = 0, int volume = 48)
{
    for (int offset = from; offset < to; offset += 4 * kBar)
        for (const Note& n : t) {
            const int r = offset + n.row;
            if (r >= to)
                break;
            if (n.note == 0)
                s.off(r, LeadCh);
            else
                s.put(r, LeadCh, static_cast<uint8_t>(n.note + transpose), Lead, volume);
        }
}

// A snare roll growing louder over rows [from, to).
void roll(Section& s, int from, int to, int step, int v0, int v1)
{
    for (int r = from; r < to; r += step)
        s.put(r, SnareCh, N(4, C), Snare, v0 + (v1 - v0) * (r - from) / (to - from > 1 ? to - from - 1 : 1));
}

void crashAt(Section& s, int row) { s.put(row, FxCh, N(4, C), Crash, 56); }

// The full band over rows [from, to): four on the floor, backbeat, hats, bass and chords.
void groove(Section& s, const Progression& prog, int from, int to, int hatStep = 2, int padVolume = 34)
{
    kicks(s, from, to);
    backbeat(s, from, to);
    hats(s, from, to, hatStep, hatStep == 1 ? 34 : 36, hatStep == 1 ? 20 : 22);
    bassline(s, prog, from, to);
    pads(s, prog, from, to, padVolume);
    // A snare fill on the last beat of every four bars leads into the next phrase.
    for (int r = from; r < to; ++r)
        if (r % (4 * kBar) >= 4 * kBar - 4)
            s.put(r, SnareCh, N(4, C), Snare, 36 + 6 * (r % 4));
}

// 0 - 5 s: the vehicle alone, quick small steps, then a big count-in.
xm::Pattern intro()
{
    Section s(50);
    pads(s, kVerse, 0, 40, 36);
    arpeggio(s, kVerse, 16, 40, 0, 26);
    hats(s, 32, 40, 2, 26, 18);
    kicks(s, 40, 50, 4);
    pads(s, {Gm, Gm, Gm, Gm}, 40, 50, 44);
    roll(s, 44, 50, 1, 24, 56);
    return s.take();
}

// 5 - 18 s: the bounce starts, the groove comes in.
xm::Pattern bounce()
{
    Section s(130);
    crashAt(s, 0);
    groove(s, kVerse, 0, 128, 2, 40);
    arpeggio(s, kVerse, 64, 128, 0, 24);
    roll(s, 128, 130, 1, 44, 56);
    return s.take();
}

// 18 - 25 s: the ground starts moving faster and faster: everything doubles up.
xm::Pattern build()
{
    Section s(70);
    kicks(s, 0, 64);
    roll(s, 0, 32, 4, 30, 40);
    roll(s, 32, 64, 2, 36, 50);
    roll(s, 64, 70, 1, 44, 62);
    hats(s, 0, 64, 1, 34, 20);
    bassline(s, kVerse, 0, 64, 1);
    pads(s, kVerse, 0, 64, 42);
    arpeggio(s, kVerse, 0, 70, 1, 30);
    kicks(s, 64, 70, 2);
    return s.take();
}

// 25 - 33 s: cruising, the tune enters.
xm::Pattern cruise()
{
    Section s(80);
    crashAt(s, 0);
    groove(s, kVerse, 0, 80);
    tune(s, kTuneA, 0, 80);
    return s.take();
}

// 33 - 40 s: the lamp is lit: bells up high and the second tune.
xm::Pattern lamp()
{
    Section s(70);
    groove(s, kVerse, 0, 64, 1);
    pads(s, kVerse, 64, 70, 34);
    arpeggio(s, kVerse, 0, 70, 1, 30);
    tune(s, kTuneB, 0, 64);
    s.off(64, LeadCh);
    roll(s, 64, 70, 2, 40, 52);
    return s.take();
}

// 40 - 42 s: half time, holding breath.
xm::Pattern turn()
{
    Section s(20);
    kicks(s, 0, 16, 8);
    s.put(8, SnareCh, N(4, C), Snare, 50);
    hats(s, 0, 16, 4, 28, 28);
    pads(s, {Fm, Fm, Fm, Fm}, 0, 20, 40);
    s.put(0, BassCh, Fm.root, Bass, 56);
    s.put(16, BassCh, Gm.root, Bass, 56);
    roll(s, 16, 20, 1, 30, 48);
    return s.take();
}

// 42 - 46 s: the break: the drums stop and the cow walks in; she lows at 44.5 s and meets the
// vehicle at 45 s with a crash.
xm::Pattern cow()
{
    Section s(40);
    for (int v = 0; v < 3; ++v)
        s.off(0, Pad1 + v);
    s.put(0, BassCh, Am.root, Bass, 50);
    s.put(10, BellCh, N(5, E), Bell, 26);
    s.put(14, BellCh, N(5, C), Bell, 22);
    s.put(18, BellCh, N(4, A), Bell, 18);
    s.put(16, BassCh, Fm.root, Bass, 44);
    s.put(25, FxCh, N(4, C), Moo, 64);
    s.off(30, BassCh);
    s.put(30, KickCh, N(4, C), Kick, 64);
    s.put(30, SnareCh, N(4, C), Snare, 64);
    s.put(30, HatCh, N(4, C), Crash, 60);
    s.put(30, BassCh, N(2, E), Bass, 64);
    for (int v = 0; v < 3; ++v)
        s.put(30, Pad1 + v, Em.pad[static_cast<size_t>(v)], Pad, 40);
    roll(s, 34, 40, 1, 20, 48);
    return s.take();
}

// 46 - 49 s: the loop around the screen: arpeggio sweeping up two octaves.
xm::Pattern loop()
{
    Section s(30);
    kicks(s, 0, 30);
    hats(s, 0, 30, 2, 34, 24);
    roll(s, 0, 30, 2, 24, 60);
    pads(s, {Fm, Gm, Gm, Gm}, 0, 30, 40);
    bassline(s, {Fm, Gm, Gm, Gm}, 0, 30);
    static const int steps[] = {0, 4, 7, 12};
    for (int r = 0; r < 30; ++r)
        s.put(r, BellCh, static_cast<uint8_t>(N(4, F) + steps[r % 4] + 12 * (r / 12)), Bell, 24 + r);
    return s.take();
}

// 49 - 61 s: everything back, both tunes.
xm::Pattern secondWind()
{
    Section s(120);
    crashAt(s, 0);
    crashAt(s, 64);
    groove(s, kVerse, 0, 120);
    tune(s, kTuneA, 0, 64);
    tune(s, kTuneB, 64, 120);
    arpeggio(s, kVerse, 64, 112, 1, 22);
    roll(s, 112, 120, 1, 36, 60);
    return s.take();
}

// 61 - 68 s: the final frame: new chords, the tune an octave up.
xm::Pattern finale()
{
    Section s(70);
    crashAt(s, 0);
    groove(s, kFinal, 0, 64, 1, 38);
    arpeggio(s, kFinal, 0, 64, 1, 24);
    tune(s, kTuneB, 0, 64, 0, 52);
    kicks(s, 64, 70, 2);
    roll(s, 64, 70, 1, 40, 64);
    pads(s, {Gm, Gm, Gm, Gm}, 64, 70, 44);
    return s.take();
}

// 68 s to the end: the last state holds; the music comes home and winds down.
xm::Pattern ending()
{
    Section s(kEndMs / kRowMs - 680);
    crashAt(s, 0);
    groove(s, kHome, 0, 64, 2, 38);
    tune(s, kTuneA, 0, 48, 12, 40);
    s.put(48, LeadCh, N(5, G), Lead, 40);
    s.put(56, LeadCh, N(6, C), Lead, 44);
    // The last chord rings, then everything lets go before the loop.
    s.put(64, KickCh, N(4, C), Kick, 64);
    s.put(64, FxCh, N(4, C), Crash, 48);
    s.put(64, BassCh, Cm.root, Bass, 56);
    for (int v = 0; v < 3; ++v)
        s.put(64, Pad1 + v, Cm.pad[static_cast<size_t>(v)], Pad, 44);
    s.put(64, BellCh, N(5, C), Bell, 30);
    s.put(68, BellCh, N(5, E), Bell, 26);
    s.put(72, BellCh, N(5, G), Bell, 22);
    s.put(76, BellCh, N(6, C), Bell, 20);
    for (int ch : {BassCh, Pad1, Pad2, Pad3, LeadCh})
        s.off(96, ch);
    return s.take();
}

}  // namespace

xm::Module composeSong()
{
    xm::Module m;
    m.name = "morvask";
    m.tracker = "vavarizo-music";
    m.channels = kChannels;
    m.speed = 5;
    m.bpm = 125;
    m.instruments = makeInstruments();
    m.patterns = {intro(), bounce(), build(), cruise(), lamp(), turn(), cow(), loop(), secondWind(), finale(), ending()};
    for (size_t i = 0; i < m.patterns.size(); ++i)
        m.order.push_back(static_cast<uint8_t>(i));
    return m;
}

}  // namespace music
