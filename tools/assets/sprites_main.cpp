// vavarizo-sprites DIR: writes the seven scene pictures into DIR.
#include "tools/assets/out_dir.h"
#include "tools/assets/sprites.h"

int main(int argc, char** argv)
{
    const char* dir = art::outputFolder(argc, argv);
    if (!dir)
        return 1;
    const std::string failed = art::writeSprites(dir, art::makeSprites());
    if (!failed.empty()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], failed.c_str());
        return 1;
    }
    return 0;
}
