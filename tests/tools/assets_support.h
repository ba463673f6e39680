#pragma once
// The asset tests' names for the shared test support.
#include "tests/support/scratch_dir.h"

namespace assets_test {
namespace fs = std::filesystem;
using testutil::ScratchDir;
using testutil::readFile;
}  // namespace assets_test
