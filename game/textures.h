#pragma once
// The scene texture set: seven static textures, constructed empty before the program's entry
// runs and destroyed after it returns, in reverse order of construction.
#include "zkl/textures.h"

namespace demo {

using zkl::cTexture;

extern cTexture Grass;    // "grass.bmp", the ground strip
extern cTexture Morvask;  // "morvask.bmp", the vehicle's base frame
extern cTexture Stor;     // "stor.bmp", its big frame
extern cTexture Liten;    // "liten.bmp", its small frame
extern cTexture Lampa;    // "lampa.bmp", the lamp
extern cTexture Kossa;    // "kossa.bmp", the cow
extern cTexture Hal;      // "hal.bmp", the vehicle's final frame

// Loads the seven from the current directory with pure black transparent. A missing or bad
// file has shown its message; that texture stays empty and the others still load.
void LoadSceneTextures();

}  // namespace demo
