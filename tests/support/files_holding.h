#pragma once

#include <string>
#include <vector>

namespace lark::test {

// Every regular file under `folder`, at any depth, whose bytes hold `text`:
// for proving that a secret was written nowhere.
[[nodiscard]] std::vector<std::string> FilesHolding(const std::string& folder, const std::string& text);

}  // namespace lark::test
