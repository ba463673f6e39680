#pragma once
// A tiny XM module for tests and benchmarks: two channels, one pattern of `rows` rows at
// 100 ms per row (speed 5, 125 BPM), a square-wave note on the first row that rings for ever.
#include <string>

namespace tinyxm {

bool Write(const std::string& path, int rows);

}  // namespace tinyxm
