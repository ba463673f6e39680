#pragma once
// Helpers shared by the asset tests: scratch folders, files, and running the makers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace assets_test {

namespace fs = std::filesystem;

using testutil::ScratchDir;

inline std::vector<unsigned char> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs a command line through the shell; returns its exit status (-1 if it did not exit).
inline int run(const std::string& command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Everything a command writes to its standard output.
inline std::vector<unsigned char> capture(const std::string& command)
{
    std::vector<unsigned char> out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.insert(out.end(), buf, buf + n);
    pclose(p);
    return out;
}

}  // namespace assets_test
