#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace lark::test {

// Runs a shell command; true when it exits with 0.
bool Run(const std::string& command);
// The names in `dir` ending in `suffix`, sorted.
[[nodiscard]] std::vector<std::string> ListFiles(const std::string& dir, const std::string& suffix);

}  // namespace lark::test
