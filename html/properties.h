#pragma once

namespace lark {

// The CSS property values of one element. Only declared here so that the
// attribute list can own the set its STYLE attribute yields; the values, the
// character set and the code page in force arrive with the property engine.
class TProperties {
 public:
  TProperties() = default;
  TProperties(const TProperties&) = delete;
  TProperties& operator=(const TProperties&) = delete;
  virtual ~TProperties() = default;
};

}  // namespace lark
