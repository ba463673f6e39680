#pragma once
// An XM (extended module, version 0x0104) writer. It checks the whole module against the
// format's limits first and writes nothing when any of them is broken.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace xm {

constexpr int kNoteOff = 97;

struct Cell {
    uint8_t note = 0;        // 1..96 (1 = C-0, 49 = C-4), 97 = key-off, 0 = none
    uint8_t instrument = 0;  // 1..number of instruments, 0 = none
    uint8_t volume = 0;      // volume column: 0x10..0x50 set volume 0..64, 0 = none
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct Pattern {
    int rows = 64;
    std::vector<Cell> cells;  // rows * channels, row by row
};

struct Envelope {
    std::vector<std::array<uint16_t, 2>> points;  // (tick, value 0..64); empty = envelope off
    int sustain = -1;                             // point index, -1 = none
    int loopStart = -1, loopEnd = -1;             // point indices, -1 = no loop
};

enum class Loop : uint8_t { None = 0, Forward = 1, PingPong = 2 };

struct Sample {
    std::string name;
    std::vector<int16_t> frames;  // 16-bit mono
    uint32_t loopStart = 0;       // in frames
    uint32_t loopLength = 0;      // in frames
    Loop loop = Loop::None;
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
};

struct Instrument {
    std::string name;
    std::vector<Sample> samples;
    std::array<uint8_t, 96> noteMap{};  // sample index for each note
    Envelope volume;
    Envelope panning;
    uint16_t fadeout = 0;
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct Module {
    std::string name;
    std::string tracker;
    int channels = 8;
    int speed = 6;
    int bpm = 125;
    int restart = 0;
    std::vector<uint8_t> order;
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
};

// Empty when the module can be written; otherwise what is wrong with it.
std::string check(const Module& m);

// The file's bytes, or an empty vector with `error` set when check() refuses the module.
std::vector<uint8_t> encode(const Module& m, std::string& error);

// Writes the file; false with `error` set when the module is refused or the file cannot be written.
bool write(const Module& m, const std::string& path, std::string& error);

}  // namespace xm
