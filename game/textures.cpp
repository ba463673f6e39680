#include "game/textures.h"

namespace demo {

// Defined together in construction order; destruction runs in reverse.
cTexture Grass;
cTexture Morvask;
cTexture Stor;
cTexture Liten;
cTexture Lampa;
cTexture Kossa;
cTexture Hal;

void LoadSceneTextures()
{
    Grass.LoadMaskedNoTolerance("grass.bmp", 0);
    Morvask.LoadMaskedNoTolerance("morvask.bmp", 0);
    Liten.LoadMaskedNoTolerance("liten.bmp", 0);
    Stor.LoadMaskedNoTolerance("stor.bmp", 0);
    Lampa.LoadMaskedNoTolerance("lampa.bmp", 0);
    Kossa.LoadMaskedNoTolerance("kossa.bmp", 0);
    Hal.LoadMaskedNoTolerance("hal.bmp", 0);
}

}  // namespace demo
