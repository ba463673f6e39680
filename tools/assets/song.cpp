#include "tools/assets/song.h"

#include "game/timeline.h"
#include "tools/assets/instruments.h"

#include <algorithm>
#include <array>

namespace music {

namespace {

namespace tl = demo::timeline;

// Channels. Crash, stabs, tick and moo play only the cues that mark the picture's changes.
enum Ch {
    KickCh, SnareCh, HatCh, BassCh, Pad1, Pad2, Pad3, LeadCh, BellCh,
    CrashCh, StabCh, StabHighCh, TickCh, MooCh, kChannels
};

constexpr int kRows = kEndMs / kRowMs;
constexpr int kBar = 16;  // four beats of four rows

constexpr uint8_t kSetPanning = 0x08;
constexpr uint8_t kExtended = 0x0E, kNoteDelay = 0xD0;
constexpr int kTicksPerRow = 5;
constexpr int kPadPan[3] = {64, 128, 192};  // the chord's three voices spread left to right

int rowOf(double ms) { return static_cast<int>(ms) / kRowMs; }

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

// Volumes are written on a 0..64 scale and played at four fifths of it, which keeps the loudest
// hit below full scale in both players (libxmp mixes about 2.5 dB hotter than libopenmpt).
uint8_t vol(int v) { return static_cast<uint8_t>(0x10 + (v < 0 ? 0 : (v > 64 ? 64 : v)) * 4 / 5); }

// The whole song as one run of rows; cut into patterns at the section starts at the end.
class Score {
public:
    Score() : cells_(static_cast<size_t>(kRows) * kChannels) {}

    // volume < 0 leaves the instrument's own; pan < 0 leaves where the instrument starts the note.
    void put(int row, int ch, uint8_t note, uint8_t ins, int volume = -1, int pan = -1)
    {
        if (row < 0 || row >= kRows)
            return;
        xm::Cell& c = cell(row, ch);
        c = {};
        c.note = note;
        c.instrument = note == xm::kNoteOff ? 0 : ins;
        c.volume = volume < 0 ? 0 : vol(volume);
        if (pan >= 0) {
            c.effect = kSetPanning;
            c.param = static_cast<uint8_t>(pan);
        }
    }
    void delay(int row, int ch, int ticks)
    {
        if (row >= 0 && row < kRows && ticks > 0 && cell(row, ch).note) {
            cell(row, ch).effect = kExtended;
            cell(row, ch).param = static_cast<uint8_t>(kNoteDelay | ticks);
        }
    }
    void clear(int row, int ch)
    {
        if (row >= 0 && row < kRows)
            cell(row, ch) = {};
    }
    // The last note started on a channel at or before a row, 0 when there is none.
    uint8_t lastNote(int row, int ch) const
    {
        for (int r = std::min(row, kRows - 1); r >= 0; --r)
            if (const uint8_t n = cells_[static_cast<size_t>(r) * kChannels + ch].note; n > 0 && n < xm::kNoteOff)
                return n;
        return 0;
    }
    // One pattern from each start row to the next (or the end).
    std::vector<xm::Pattern> cut(const std::vector<int>& starts) const
    {
        std::vector<xm::Pattern> out;
        for (size_t i = 0; i < starts.size(); ++i) {
            const int to = i + 1 < starts.size() ? starts[i + 1] : kRows;
            xm::Pattern p;
            p.rows = to - starts[i];
            p.cells.assign(cells_.begin() + static_cast<ptrdiff_t>(starts[i]) * kChannels,
                           cells_.begin() + static_cast<ptrdiff_t>(to) * kChannels);
            out.push_back(std::move(p));
        }
        return out;
    }

private:
    xm::Cell& cell(int row, int ch) { return cells_[static_cast<size_t>(row) * kChannels + ch]; }
    std::vector<xm::Cell> cells_;
};

// A stretch of the score with its own bar grid, counted from its first row.
class Section {
public:
    Section(Score& score, double fromMs, double toMs) : score_(score), base_(rowOf(fromMs)), rows_(rowOf(toMs) - base_) {}
    int rows() const { return rows_; }
    void put(int row, int ch, uint8_t note, uint8_t ins, int volume = -1, int pan = -1)
    {
        if (row >= 0 && row < rows_)
            score_.put(base_ + row, ch, note, ins, volume, pan);
    }
    void off(int row, int ch) { put(row, ch, xm::kNoteOff, 0); }

private:
    Score& score_;
    int base_;
    int rows_;
};

const Chord& chordAt(const Progression& prog, int row) { return prog[static_cast<size_t>(row / kBar) % 4]; }

// Rows [from, to) of a section.
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
                s.put(r, Pad1 + v, chordAt(prog, r).pad[static_cast<size_t>(v)], Pad, volume, kPadPan[v]);
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

// A snare roll growing louder over rows [from, to), leading into the change at `to`.
void roll(Section& s, int from, int to, int step, int v0, int v1)
{
    for (int r = from; r < to; r += step)
        s.put(r, SnareCh, N(4, C), Snare, v0 + (v1 - v0) * (r - from) / (to - from > 1 ? to - from - 1 : 1));
}

// The full band over rows [from, to): four on the floor, backbeat, hats, bass and chords.
void groove(Section& s, const Progression& prog, int from, int to, int hatStep = 2, int padVolume = 34)
{
    kicks(s, from, to);
    backbeat(s, from, to);
    hats(s, from, to, hatStep, hatStep == 1 ? 34 : 36, hatStep == 1 ? 20 : 22);
    bassline(s, prog, from, to);
    pads(s, prog, from, to, padVolume);
}

// Until the bounce: the vehicle alone, chords and bells; its big steps bring the bass and a
// count-in.
void intro(Score& score)
{
    Section s(score, 0, tl::bounce[0].from);
    pads(s, kVerse, 0, 40, 36);
    for (int r = 0; r < 40; r += kBar)
        s.put(r, BassCh, chordAt(kVerse, r).root, Bass, 40);
    arpeggio(s, kVerse, 16, 40, 0, 26);
    hats(s, 32, 40, 2, 26, 18);
    s.put(40, BassCh, Gm.root, Bass, 56);
    kicks(s, 40, 50, 2);
    pads(s, {Gm, Gm, Gm, Gm}, 40, 50, 44);
    roll(s, 44, 50, 1, 24, 56);
}

// While the vehicle bounces the drums play; where it stands still they stop.
void bounce(Score& score)
{
    Section s(score, tl::bounce[0].from, tl::groundStartsAt);
    groove(s, kVerse, 0, s.rows(), 2, 40);
    arpeggio(s, kVerse, 64, 128, 0, 24);
    roll(s, 128, 130, 1, 44, 56);
    for (size_t i = 0; i + 1 < std::size(tl::bounce); ++i)
        for (int r = rowOf(tl::bounce[i].to); r < rowOf(tl::bounce[i + 1].from); ++r)
            for (int ch : {KickCh, SnareCh, HatCh})
                score.clear(r, ch);
}

// The ground starts moving faster and faster: everything doubles up.
void build(Score& score)
{
    Section s(score, tl::groundStartsAt, tl::groundCruisesAt);
    kicks(s, 0, 64);
    roll(s, 0, 32, 4, 30, 40);
    roll(s, 32, 64, 2, 36, 50);
    roll(s, 64, 70, 1, 44, 62);
    hats(s, 0, 64, 1, 34, 20);
    bassline(s, kVerse, 0, 64, 1);
    pads(s, kVerse, 0, 64, 42);
    arpeggio(s, kVerse, 0, 70, 1, 30);
    kicks(s, 64, 70, 2);
}

// Cruising: the tune enters.
void cruise(Score& score)
{
    Section s(score, tl::groundCruisesAt, tl::lampLit.from);
    groove(s, kVerse, 0, 80);
    tune(s, kTuneA, 0, 80);
    roll(s, 76, 80, 1, 30, 50);
}

// The lamp is lit: sixteenth hats, bells up high and the second tune, which ends with the small
// steps at 39 s.
void lamp(Score& score)
{
    Section s(score, tl::lampLit.from, tl::lampLit.to);
    groove(s, kVerse, 0, 70, 1);
    arpeggio(s, kVerse, 0, 70, 1, 30);
    tune(s, kTuneB, 0, 60);
    s.off(60, LeadCh);
    roll(s, 64, 70, 2, 40, 52);
}

// The lamp goes out: half time, holding breath.
void turn(Score& score)
{
    Section s(score, tl::lampLit.to, tl::cowFrom);
    kicks(s, 0, 16, 8);
    s.put(8, SnareCh, N(4, C), Snare, 50);
    hats(s, 0, 16, 4, 28, 28);
    pads(s, {Fm, Fm, Fm, Fm}, 0, 20, 40);
    s.put(0, BassCh, Fm.root, Bass, 56);
    s.put(16, BassCh, Gm.root, Bass, 56);
    roll(s, 16, 20, 1, 30, 48);
}

// The cow walks in over a break without drums; her knock-away brings the band back.
void cow(Score& score)
{
    Section s(score, tl::cowFrom, tl::loop.from);
    const int knock = rowOf(tl::knockAwayFrom - tl::cowFrom);
    for (int v = 0; v < 3; ++v)
        s.off(0, Pad1 + v);
    s.put(0, BassCh, Am.root, Bass, 50);
    s.put(14, BellCh, N(5, C), Bell, 22);
    s.put(16, BassCh, Fm.root, Bass, 44);
    s.put(18, BellCh, N(4, A), Bell, 18);
    s.put(knock, BassCh, N(2, E), Bass, 64);
    for (int v = 0; v < 3; ++v)
        s.put(knock, Pad1 + v, Em.pad[static_cast<size_t>(v)], Pad, 40, kPadPan[v]);
    kicks(s, knock, s.rows());
    hats(s, knock, s.rows(), 2, 30, 20);
    roll(s, knock + 4, s.rows(), 1, 20, 48);
}

// The loop around the screen: an arpeggio sweeping up two octaves.
void loop(Score& score)
{
    Section s(score, tl::loop.from, tl::loop.to);
    kicks(s, 0, 30);
    hats(s, 0, 30, 2, 34, 24);
    roll(s, 0, 30, 2, 24, 60);
    pads(s, {Fm, Gm, Gm, Gm}, 0, 30, 40);
    bassline(s, {Fm, Gm, Gm, Gm}, 0, 30);
    static const int steps[] = {0, 4, 7, 12};
    for (int r = 0; r < 30; ++r)
        s.put(r, BellCh, static_cast<uint8_t>(N(4, F) + steps[r % 4] + 12 * (r / 12)), Bell, 24 + r);
}

// Everything back, both tunes.
void secondWind(Score& score, double finalFrame)
{
    Section s(score, tl::loop.to, finalFrame);
    groove(s, kVerse, 0, 120);
    tune(s, kTuneA, 0, 64);
    tune(s, kTuneB, 64, 120);
    arpeggio(s, kVerse, 64, 112, 1, 22);
    roll(s, 112, 120, 1, 36, 60);
}

// The final frame: new chords, the tune an octave up.
void finale(Score& score, double finalFrame, double finalState)
{
    Section s(score, finalFrame, finalState);
    groove(s, kFinal, 0, 64, 1, 38);
    arpeggio(s, kFinal, 0, 64, 1, 24);
    tune(s, kTuneB, 0, 64, 0, 52);
    kicks(s, 64, 70, 2);
    roll(s, 64, 70, 1, 40, 64);
    pads(s, {Gm, Gm, Gm, Gm}, 64, 70, 44);
}

// The last state holds to the end: the music comes home and, on the dominant, leads back into
// its start, where the module loops.
void ending(Score& score, double finalState)
{
    Section s(score, finalState, kEndMs);
    groove(s, kHome, 0, 112, 2, 38);
    tune(s, kTuneA, 0, 48, 12, 40);
    s.put(48, LeadCh, N(5, G), Lead, 40);
    s.put(56, LeadCh, N(6, C), Lead, 44);
    s.off(64, LeadCh);
    arpeggio(s, kHome, 64, 112, 0, 22);
    groove(s, {Gm, Gm, Gm, Gm}, 112, 120, 2, 42);
    roll(s, 114, 120, 1, 30, 56);
}

// Where a window of the vehicle's frames holds `t`, the frame changes only at its end.
double settled(double t)
{
    for (const tl::Window& w : tl::smallFrames)
        if (tl::Inside(w, t))
            return w.to;
    for (const tl::Window& w : tl::bigFrames)
        if (tl::Inside(w, t))
            return w.to;
    return t;
}

// The cues, row for row with the picture: a tick on every step of the frame alternation (the
// alternate frame right and louder, the base frame left), a stab in two octaves on every visible
// change, a crash where a scene starts, and on the strongest moments a drop to silence just
// before a full hit. The cow lows the instant she comes into view.
void cues(Score& score, double finalFrame, double finalState)
{
    auto ticks = [&score](const auto& windows, uint8_t note, int volume) {
        for (const tl::Window& w : windows)
            for (int r = rowOf(w.from); r < rowOf(w.to); ++r)
                score.put(r, TickCh, note, Tick, r % 2 ? volume : volume - 16, r % 2 ? 176 : 80);
    };
    ticks(tl::smallFrames, N(4, C), 44);
    ticks(tl::bigFrames, N(3, G), 60);

    const double strongest[] = {tl::lampLit.from, tl::lampLit.to, tl::cowFrom, tl::knockAwayFrom,
                                tl::loop.from,    tl::loop.to,    finalFrame};
    const double scenes[] = {0, tl::bounce[0].from, tl::bounce[1].from, tl::bounce[2].from,
                             tl::groundStartsAt, tl::groundCruisesAt, finalState};
    for (const double t : tl::VisibleChanges()) {
        const int r = rowOf(t);
        if (t == tl::cowInViewAt)
            score.put(r, MooCh, N(4, C), Moo, 64);
        const bool strong = std::find(std::begin(strongest), std::end(strongest), t) != std::end(strongest);
        const bool scene = std::find(std::begin(scenes), std::end(scenes), t) != std::end(scenes);
        // The stab plays the chord's root as the bass last had it, always in the same register.
        const uint8_t root = score.lastNote(r, BassCh);
        const uint8_t stab = N(5, ((root ? root : Am.root) - 1) % 12);
        score.put(r, StabCh, stab, Stab, 64, 96);
        score.put(r, StabHighCh, static_cast<uint8_t>(stab + 12), Stab, 56, 160);
        if (strong || scene)
            score.put(r, CrashCh, N(4, C), Crash, strong ? 64 : 50);
        // Drums and bells take a breath just before, so the cue lands in the clear; the start's
        // breath is the module's last row, where it loops.
        for (int ch : {KickCh, SnareCh, HatCh, BellCh})
            score.clear((r + kRows - 1) % kRows, ch);
        if (strong) {
            // A drop of 200 ms first: no new notes, the held voices set silent (drum tails and the
            // ticks ring on), then everything hits at once.
            for (int ch = KickCh; ch <= BellCh; ++ch) {
                score.clear(r - 1, ch);
                score.clear(r - 2, ch);
                if (ch >= BassCh)
                    score.put(r - 2, ch, 0, 0, 0);
            }
            score.put(r, KickCh, N(4, C), Kick, 64);
            score.put(r, SnareCh, N(4, C), Snare, 64);
        }
        // Between two rows (the cow's entrance): the cue waits the whole ticks of 20 ms into its row.
        for (int ch : {StabCh, StabHighCh, MooCh})
            score.delay(r, ch, (static_cast<int>(t) - r * kRowMs) * kTicksPerRow / kRowMs);
    }
}

}  // namespace

xm::Module composeSong()
{
    const double finalFrame = settled(tl::finalFrameFrom);
    const double finalState = tl::VisibleChanges().back();
    Score score;
    intro(score);
    bounce(score);
    build(score);
    cruise(score);
    lamp(score);
    turn(score);
    cow(score);
    loop(score);
    secondWind(score, finalFrame);
    finale(score, finalFrame, finalState);
    ending(score, finalState);
    cues(score, finalFrame, finalState);

    xm::Module m;
    m.name = "morvask";
    m.tracker = "vavarizo-music";
    m.channels = kChannels;
    m.speed = kTicksPerRow;
    m.bpm = 125;
    m.instruments = makeInstruments();
    m.patterns = score.cut({rowOf(0), rowOf(tl::bounce[0].from), rowOf(tl::groundStartsAt),
                            rowOf(tl::groundCruisesAt), rowOf(tl::lampLit.from), rowOf(tl::lampLit.to),
                            rowOf(tl::cowFrom), rowOf(tl::loop.from), rowOf(tl::loop.to), rowOf(finalFrame),
                            rowOf(finalState)});
    for (size_t i = 0; i < m.patterns.size(); ++i)
        m.order.push_back(static_cast<uint8_t>(i));
    return m;
}

}  // namespace music
