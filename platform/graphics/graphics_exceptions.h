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

// Limits on every picture read from a file (BMP, JPEG, PNG, GIF), checked
// from its headers before any pixel memory is taken, so that a small file
// cannot make the program allocate gigabytes or decode for seconds:
// - pixels (8000 x 5000 fits);
inline constexpr long long kMaxGraphicPixels = 40'000'000;
// - width and height, the bound of screen and printer coordinates;
inline constexpr long long kMaxGraphicSide = 32'767;
// - bytes of one decoded row (a row of the widest picture at 64 bits a pixel);
inline constexpr long long kMaxGraphicRowBytes = 262'144;
// - decoded bytes: area x bytes a pixel as the file codes it (4 bytes for
//   every pixel the pixel limit allows; 16-bit samples halve the area).
inline constexpr long long kMaxGraphicBytes = 160'000'000;

}  // namespace lark
