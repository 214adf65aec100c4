#pragma once

#include "platform/core/exception.h"

namespace lark {

// Failures of components and controls.
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

// An operation a control cannot do in its present state (focusing a hidden
// control, showing a visible form modally).
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace lark
