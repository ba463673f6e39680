#pragma once
// The music layer: the seven operations the demo needs from a module player, in our own names.
// One implementation plays XM modules with libopenmpt through SDL2 audio; tests link a fake.
// Every operation that takes a module is harmless with a null module.
#include <cstdint>

struct MusicModule;  // opaque loaded module

constexpr unsigned SOUND_INIT_GLOBALFOCUS = 2;  // keep playing while the window is in the back

// Starts the mixer. Returns false when no audio device could be opened.
bool SoundInit(int mixRate, int maxSoftwareChannels, unsigned flags);
// Loads a module by file name (relative names: current directory); null on failure.
MusicModule* MusicLoadSong(const char* fileName);
// Plays the module from its start, looping for ever; one module plays at a time. True when it
// plays on the device. Without a device or a module (null) the clock still starts, on wall time.
bool MusicPlaySong(MusicModule* module);
bool MusicSetMasterVolume(MusicModule* module, int volume);  // 0..255
// Elapsed play time in whole milliseconds since MusicPlaySong, following what is heard: it
// never steps back and keeps counting through the module's loops. 0 for a module that is not
// the one last played.
int32_t MusicGetTime(MusicModule* module);
// Takes the module off the device first, then frees it. False for null.
bool MusicFreeSong(MusicModule* module);
void SoundClose();

// Offline rendering: from this call on MusicGetTime reports `ms` for every module (null
// included), so a tool can draw exactly the frame the demo shows at that instant.
void MusicFreezeClock(int32_t ms);

// Writes the music from fromMs to toMs (module looped as the demo plays it) as a
// 44.1 kHz 16-bit stereo WAV file. Instants before 0 are silence. False on any failure.
bool MusicRenderWav(const char* moduleFile, int32_t fromMs, int32_t toMs, const char* wavFile);
