#include "platform/graphics/cursor_file.h"

namespace lark {

namespace {

constexpr int kCursorSize = 32;

void PutWord(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void PutLong(std::string& out, unsigned value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}

char PixelAt(std::span<const std::string_view> picture, int x, int y) {
  if (y >= static_cast<int>(picture.size()) || x >= static_cast<int>(picture[y].size())) return ' ';
  return picture[y][x];
}

}  // namespace

std::string CursorFile(std::span<const std::string_view> picture, int hotX, int hotY) {
  std::string image;
  PutLong(image, 40);
  PutLong(image, kCursorSize);
  PutLong(image, kCursorSize * 2);
  PutWord(image, 1);
  PutWord(image, 32);
  for (int i = 0; i < 6; ++i) PutLong(image, 0);
  for (int y = kCursorSize - 1; y >= 0; --y) {
    for (int x = 0; x < kCursorSize; ++x) {
      const char c = PixelAt(picture, x, y);
      PutLong(image, c == 'X' ? 0xFF000000u : c == 'o' ? 0xFFFFFFFFu : 0u);
    }
  }
  for (int y = kCursorSize - 1; y >= 0; --y) {
    unsigned mask = 0;  // bit set: transparent; the leftmost pixel is the top bit
    for (int x = 0; x < kCursorSize; ++x) {
      const char c = PixelAt(picture, x, y);
      if (c != 'X' && c != 'o') mask |= 1u << (31 - x);
    }
    for (int shift = 24; shift >= 0; shift -= 8) image += static_cast<char>((mask >> shift) & 0xFF);
  }
  std::string file;
  PutWord(file, 0);
  PutWord(file, 2);  // a cursor
  PutWord(file, 1);
  file += static_cast<char>(kCursorSize);
  file += static_cast<char>(kCursorSize);
  PutWord(file, 0);
  PutWord(file, static_cast<unsigned>(hotX));
  PutWord(file, static_cast<unsigned>(hotY));
  PutLong(file, static_cast<unsigned>(image.size()));
  PutLong(file, 22);
  return file + image;
}

}  // namespace lark
