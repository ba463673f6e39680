// vavarizo-music DIR: composes the show's module and writes DIR/morvask1.xm.
#include "tools/assets/song.h"

#include <cstdio>
#include <filesystem>
#include <string>
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
    std::string error;
    if (!xm::write(music::composeSong(), std::string(argv[1]) + "/morvask1.xm", error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    return 0;
}
