#pragma once

#include <cstdint>
#include <string>

namespace lark {

// The link the reader is inside. Every Update takes a fresh link number from
// one process-wide counter that starts at 10 and is never reset, so link
// numbers stay unique across documents.
class TUrlTarget {
 public:
  void Update(const std::string& url, const std::string& target);
  void Assign(const TUrlTarget& other);
  void Clear();

  std::string URL;
  std::string Target;
  std::int32_t ID = 0;
};

}  // namespace lark
