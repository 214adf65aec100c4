#pragma once

#include "platform/core/exception.h"

namespace lark {

// Failures of components: invalid or duplicate names, menu structure errors.
// (An operation a control cannot do in its state raises EInvalidOperation.)
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace lark
