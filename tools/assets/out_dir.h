#pragma once
// The makers' one argument: the output folder, created when missing, and the safe writing of
// each file into it.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/out_file.h"

namespace art {

// What a maker's main returns when outputFolder gives no folder.
struct FolderArgs {
    const char* dir = nullptr;
    int exitCode = 0;
};

// The folder named by the single argument, created with its parents. Without one: --help
// prints the usage on stdout (exit 0); anything else prints it on stderr (exit 2). A folder
// whose name starts with '-' is given after "--".
inline FolderArgs outputFolder(int argc, char** argv, const char* what)
{
    const char* dir = nullptr;
    bool bad = false;
    for (int i = 1; i < argc; ++i) {
        const bool afterDashes = i > 1 && std::strcmp(argv[i - 1], "--") == 0;
        if (!afterDashes && (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)) {
            std::printf("usage: %s DIR\n%s\n", argv[0], what);
            return {nullptr, 0};
        }
        if (!afterDashes && std::strcmp(argv[i], "--") == 0 && i + 1 < argc)
            continue;
        if ((!afterDashes && argv[i][0] == '-') || argv[i][0] == '\0' || dir)
            bad = true;
        dir = argv[i];
    }
    if (bad || !dir) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return {nullptr, 2};
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "%s: cannot create %s: %s\n", argv[0], dir, ec.message().c_str());
        return {nullptr, 1};
    }
    return {dir, 0};
}

}  // namespace art
