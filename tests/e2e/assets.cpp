// Writes what the show reads into a folder: seven small pictures (coloured squares on pure
// black, which the show makes transparent; their green tells them apart) and a tiny module.
// Usage: e2e_assets DIR [no-module]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image/bmp_write.h"
#include "tests/support/tiny_xm.h"

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string dir = argv[1];
    bool ok = true;
    for (const char* name : {"grass.bmp", "morvask.bmp", "liten.bmp", "stor.bmp", "lampa.bmp", "kossa.bmp",
                             "hal.bmp"}) {
        const unsigned char colour[] = {200, static_cast<unsigned char>(std::strlen(name) * 20), 40};
        std::vector<unsigned char> rgb(16 * 16 * 3, 0);
        for (int y = 4; y < 12; ++y)
            for (int x = 4; x < 12; ++x)
                std::memcpy(&rgb[static_cast<size_t>(y * 16 + x) * 3], colour, 3);
        ok = ok && writeBmp24(dir + "/" + name, 16, 16, rgb.data());
    }
    if (!(argc > 2 && std::strcmp(argv[2], "no-module") == 0))
        ok = ok && tinyxm::Write(dir + "/morvask1.xm", 64);
    if (!ok)
        std::fprintf(stderr, "%s: cannot write into %s\n", argv[0], argv[1]);
    return ok ? 0 : 1;
}
