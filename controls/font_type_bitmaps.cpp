#include "controls/font_type_bitmaps.h"

#include <array>
#include <string>
#include <string_view>

#include "platform/graphics/resources.h"

namespace lark {
namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 12;
using Picture = std::array<std::string_view, kHeight>;

// "X" dark grey, "o" black, "#" blue; anything else is the white ground,
// which the bottom-left pixel makes transparent.
constexpr Picture kTrueType = {
    "XXXXXXX         ",
    "X  X  X         ",
    "   X            ",
    "   X  ooooooo   ",
    "   X  o  o  o   ",
    "   X     o      ",
    "  XXX    o      ",
    "         o      ",
    "         o      ",
    "        ooo     ",
    "                ",
    "                ",
};
constexpr Picture kDevice = {
    "                ",
    "    ########    ",
    "    #      #    ",
    "    #      #    ",
    "  ############  ",
    "  #          #  ",
    "  #   oooo   #  ",
    "  #          #  ",
    "  ############  ",
    "    #      #    ",
    "    ########    ",
    "                ",
};

void PutLong(std::string& out, unsigned value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}
void PutWord(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

// A 24-bit Windows bitmap file (rows bottom-up, each a multiple of 4 bytes).
std::string BitmapFile(const Picture& picture) {
  std::string pixels;
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const char c = x < static_cast<int>(picture[y].size()) ? picture[y][x] : ' ';
      // Blue, green, red.
      const unsigned char bgr[3] = {
          static_cast<unsigned char>(c == 'X' ? 0x80 : c == 'o' ? 0 : c == '#' ? 0xC0 : 0xFF),
          static_cast<unsigned char>(c == 'X' ? 0x80 : c == 'o' ? 0 : c == '#' ? 0 : 0xFF),
          static_cast<unsigned char>(c == 'X' ? 0x80 : c == 'o' ? 0 : c == '#' ? 0 : 0xFF)};
      pixels.append(reinterpret_cast<const char*>(bgr), 3);
    }
  }
  std::string file = "BM";
  PutLong(file, static_cast<unsigned>(14 + 40 + pixels.size()));
  PutLong(file, 0);
  PutLong(file, 14 + 40);
  PutLong(file, 40);
  PutLong(file, kWidth);
  PutLong(file, kHeight);
  PutWord(file, 1);
  PutWord(file, 24);
  for (int i = 0; i < 6; ++i) PutLong(file, 0);
  return file + pixels;  // 16 pixels x 3 bytes: rows need no padding
}

}  // namespace

void RegisterFontTypeBitmaps() {
  static const std::string true_type = BitmapFile(kTrueType);
  static const std::string device = BitmapFile(kDevice);
  RegisterResource("TRUETYPE_FNT", true_type);
  RegisterResource("DEVICE_FNT", device);
}

}  // namespace lark
