#pragma once
// The vehicle with its lamp, and the cow: each a fixed function of the clock tid.

namespace demo {

// Places and draws the vehicle in its current frame and, while lit, the lamp.
void DrawVehicle();
// Draws the cow once its time has come (after 42000 ms); no GL call before.
void DrawCow();
// Binds Liten (odd tenth of a second) or Morvask (even).
void UseAlternatingSmall();
// Binds Stor (odd tenth of a second) or Morvask (even).
void UseAlternatingBig();

}  // namespace demo
