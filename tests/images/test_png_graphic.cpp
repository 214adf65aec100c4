#include <gtest/gtest.h>

#include "images/png_graphic.h"
#include "images/png_image.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/picture.h"
#include "tests/images/reference_png.h"
#include "tests/images/test_files.h"

namespace lark {
namespace {

class PNGFormat : public ::testing::Test {
 protected:
  void SetUp() override { RegisterPNGFormat(); }
  void TearDown() override { UnregisterPNGFormat(); }
  test::TempDir dir_;
};

TEST_F(PNGFormat, PictureLoadsPNGFilesOfAnyExtensionCase) {
  ASSERT_TRUE(test::Run("convert -size 3x2 xc:red -size 2x2 xc:'#00ff00' +append -type TrueColor " +
                        dir_.File("a.PNG")));
  EXPECT_EQ(TPicture::FileFormatDescription("png"), "Portable Network Graphics");
  TPicture picture;
  picture.LoadFromFile(dir_.File("a.PNG"));
  ASSERT_NE(dynamic_cast<TPNGGraphic*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 2);
  EXPECT_EQ(picture.Bitmap().Pixel(0, 0) & 0xFFFFFF, clRed);
  EXPECT_EQ(picture.Bitmap().Pixel(4, 1) & 0xFFFFFF, clLime);

  // Saved as PNG again: libpng reads the same pixels.
  picture.SaveToFile(dir_.File("b.png"));
  test::ReferencePNG reference;
  ASSERT_TRUE(test::DecodeWithLibpng(test::ReadFile(dir_.File("b.png")), reference));
  ASSERT_EQ(reference.Width, 5);
  EXPECT_EQ(reference.RGB[0], 255);
  EXPECT_EQ(reference.RGB[(5 + 4) * 3 + 1], 255);
}

TEST_F(PNGFormat, BrokenPNGFilesRaiseAndUnregisteredOnesAreUnknown) {
  test::WriteFile(dir_.File("bad.png"), "\x89PNG\r\n\x1a\nshort");
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile(dir_.File("bad.png")), EPNGImageException);
  EXPECT_EQ(picture.Graphic(), nullptr);
  UnregisterPNGFormat();
  try {
    picture.LoadFromFile(dir_.File("bad.png"));
    ADD_FAILURE() << "loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.png)");
  }
}

}  // namespace
}  // namespace lark
