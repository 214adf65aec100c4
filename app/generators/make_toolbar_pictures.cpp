// Draws the main window's toolbar and menu pictures (Stop 0, Reload 1,
// Home 2, Back 3, Forward 4, Print 5, Save 9, Search 10, Add 11, Open 12,
// Preview 13; 6 to 8 are empty) from simple shapes, as strips of 24-bit BMPs,
// and writes them as a C++ source that registers them as resources:
// "ToolbarPictures" (20 x 20, colour: the hot pictures), "ToolbarPicturesGrey"
// (20 x 20, muted: the resting pictures) and "MenuPictures" (16 x 16).
// The fuchsia background is the transparent colour. Run by the build.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kPictures = 14;

struct Rgb {
  std::uint8_t r, g, b;
};
constexpr Rgb kTransparent{255, 0, 255};

// A shape is a test on a point in unit coordinates (0..1, y down).
using Shape = std::function<bool(double x, double y)>;
struct Layer {
  Shape shape;
  Rgb colour;
};

Shape Disc(double cx, double cy, double r) {
  return [=](double x, double y) { return std::hypot(x - cx, y - cy) <= r; };
}
Shape Ring(double cx, double cy, double r, double w) {
  return [=](double x, double y) { return std::abs(std::hypot(x - cx, y - cy) - r) <= w / 2; };
}
Shape Box(double x0, double y0, double x1, double y1) {
  return [=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
}
Shape Segment(double x0, double y0, double x1, double y1, double w) {
  return [=](double x, double y) {
    const double dx = x1 - x0, dy = y1 - y0;
    double t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy);
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w / 2;
  };
}
// A convex polygon, corners in order.
Shape Polygon(std::vector<std::pair<double, double>> corners) {
  return [=](double x, double y) {
    int sign = 0;
    for (size_t i = 0; i < corners.size(); ++i) {
      const auto [ax, ay] = corners[i];
      const auto [bx, by] = corners[(i + 1) % corners.size()];
      const double cross = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
      const int s = cross > 0 ? 1 : cross < 0 ? -1 : 0;
      if (s != 0 && sign != 0 && s != sign) return false;
      if (s != 0) sign = s;
    }
    return true;
  };
}
Shape Minus(Shape a, Shape b) {
  return [=](double x, double y) { return a(x, y) && !b(x, y); };
}

constexpr Rgb kDark{40, 40, 40}, kWhite{255, 255, 255}, kRed{200, 30, 30}, kGreen{30, 140, 50},
    kBlue{30, 80, 190}, kYellow{230, 190, 40}, kGrey{150, 150, 150}, kBrown{150, 90, 40};

std::vector<Layer> Picture(int index) {
  switch (index) {
    case 0:  // Stop: a red octagon with a white bar
      return {{Polygon({{0.35, 0.08}, {0.65, 0.08}, {0.92, 0.35}, {0.92, 0.65}, {0.65, 0.92}, {0.35, 0.92},
                        {0.08, 0.65}, {0.08, 0.35}}),
               kRed},
              {Box(0.25, 0.42, 0.75, 0.58), kWhite}};
    case 1:  // Reload: an open green ring with an arrow head
      return {{Minus(Ring(0.5, 0.52, 0.32, 0.14), Box(0.5, 0.0, 1.0, 0.45)), kGreen},
              {Polygon({{0.5, 0.05}, {0.78, 0.2}, {0.5, 0.35}}), kGreen}};
    case 2:  // Home: a roof over a house with a door
      return {{Polygon({{0.5, 0.08}, {0.95, 0.5}, {0.05, 0.5}}), kRed},
              {Box(0.18, 0.48, 0.82, 0.92), kYellow},
              {Box(0.42, 0.62, 0.58, 0.92), kBrown}};
    case 3:  // Back: a blue arrow to the left
      return {{Polygon({{0.06, 0.5}, {0.5, 0.12}, {0.5, 0.88}}), kBlue}, {Box(0.45, 0.36, 0.94, 0.64), kBlue}};
    case 4:  // Forward: a blue arrow to the right
      return {{Polygon({{0.94, 0.5}, {0.5, 0.88}, {0.5, 0.12}}), kBlue}, {Box(0.06, 0.36, 0.55, 0.64), kBlue}};
    case 5:  // Print: a printer with a sheet
      return {{Box(0.25, 0.08, 0.75, 0.45), kWhite},
              {Box(0.08, 0.4, 0.92, 0.78), kGrey},
              {Box(0.25, 0.7, 0.75, 0.92), kWhite},
              {Box(0.7, 0.48, 0.8, 0.56), kGreen}};
    case 9:  // Save: a disk with its label and shutter
      return {{Box(0.1, 0.1, 0.9, 0.9), kBlue}, {Box(0.25, 0.1, 0.75, 0.42), kWhite}, {Box(0.3, 0.6, 0.7, 0.9), kGrey}};
    case 10:  // Search: a magnifier
      return {{Ring(0.4, 0.4, 0.24, 0.12), kDark}, {Disc(0.4, 0.4, 0.18), kWhite},
              {Segment(0.58, 0.58, 0.9, 0.9, 0.16), kBrown}};
    case 11:  // Add: a yellow star
      return {{Polygon({{0.5, 0.05}, {0.64, 0.62}, {0.36, 0.62}}), kYellow},
              {Polygon({{0.05, 0.38}, {0.95, 0.38}, {0.5, 0.66}}), kYellow},
              {Polygon({{0.5, 0.5}, {0.82, 0.95}, {0.5, 0.72}}), kYellow},
              {Polygon({{0.5, 0.5}, {0.5, 0.72}, {0.18, 0.95}}), kYellow}};
    case 12:  // Open: a folder
      return {{Box(0.08, 0.2, 0.45, 0.35), kYellow}, {Box(0.08, 0.3, 0.92, 0.85), kYellow},
              {Box(0.08, 0.3, 0.92, 0.36), kBrown}};
    case 13:  // Preview and menu entries: a page with lines
      return {{Box(0.2, 0.06, 0.8, 0.94), kWhite},
              {Box(0.3, 0.22, 0.7, 0.28), kGrey},
              {Box(0.3, 0.4, 0.7, 0.46), kGrey},
              {Box(0.3, 0.58, 0.7, 0.64), kGrey},
              {Box(0.3, 0.76, 0.6, 0.82), kGrey}};
    default:
      return {};
  }
}

Rgb Muted(Rgb c) {
  if (c.r == kTransparent.r && c.g == kTransparent.g && c.b == kTransparent.b) return c;
  const int grey = (c.r * 30 + c.g * 59 + c.b * 11) / 100;
  auto mix = [grey](int v) { return static_cast<std::uint8_t>((v + 2 * grey) / 3); };
  return {mix(c.r), mix(c.g), mix(c.b)};
}

void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

// A strip of every picture side by side, as a 24-bit bottom-up BMP file.
std::string Strip(int size, bool muted) {
  const int width = size * kPictures;
  std::vector<Rgb> pixels(static_cast<size_t>(width * size), kTransparent);
  for (int p = 0; p < kPictures; ++p) {
    for (const Layer& layer : Picture(p)) {
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
          if (layer.shape((x + 0.5) / size, (y + 0.5) / size))
            pixels[static_cast<size_t>(y * width + p * size + x)] = muted ? Muted(layer.colour) : layer.colour;
        }
      }
    }
  }
  const int rowBytes = (width * 3 + 3) / 4 * 4;
  std::string bmp = "BM";
  Put32(bmp, static_cast<std::uint32_t>(54 + rowBytes * size));
  Put32(bmp, 0);
  Put32(bmp, 54);
  Put32(bmp, 40);
  Put32(bmp, static_cast<std::uint32_t>(width));
  Put32(bmp, static_cast<std::uint32_t>(size));
  Put16(bmp, 1);
  Put16(bmp, 24);
  for (int i = 0; i < 6; ++i) Put32(bmp, 0);
  for (int y = size - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const Rgb c = pixels[static_cast<size_t>(y * width + x)];
      row += static_cast<char>(c.b);
      row += static_cast<char>(c.g);
      row += static_cast<char>(c.r);
    }
    row.resize(static_cast<size_t>(rowBytes), '\0');
    bmp += row;
  }
  return bmp;
}

void WriteArray(std::ostream& out, const std::string& name, const std::string& bytes) {
  out << "const unsigned char " << name << "[] = {";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % 16 == 0) out << "\n ";
    out << ' ' << static_cast<int>(static_cast<unsigned char>(bytes[i])) << ',';
  }
  out << "\n};\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_toolbar_pictures <output.cpp>\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  const std::pair<const char*, std::string> strips[] = {
      {"ToolbarPictures", Strip(20, false)}, {"ToolbarPicturesGrey", Strip(20, true)}, {"MenuPictures", Strip(16, false)}};
  out << "// Generated by make_toolbar_pictures; do not edit.\n"
         "#include <string_view>\n\n#include \"platform/graphics/resources.h\"\n\nnamespace lark {\nnamespace {\n";
  for (const auto& [name, bytes] : strips) WriteArray(out, std::string("k") + name, bytes);
  out << "}  // namespace\n\nvoid RegisterToolbarPictures() {\n";
  for (const auto& [name, bytes] : strips)
    out << "  RegisterResource(\"" << name << "\", std::string_view(reinterpret_cast<const char*>(k" << name
        << "), sizeof k" << name << "));\n";
  out << "}\n\n}  // namespace lark\n";
  return out ? 0 : 1;
}
