#include "game/demo.h"

int main()
{
    return demo::WinMain(plat::GetModuleHandle(nullptr), nullptr, nullptr, 0);
}
