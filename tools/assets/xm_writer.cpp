#include "tools/assets/xm_writer.h"

#include "platform/out_file.h"

namespace xm {

namespace {

constexpr size_t kInstrumentHeader = 263;  // with samples: 241 bytes of fields + 22 reserved
constexpr size_t kSampleHeader = 40;

class Out {
public:
    explicit Out(std::vector<uint8_t>& bytes) : b_(bytes) {}
    void u8(uint32_t v) { b_.push_back(static_cast<uint8_t>(v)); }
    void u16(uint32_t v)
    {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // Fixed-width text, padded with `pad`; check() has made sure it fits.
    void text(const std::string& s, size_t width, char pad)
    {
        for (size_t i = 0; i < width; ++i)
            u8(i < s.size() ? static_cast<uint8_t>(s[i]) : static_cast<uint8_t>(pad));
    }
    void zeros(size_t n) { b_.insert(b_.end(), n, 0); }
    size_t size() const { return b_.size(); }
    void patch(size_t at, uint32_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            b_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }

private:
    std::vector<uint8_t>& b_;
};

// Effects 0..F and the lettered ones that exist in the XM effect set (base-36 numbering).
bool knownEffect(uint8_t e)
{
    switch (e) {
    case 0x10: case 0x11: case 0x14: case 0x15: case 0x19: case 0x1B: case 0x1D: case 0x21:
        return true;
    default:
        return e <= 0x0F;
    }
}

std::string checkEnvelope(const Envelope& e, const std::string& what)
{
    if (e.points.size() > 12)
        return what + ": more than 12 envelope points";
    for (size_t i = 0; i < e.points.size(); ++i) {
        if (e.points[i][1] > 64)
            return what + ": envelope value above 64";
        if (i > 0 && e.points[i][0] <= e.points[i - 1][0])
            return what + ": envelope ticks must rise";
    }
    const int n = static_cast<int>(e.points.size());
    if (e.sustain >= n || e.loopStart >= n || e.loopEnd >= n)
        return what + ": envelope point index out of range";
    if ((e.loopStart < 0) != (e.loopEnd < 0) || e.loopStart > e.loopEnd)
        return what + ": envelope loop needs a start at or before its end";
    return "";
}

std::string checkPattern(const Module& m, const Pattern& p, const std::string& what)
{
    if (p.rows < 1 || p.rows > 256)
        return what + ": rows must be 1..256";
    if (p.cells.size() != static_cast<size_t>(p.rows) * m.channels)
        return what + ": cell count is not rows x channels";
    size_t packed = 0;
    for (const Cell& c : p.cells) {
        if (c.note > kNoteOff)
            return what + ": note out of range";
        if (c.instrument > m.instruments.size())
            return what + ": instrument number out of range";
        if (c.volume != 0 && c.volume < 0x10)
            return what + ": volume column value below 0x10";
        if (c.volume > 0x50 && c.volume < 0x60)
            return what + ": volume above 64";
        if (!knownEffect(c.effect))
            return what + ": unknown effect";
        if (c.effect == 0x0F && c.param == 0)
            return what + ": F00 does not stop the song in players; end the order list instead";
        packed += 1 + (c.note != 0) + (c.instrument != 0) + (c.volume != 0) + (c.effect != 0) + (c.param != 0);
    }
    if (packed > 0xFFFF)
        return what + ": packed data larger than 65535 bytes";
    return "";
}

std::string checkSample(const Sample& s, const std::string& what)
{
    if (s.name.size() > 22)
        return what + ": name longer than 22 bytes";
    if (s.volume > 64)
        return what + ": volume above 64";
    if (s.frames.empty())
        return what + ": has no sample data";
    if (s.frames.size() > 0x7FFFFFFFu / 2)
        return what + ": too long";
    if (s.loop != Loop::None) {
        if (s.loopLength == 0)
            return what + ": loop of length 0";
        if (s.loopStart > s.frames.size() || s.loopLength > s.frames.size() - s.loopStart)
            return what + ": loop runs past the end of the data";
    }
    return "";
}

std::string checkInstrument(const Instrument& ins, const std::string& what)
{
    if (ins.name.size() > 22)
        return what + ": name longer than 22 bytes";
    if (ins.samples.empty())
        return what + ": has no sample";
    if (ins.samples.size() > 16)
        return what + ": more than 16 samples";
    for (uint8_t s : ins.noteMap)
        if (s >= ins.samples.size())
            return what + ": note map names a missing sample";
    std::string e = checkEnvelope(ins.volume, what + " volume");
    if (e.empty())
        e = checkEnvelope(ins.panning, what + " panning");
    if (ins.fadeout > 0xFFF)
        return what + ": fade-out above 0xFFF";
    if (ins.vibratoType > 3)
        return what + ": vibrato type above 3";
    for (size_t i = 0; e.empty() && i < ins.samples.size(); ++i)
        e = checkSample(ins.samples[i], what + " sample " + std::to_string(i));
    return e;
}

void writePattern(Out& o, const Pattern& p)
{
    o.u32(9);
    o.u8(0);
    o.u16(static_cast<uint32_t>(p.rows));
    const size_t sizeAt = o.size();
    o.u16(0);
    const size_t start = o.size();
    for (const Cell& c : p.cells) {
        // Always the masked form: bit 7 and one bit per field that follows.
        o.u8(0x80u | (c.note ? 1u : 0u) | (c.instrument ? 2u : 0u) | (c.volume ? 4u : 0u) |
             (c.effect ? 8u : 0u) | (c.param ? 16u : 0u));
        if (c.note) o.u8(c.note);
        if (c.instrument) o.u8(c.instrument);
        if (c.volume) o.u8(c.volume);
        if (c.effect) o.u8(c.effect);
        if (c.param) o.u8(c.param);
    }
    o.patch(sizeAt, static_cast<uint32_t>(o.size() - start), 2);
}

void writeEnvelopePoints(Out& o, const Envelope& e)
{
    for (size_t i = 0; i < 12; ++i) {
        o.u16(i < e.points.size() ? e.points[i][0] : 0);
        o.u16(i < e.points.size() ? e.points[i][1] : 0);
    }
}

uint8_t envelopeType(const Envelope& e)
{
    if (e.points.empty())
        return 0;
    return static_cast<uint8_t>(1 | (e.sustain >= 0 ? 2 : 0) | (e.loopStart >= 0 ? 4 : 0));
}

void writeInstrument(Out& o, const Instrument& ins)
{
    const size_t start = o.size();
    o.u32(kInstrumentHeader);
    o.text(ins.name, 22, '\0');
    o.u8(0);
    o.u16(static_cast<uint32_t>(ins.samples.size()));
    o.u32(kSampleHeader);
    for (uint8_t s : ins.noteMap)
        o.u8(s);
    writeEnvelopePoints(o, ins.volume);
    writeEnvelopePoints(o, ins.panning);
    o.u8(static_cast<uint32_t>(ins.volume.points.size()));
    o.u8(static_cast<uint32_t>(ins.panning.points.size()));
    for (const Envelope* e : {&ins.volume, &ins.panning}) {
        o.u8(static_cast<uint32_t>(e->sustain < 0 ? 0 : e->sustain));
        o.u8(static_cast<uint32_t>(e->loopStart < 0 ? 0 : e->loopStart));
        o.u8(static_cast<uint32_t>(e->loopEnd < 0 ? 0 : e->loopEnd));
    }
    o.u8(envelopeType(ins.volume));
    o.u8(envelopeType(ins.panning));
    o.u8(ins.vibratoType);
    o.u8(ins.vibratoSweep);
    o.u8(ins.vibratoDepth);
    o.u8(ins.vibratoRate);
    o.u16(ins.fadeout);
    // The header-size field must match what is written: readers skip by it without checking.
    o.zeros(kInstrumentHeader - (o.size() - start));

    for (const Sample& s : ins.samples) {
        // Lengths and loop points count bytes: two per 16-bit frame.
        o.u32(static_cast<uint32_t>(s.frames.size() * 2));
        o.u32(s.loop == Loop::None ? 0 : s.loopStart * 2);
        o.u32(s.loop == Loop::None ? 0 : s.loopLength * 2);
        o.u8(s.volume);
        o.u8(static_cast<uint8_t>(s.finetune));
        o.u8(static_cast<uint32_t>(s.loop) | 0x10u);
        o.u8(s.panning);
        o.u8(static_cast<uint8_t>(s.relativeNote));
        o.u8(0);
        o.text(s.name, 22, '\0');
    }
    for (const Sample& s : ins.samples) {
        int16_t previous = 0;
        for (int16_t v : s.frames) {
            o.u16(static_cast<uint16_t>(static_cast<uint16_t>(v) - static_cast<uint16_t>(previous)));
            previous = v;
        }
    }
}

}  // namespace

std::string check(const Module& m)
{
    if (m.name.size() > 20)
        return "module name longer than 20 bytes";
    if (m.tracker.size() > 20)
        return "tracker name longer than 20 bytes";
    if (m.channels < 2 || m.channels > 32 || m.channels % 2 != 0)
        return "channel count must be even, 2..32";
    if (m.speed < 1 || m.speed > 31)
        return "speed must be 1..31";
    if (m.bpm < 32 || m.bpm > 255)
        return "BPM must be 32..255";
    if (m.order.empty() || m.order.size() > 256)
        return "order list must have 1..256 entries";
    if (m.restart < 0 || static_cast<size_t>(m.restart) >= m.order.size())
        return "restart position must lie inside the order list";
    if (m.patterns.size() > 256)
        return "more than 256 patterns";
    if (m.instruments.size() > 128)
        return "more than 128 instruments";
    // A missing pattern plays as 64 empty rows in some players and ends the song in others.
    for (uint8_t o : m.order)
        if (o >= m.patterns.size())
            return "order list names pattern " + std::to_string(o) + ", which is not stored";
    for (size_t i = 0; i < m.patterns.size(); ++i) {
        const std::string e = checkPattern(m, m.patterns[i], "pattern " + std::to_string(i));
        if (!e.empty())
            return e;
    }
    for (size_t i = 0; i < m.instruments.size(); ++i) {
        const std::string e = checkInstrument(m.instruments[i], "instrument " + std::to_string(i + 1));
        if (!e.empty())
            return e;
    }
    return "";
}

std::vector<uint8_t> encode(const Module& m, std::string& error)
{
    std::vector<uint8_t> bytes;
    error = check(m);
    if (!error.empty())
        return bytes;
    Out o(bytes);
    o.text("Extended Module: ", 17, ' ');
    o.text(m.name, 20, ' ');
    o.u8(0x1A);
    o.text(m.tracker, 20, ' ');
    o.u16(0x0104);
    o.u32(276);
    o.u16(static_cast<uint32_t>(m.order.size()));
    o.u16(static_cast<uint32_t>(m.restart));
    o.u16(static_cast<uint32_t>(m.channels));
    o.u16(static_cast<uint32_t>(m.patterns.size()));
    o.u16(static_cast<uint32_t>(m.instruments.size()));
    o.u16(1);  // linear frequency table
    o.u16(static_cast<uint32_t>(m.speed));
    o.u16(static_cast<uint32_t>(m.bpm));
    for (size_t i = 0; i < 256; ++i)
        o.u8(i < m.order.size() ? m.order[i] : 0);
    for (const Pattern& p : m.patterns)
        writePattern(o, p);
    for (const Instrument& ins : m.instruments)
        writeInstrument(o, ins);
    return bytes;
}

bool write(const Module& m, const std::string& path, std::string& error)
{
    const std::vector<uint8_t> bytes = encode(m, error);
    if (!error.empty())
        return false;
    // A partial module would still load and play, cut short: it never replaces the file.
    return plat::WriteWholeFile(path, bytes.data(), bytes.size(), &error);
}

}  // namespace xm
