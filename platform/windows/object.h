#pragma once

namespace lark {

// The common base of everything an event can name as its sender.
class TObject {
 public:
  virtual ~TObject() = default;
};

}  // namespace lark
