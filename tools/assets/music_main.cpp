// vavarizo-music DIR: composes the show's module and writes DIR/morvask1.xm.
#include "tools/assets/out_dir.h"
#include "tools/assets/song.h"

#include <string>

int main(int argc, char** argv)
{
    const char* dir = art::outputFolder(argc, argv);
    if (!dir)
        return 1;
    std::string error;
    if (!xm::write(music::composeSong(), std::string(dir) + "/morvask1.xm", error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    return 0;
}
