// vavarizo-sprites DIR: writes the seven scene pictures into DIR.
#include "tools/assets/sprites.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    if (ec) {
        std::fprintf(stderr, "%s: cannot create %s: %s\n", argv[0], argv[1], ec.message().c_str());
        return 1;
    }
    const std::string failed = art::writeSprites(argv[1]);
    if (!failed.empty()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], failed.c_str());
        return 1;
    }
    return 0;
}
