#pragma once
// Files for tests: a fresh folder per test, removed afterwards; reading a file back; running a
// command line.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "image/bmp_write.h"

namespace testutil {

inline std::vector<unsigned char> readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The exit status of a shell command line (-1 when it did not exit).
inline int run(const std::string& command)
{
    const int status = std::system(command.c_str());
#ifdef _WIN32
    return status;  // the command's exit code itself
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

class ScratchDir {
public:
    ScratchDir()
    {
        // Random names: several builds and people may run the same tests at once.
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "scratch";
        std::random_device random;
        do
            path_ = std::filesystem::path(testing::TempDir()) / (name + "." + std::to_string(random()));
        while (!std::filesystem::create_directories(path_));
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    // A 24-bit BMP of rgb (red, green, blue; bottom row first); returns its path.
    std::string bmp(const std::string& name, int width, int height, const std::vector<unsigned char>& rgb) const
    {
        EXPECT_TRUE(writeBmp24(file(name), width, height, rgb.data())) << name;
        return file(name);
    }

private:
    std::filesystem::path path_;
};

}  // namespace testutil
