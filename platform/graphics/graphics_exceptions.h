#pragma once

#include "platform/core/exception.h"

namespace lark {

// Failures of the graphics classes, with the texts the class library uses.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
};
class EJPEG : public Exception {
 public:
  using Exception::Exception;
};
class EPrinter : public Exception {
 public:
  using Exception::Exception;
};
class EResNotFound : public Exception {
 public:
  using Exception::Exception;
};

// Bitmaps from streams are refused above this many pixels, so that a small
// file cannot make the program allocate gigabytes (8000 x 5000 fits).
inline constexpr long long kMaxGraphicPixels = 40'000'000;

}  // namespace lark
