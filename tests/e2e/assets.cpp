// Writes what the show reads into a folder: seven small pictures (coloured squares on pure
// black, which the show makes transparent) and a tiny module.
// Usage: e2e_assets DIR [no-module]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image/bmp_write.h"
#include "tests/support/tiny_xm.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [no-module]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const bool withModule = !(argc > 2 && std::strcmp(argv[2], "no-module") == 0);
    const char* names[] = {"grass.bmp", "morvask.bmp", "liten.bmp", "stor.bmp", "lampa.bmp", "kossa.bmp", "hal.bmp"};
    constexpr int size = 16;
    for (const char* name : names) {
        std::vector<unsigned char> rgb(size * size * 3, 0);
        for (int y = 4; y < 12; ++y)
            for (int x = 4; x < 12; ++x) {
                unsigned char* p = &rgb[(y * size + x) * 3];
                p[0] = 200;
                p[1] = static_cast<unsigned char>(std::strlen(name) * 20);
                p[2] = 40;
            }
        if (!writeBmp24(dir + "/" + name, size, size, rgb.data())) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], name);
            return 1;
        }
    }
    if (withModule && !tinyxm::Write(dir + "/morvask1.xm", 64)) {
        std::fprintf(stderr, "%s: cannot write the module\n", argv[0]);
        return 1;
    }
    return 0;
}
