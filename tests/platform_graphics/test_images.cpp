#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/image_list.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/graphics/picture.h"
#include "platform/graphics/resources.h"

namespace lark {
namespace {

namespace fs = std::filesystem;

// Files written by ImageMagick, in a folder of this test process.
class ImageFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("lark-images-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Make(const std::string& name, const std::string& arguments) {
    const std::string path = (dir_ / name).string();
    const std::string command = "convert " + arguments + " '" + path.substr(0, 0) + OutputSpec(name, path) + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << command;
    return path;
  }

  static std::string OutputSpec(const std::string& name, const std::string& path) {
    return name.ends_with(".bmp") ? "BMP3:" + path : path;
  }

  fs::path dir_;
};

// Colours compared channel by channel within a tolerance (JPEG is lossy).
void ExpectNear(TColor actual, TColor expected, int tolerance) {
  EXPECT_NEAR(GetRValue(actual), GetRValue(expected), tolerance) << std::hex << actual;
  EXPECT_NEAR(GetGValue(actual), GetGValue(expected), tolerance) << std::hex << actual;
  EXPECT_NEAR(GetBValue(actual), GetBValue(expected), tolerance) << std::hex << actual;
}

TEST_F(ImageFiles, JpegDecodesColourGreyProgressiveAndCmyk) {
  const std::string colour = Make("c.jpg", "-size 8x8 xc:red -size 8x8 xc:blue +append -quality 95");
  TJPEGImage jpeg;
  jpeg.LoadFromFile(colour);
  EXPECT_EQ(jpeg.Width(), 16);
  EXPECT_EQ(jpeg.Height(), 8);
  EXPECT_FALSE(jpeg.Grayscale());
  EXPECT_EQ(jpeg.Bitmap().PixelFormat(), pf24bit);
  ExpectNear(jpeg.Bitmap().Pixel(2, 4), clRed, 24);
  ExpectNear(jpeg.Bitmap().Pixel(13, 4), clBlue, 24);

  TJPEGImage progressive;
  progressive.LoadFromFile(Make("p.jpg", "-size 8x8 xc:lime -interlace JPEG -quality 95"));
  ExpectNear(progressive.Bitmap().Pixel(4, 4), clLime, 24);

  TJPEGImage cmyk;
  cmyk.LoadFromFile(Make("k.jpg", "-size 8x8 xc:red -colorspace CMYK -quality 95"));
  ExpectNear(cmyk.Bitmap().Pixel(4, 4), clRed, 40);

  TJPEGImage grey;
  grey.LoadFromFile(Make("g.jpg", "-size 8x8 xc:gray50 -colorspace Gray -quality 95"));
  EXPECT_TRUE(grey.Grayscale());
  grey.SetPixelFormat(jf8Bit);
  EXPECT_EQ(grey.Bitmap().PixelFormat(), pf8bit);
  ExpectNear(grey.Bitmap().Pixel(3, 3), RGB(128, 128, 128), 4);
  std::unique_ptr<TBitmap> taken = grey.TakeBitmap();
  EXPECT_EQ(taken->Width(), 8);
}

TEST_F(ImageFiles, JpegRoundTripAndBadData) {
  TBitmap picture(10, 6);
  picture.Canvas().Brush().Color = clYellow;
  picture.Canvas().FillRect(Rect(0, 0, 10, 6));
  TJPEGImage jpeg;
  jpeg.CompressionQuality = 95;
  jpeg.Assign(picture);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  stream.SetPosition(0);
  TJPEGImage back;
  back.LoadFromStream(stream);
  EXPECT_EQ(back.Width(), 10);
  ExpectNear(back.Bitmap().Pixel(5, 3), clYellow, 12);

  TStringStream garbage("\xFF\xD8\xFF\xE0 not really a jpeg");
  EXPECT_THROW(back.LoadFromStream(garbage), EJPEG);
  EXPECT_EQ(back.Width(), 10);  // a failed load keeps the old picture
  // A valid header whose data stops early: libjpeg pads and never overruns.
  std::string whole(stream.Bytes());
  TStringStream truncated(whole.substr(0, whole.size() - 8));
  TJPEGImage partial;
  partial.LoadFromStream(truncated);
  EXPECT_EQ(partial.Bitmap().Width(), 10);
}

TEST_F(ImageFiles, BitmapFilesKeepTheirDepth) {
  TBitmap b24;
  // Odd width (padded rows), bottom-up rows, channels in file order.
  b24.LoadFromFile(
      Make("r.bmp", "-size 3x1 xc:red -size 3x1 xc:blue -append -fill lime -draw 'point 2,1' -type TrueColor"));
  EXPECT_EQ(b24.PixelFormat(), pf24bit);
  EXPECT_EQ(b24.Pixel(0, 0), clRed);
  EXPECT_EQ(b24.Pixel(1, 1), clBlue);
  EXPECT_EQ(b24.Pixel(2, 1), clLime);

  TBitmap b8;
  b8.LoadFromFile(Make("p.bmp", "-size 2x2 xc:red -size 1x2 xc:lime -size 2x2 xc:blue +append -type Palette"));
  EXPECT_EQ(b8.PixelFormat(), pf4bit);  // three colours: ImageMagick writes 4 bits
  EXPECT_EQ(b8.Pixel(0, 0), clRed);
  EXPECT_EQ(b8.Pixel(4, 1), clBlue);
  ASSERT_TRUE(b8.Palette());

  TBitmap b1;
  b1.LoadFromFile(Make("m.bmp", "-size 3x1 xc:white -fill black -draw 'point 1,0' -type Bilevel"));
  EXPECT_TRUE(b1.Monochrome());
  EXPECT_EQ(b1.Pixel(0, 0), clWhite);
  EXPECT_EQ(b1.Pixel(1, 0), clBlack);

  TMemoryStream saved;
  b8.SaveToStream(saved);
  saved.SetPosition(0);
  TBitmap again;
  again.LoadFromStream(saved);
  EXPECT_EQ(again.Pixel(4, 1), clBlue);
  EXPECT_EQ(again.Width(), 5);
}

TEST(BitmapFile, RejectsBrokenAndHugeHeaders) {
  TBitmap bitmap;
  TStringStream empty("");
  EXPECT_THROW(bitmap.LoadFromStream(empty), EInvalidGraphic);
  std::string huge(54, '\0');
  huge[0] = 'B';
  huge[1] = 'M';
  huge[14] = 40;
  huge[18] = huge[19] = huge[20] = '\x7F';  // width ~ 8 million
  huge[22] = huge[23] = huge[24] = '\x7F';
  huge[28] = 24;
  TStringStream big(huge);
  try {
    bitmap.LoadFromStream(big);
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Bitmap image is too large");
  }
}

TEST_F(ImageFiles, PictureChoosesTheGraphicByExtensionOrContent) {
  TPicture picture;
  picture.LoadFromFile(Make("x.jpg", "-size 3x2 xc:blue"));
  EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 3);
  const std::string bmp = Make("y.bmp", "-size 5x2 xc:red");
  const std::string renamed = (dir_ / "y.dat").string();
  fs::rename(bmp, renamed);
  picture.LoadFromFile(renamed);
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Bitmap().Pixel(4, 1), clRed);
  const std::string text = (dir_ / "z.txt").string();
  TStringStream("hello").SaveToFile(text);
  EXPECT_THROW(picture.LoadFromFile(text), EInvalidGraphic);
}

// A graphic class of the test's own, to tell registered loads apart.
class MarkedBitmap : public TBitmap {};

TEST_F(ImageFiles, RegisteredExtensionsLoadAsTheirClass) {
  const std::string path = Make("w.bmp", "-size 2x2 xc:red");
  const std::string marked = (dir_ / "w.MRK").string();
  fs::copy_file(path, marked);
  TPicture picture;
  TPicture::RegisterFileFormat("mrk", "Marked", MakeGraphic<TBitmap>);
  TPicture::RegisterFileFormat("Mrk", "Marked bitmap", MakeGraphic<MarkedBitmap>);  // replaces
  EXPECT_EQ(TPicture::FileFormatDescription("MRK"), "Marked bitmap");
  picture.LoadFromFile(marked);
  EXPECT_NE(dynamic_cast<MarkedBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Bitmap().Pixel(1, 1), clRed);
  TPicture::RegisterFileFormat("bmp", "Marked too", MakeGraphic<MarkedBitmap>);  // wins over the built-in
  picture.LoadFromFile(path);
  EXPECT_NE(dynamic_cast<MarkedBitmap*>(picture.Graphic()), nullptr);

  TPicture::UnregisterGraphicClass(MakeGraphic<MarkedBitmap>);
  EXPECT_EQ(TPicture::FileFormatDescription("mrk"), "");
  picture.LoadFromFile(path);
  EXPECT_EQ(dynamic_cast<MarkedBitmap*>(picture.Graphic()), nullptr);
  picture.LoadFromFile(marked);  // still a bitmap, by its first bytes
  EXPECT_EQ(dynamic_cast<MarkedBitmap*>(picture.Graphic()), nullptr);
}

TEST(ImageList, MaskedImagesDrawTransparentlyAndSizesAreChecked) {
  TBitmap strip(8, 4);  // two 4 x 4 images: red square with a lime corner colour
  strip.Canvas().Brush().Color = clLime;
  strip.Canvas().FillRect(Rect(0, 0, 8, 4));
  strip.Canvas().Brush().Color = clRed;
  strip.Canvas().FillRect(Rect(1, 1, 3, 3));
  strip.Canvas().Brush().Color = clBlue;
  strip.Canvas().FillRect(Rect(5, 1, 7, 3));
  TImageList list(4, 4);
  EXPECT_EQ(list.AddMasked(strip, clLime), 0);
  EXPECT_EQ(list.Count(), 2);
  TBitmap target(4, 4);
  list.Draw(target.Canvas(), 0, 0, 1);
  EXPECT_EQ(target.Pixel(0, 0), clWhite);  // transparent: the target shows
  EXPECT_EQ(target.Pixel(1, 1), clBlue);
  TBitmap mask;
  list.GetMask(0, mask);
  EXPECT_EQ(mask.Pixel(0, 0), clWhite);
  EXPECT_EQ(mask.Pixel(1, 1), clBlack);
  list.Draw(target.Canvas(), 0, 0, 0, false);  // greyed
  EXPECT_EQ(target.Pixel(1, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(target.Pixel(0, 0), clWhite);

  TBitmap wrong(3, 4);
  try {
    list.Add(wrong, nullptr);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Invalid image size");
  }
  EXPECT_THROW(list.Replace(5, strip, nullptr), EInvalidOperation);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
}

TEST(Resources, BitmapsByNameAndNumber) {
  TBitmap source(2, 2);
  source.Canvas().SetPixel(1, 1, clRed);
  TMemoryStream stream;
  source.SaveToStream(stream);
  static std::string bytes;
  bytes = std::string(stream.Bytes());
  RegisterResource("1001", bytes);
  RegisterResource("TrueType", bytes);
  TBitmap loaded;
  loaded.LoadFromResourceID(1001);
  EXPECT_EQ(loaded.Pixel(1, 1), clRed);
  loaded.LoadFromResourceName("TRUETYPE");
  EXPECT_EQ(loaded.Width(), 2);
  try {
    loaded.LoadFromResourceName("missing");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource missing not found");
  }
}

}  // namespace
}  // namespace lark
