#pragma once

namespace lark {

// Common base of the objects that lists and containers hold without knowing
// their class (a string list's objects, for instance). Containers that own
// their objects delete them through this base.
class TObject {
 public:
  virtual ~TObject() = default;
};

}  // namespace lark
