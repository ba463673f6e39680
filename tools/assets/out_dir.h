#pragma once
// The makers' one argument: the output folder, created when missing.
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace art {

// The folder named by the single argument, created with its parents; null after telling the
// user what went wrong.
inline const char* outputFolder(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return nullptr;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    if (ec) {
        std::fprintf(stderr, "%s: cannot create %s: %s\n", argv[0], argv[1], ec.message().c_str());
        return nullptr;
    }
    return argv[1];
}

}  // namespace art
