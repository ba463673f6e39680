// vavarizo-music DIR: composes the show's module and writes DIR/morvask1.xm.
#include "tools/assets/out_dir.h"
#include "tools/assets/song.h"
#include "tools/assets/xm_writer.h"

#include <exception>
#include <string>

int main(int argc, char** argv)
{
    const art::FolderArgs args = art::outputFolder(argc, argv, "Composes the show's module into DIR/morvask1.xm.");
    if (!args.dir)
        return args.exitCode;
    std::string error;
    try {
        if (xm::write(music::composeSong(), std::string(args.dir) + "/morvask1.xm", error))
            return 0;
    } catch (const std::exception& e) {
        error = e.what();
    }
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
}
