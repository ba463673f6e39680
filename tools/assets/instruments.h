#pragma once
// The module's instruments, synthesised from nothing but arithmetic.
#include "tools/assets/xm_writer.h"

#include <vector>

namespace music {

// Instrument numbers as the patterns use them (1-based, as in the file).
enum Ins : uint8_t { Kick = 1, Snare, Hat, Crash, Bass, Pad, Lead, Bell, Moo, Stab, Tick, kInstrumentCount = Tick };

// All instruments in number order.
std::vector<xm::Instrument> makeInstruments();

}  // namespace music
