#include "game/demo.h"

// The start-up code: what the runtime does before the program's entry, then the entry.
int main()
{
    plat::StartDisplay();
    return demo::WinMain(plat::GetModuleHandle(nullptr), nullptr, nullptr, 0);
}
