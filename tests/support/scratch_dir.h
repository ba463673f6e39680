#pragma once
// A fresh folder under the test temp dir for one test's files, removed again afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "image/bmp_write.h"

namespace testutil {

class ScratchDir {
public:
    ScratchDir()
    {
        // Random names: several builds and people may run the same tests at once.
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "scratch";
        std::random_device random;
        do {
            path_ = std::filesystem::path(testing::TempDir()) / (name + "." + std::to_string(random()));
        } while (!std::filesystem::create_directories(path_));
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
        const std::string p = file(name);
        EXPECT_TRUE(writeBmp24(p, width, height, rgb.data())) << p;
        return p;
    }

private:
    std::filesystem::path path_;
};

}  // namespace testutil
