#include <cstdint>
#include <string>
#include <string_view>

#include "platform/graphics/cursor_file.h"
#include "platform/graphics/resources.h"
#include "platform/windows/graphic_controls.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

void PutWord(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void PutLong(std::string& out, unsigned value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}

// A cursor file as the desktop's resource compiler stores it: one 16 x 16
// 32-bit image, opaque red, hot spot at (3, 5).
std::string RedCursorFile() {
  const unsigned size = 16;
  std::string file;
  PutWord(file, 0);
  PutWord(file, 2);  // a cursor
  PutWord(file, 1);
  std::string image;
  PutLong(image, 40);
  PutLong(image, size);
  PutLong(image, size * 2);  // colour rows, then mask rows
  PutWord(image, 1);
  PutWord(image, 32);
  for (int i = 0; i < 6; ++i) PutLong(image, 0);
  for (unsigned i = 0; i < size * size; ++i) PutLong(image, 0xFFFF0000);
  image.append(size * 4, '\0');  // the mask: every pixel shows
  file += static_cast<char>(size);
  file += static_cast<char>(size);
  PutWord(file, 0);
  PutWord(file, 3);
  PutWord(file, 5);
  PutLong(file, static_cast<unsigned>(image.size()));
  PutLong(file, 22);
  return file + image;
}

class RegisteredCursors : public WindowTest {
 protected:
  void TearDown() override {
    Screen()->SetCursor(crDefault);
    WindowTest::TearDown();
  }
};

TEST_F(RegisteredCursors, ControlsAndTheScreenShowRegisteredCursors) {
  static const std::string file = RedCursorFile();
  RegisterResource("TESTREDCURSOR", file);
  Screen()->RegisterCursor(7, "TESTREDCURSOR");
  Screen()->RegisterCursor(8, "NOSUCHCURSOR");
  TForm form(nullptr);
  form.SetClientSize(200, 100);
  auto* red = new TPaintBox(&form);
  red->SetParent(&form);
  red->SetBounds(0, 0, 50, 50);
  red->SetCursor(7);
  auto* broken = new TPaintBox(&form);
  broken->SetParent(&form);
  broken->SetBounds(100, 0, 50, 50);
  broken->SetCursor(8);
  form.Show();

  test_driver::MouseMove(&form, 10, 10);
  Application()->ProcessMessages();
  EXPECT_EQ(test_driver::ShownCursor(&form), 7);
  // A cursor whose resource cannot be read shows the arrow, never the hourglass.
  test_driver::MouseMove(&form, 110, 10);
  Application()->ProcessMessages();
  EXPECT_EQ(test_driver::ShownCursor(&form), crArrow);

  Screen()->SetCursor(7);
  EXPECT_EQ(test_driver::ShownCursor(&form), 7);
  Screen()->SetCursor(crHandPoint);
  EXPECT_EQ(test_driver::ShownCursor(&form), crHandPoint);
  Screen()->SetCursor(crDefault);
  test_driver::MouseMove(&form, 10, 10);
  Application()->ProcessMessages();
  EXPECT_EQ(test_driver::ShownCursor(&form), 7);
}

TEST_F(RegisteredCursors, PicturesKeepTheirColoursSeeThroughPartsAndHotSpot) {
  static constexpr std::string_view picture[] = {"X", "Xo", "Xoo X"};
  static const std::string drawn = CursorFile(picture, 1, 2);
  // The top left pixel (stored last: rows go bottom up) made half see-through.
  static const std::string half = [] {
    std::string file = drawn;
    const std::size_t topLeft = 22 + 40 + 31 * 32 * 4;
    file.replace(topLeft, 4, std::string("\x00\x00\xFF\x80", 4));
    return file;
  }();
  RegisterResource("TESTDRAWNCURSOR", drawn);
  RegisterResource("TESTHALFCURSOR", half);
  Screen()->RegisterCursor(9, "TESTDRAWNCURSOR");
  Screen()->RegisterCursor(10, "TESTHALFCURSOR");
  EXPECT_EQ(test_driver::CursorPixel(9, 0, 0), 0xFF000000u);
  EXPECT_EQ(test_driver::CursorPixel(9, 1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(test_driver::CursorPixel(9, 4, 2), 0xFF000000u);
  for (auto [x, y] : {std::pair{1, 0}, {3, 2}, {31, 31}}) EXPECT_EQ(test_driver::CursorPixel(9, x, y) >> 24, 0u);
  EXPECT_EQ(test_driver::CursorHotSpot(9), (TPoint{1, 2}));
  EXPECT_EQ(test_driver::CursorPixel(10, 0, 0), 0x80FF0000u);
  EXPECT_EQ(test_driver::CursorPixel(10, 1, 1), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace lark
