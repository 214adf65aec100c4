#include "platform/core/secret_erase.h"

#include <string.h>

namespace lark {

void OverwriteAndClear(std::string& s) {
  explicit_bzero(s.data(), s.capacity());
  s.clear();
}

}  // namespace lark
