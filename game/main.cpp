#include "game/demo.h"
#include "platform/process.h"

int main()
{
    plat::StartProcess();
    return demo::WinMain(plat::GetModuleHandle(nullptr), nullptr, nullptr, 0);
}
