#include "game/clock.h"

#include "platform/music.h"

namespace demo {

MusicModule* mod = nullptr;
double tid = 0.0;

void updatetime()
{
    tid = static_cast<double>(MusicGetTime(mod));
}

double time(double fakt)
{
    return tid / fakt;
}

}  // namespace demo
