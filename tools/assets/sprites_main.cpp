// vavarizo-sprites DIR: writes the seven scene pictures into DIR.
#include "tools/assets/out_dir.h"
#include "tools/assets/sprites.h"

#include <exception>

int main(int argc, char** argv)
{
    const art::FolderArgs args =
        art::outputFolder(argc, argv, "Paints the seven scene pictures into DIR as 24-bit BMP files.");
    if (!args.dir)
        return args.exitCode;
    std::string error;
    try {
        error = art::writeSprites(args.dir, art::makeSprites());
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (error.empty())
        return 0;
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
}
