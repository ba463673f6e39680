#include <cstdio>
#include <exception>

#include "game/demo.h"
#include "platform/process.h"

int main()
{
    plat::StartProcess();
    // Whatever is thrown past the show (memory running out, most likely) ends it with a message
    // and exit code 1, never with an abort.
    try {
        return demo::WinMain(plat::GetModuleHandle(nullptr), nullptr, nullptr, 0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vavarizo: %s\n", e.what());
        return 1;
    }
}
