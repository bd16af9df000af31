// Loading images: PNG pictures by URL, cutting pictures into animation
// frames, and refusing what cannot be read or cut.
#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/png.h"
#include "runtime/display.h"
#include "runtime/open.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

// A picture whose pixel (x, y) holds a value that names its position.
PixmapRef NumberedPicture(int w, int h, int format = PIXEL_RGBA8888) {
  PixmapRef pixmap = TPixmap::Create(w, h, format);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixmap->WritePixel(x, y, 0x80000000u | (x << 8) | y);
  }
  return pixmap;
}

class PictureFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("skyloom-images-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::u16string Save(const char* name, const PixmapRef& pixmap) {
    const std::u16string path = FromBytes((dir / name).string());
    EXPECT_EQ(SavePixmapAsPNG(pixmap, path, 3), 1);
    return path;
  }

  std::filesystem::path dir;
};

TEST_F(PictureFileTest, LoadImageFromKeepsPixelsAndAlpha) {
  ImageRef image = LoadImageFrom(Save("rgba.png", NumberedPicture(5, 3)));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 5);
  EXPECT_EQ(image->height, 3);
  EXPECT_EQ(image->flags, 0);
  EXPECT_EQ(image->handle_x, 0);
  EXPECT_EQ(image->handle_y, 0);
  ASSERT_EQ(image->frames.size(), 1u);
  EXPECT_EQ(image->frames[0]->format, PIXEL_RGBA8888);
  EXPECT_EQ(image->frames[0]->ReadPixel(4, 2), 0x80000402u);
}

TEST_F(PictureFileTest, PictureWithoutAlphaLoadsOpaque) {
  ImageRef image = LoadImageFrom(Save("rgb.png", NumberedPicture(4, 4, PIXEL_RGB888)));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->frames[0]->ReadPixel(3, 1), 0xFF000301u);
}

TEST_F(PictureFileTest, UnreadablePicturesGiveNull) {
  std::u16string not_png = FromBytes((dir / "text.png").string());
  {
    StreamRef out = OpenOutput(not_png);
    ASSERT_TRUE(out);
    out->WriteString(u"not a picture at all");
  }
  const std::u16string urls[] = {not_png, FromBytes((dir / "missing.png").string()),
                                 u"incbin::no/such/resource.png"};
  for (const std::u16string& url : urls) {
    EXPECT_EQ(LoadImageFrom(url), nullptr) << ToUtf8(url);
    EXPECT_EQ(LoadAnimImageFrom(url, 1, 1, 0, 1), nullptr) << ToUtf8(url);
  }
}

TEST_F(PictureFileTest, AnimImageFromUrlCutsCells) {
  ImageRef image = LoadAnimImageFrom(Save("strip.png", NumberedPicture(6, 2)), 2, 2, 1, 2);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->frames.size(), 2u);
  EXPECT_EQ(image->frames[1]->ReadPixel(0, 0), 0x80000400u);
}

TEST(LoadAnimImageFrom, FramesAreCellsNumberedRowByRow) {
  // 9 x 5 pixels in 2 x 2 cells: 4 columns and 2 rows; the odd column and row
  // are not part of any cell.
  PixmapRef picture = NumberedPicture(9, 5);
  ImageRef image = LoadAnimImageFrom(picture, 2, 2, 3, 5);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 2);
  EXPECT_EQ(image->height, 2);
  ASSERT_EQ(image->frames.size(), 5u);
  ASSERT_EQ(image->textures.size(), 5u);
  const struct { int frame, left, top; } cells[] = {{0, 6, 0}, {1, 0, 2}, {2, 2, 2}, {4, 6, 2}};
  for (const auto& c : cells) {
    const PixmapRef& frame = image->frames[c.frame];
    EXPECT_EQ(frame->width, 2);
    EXPECT_EQ(frame->height, 2);
    EXPECT_EQ(frame->ReadPixel(0, 0), 0x80000000u | (c.left << 8) | c.top) << "frame " << c.frame;
    EXPECT_EQ(frame->ReadPixel(1, 1), 0x80000000u | ((c.left + 1) << 8) | (c.top + 1));
  }
  // Frames are copies: later changes to the picture do not reach them.
  picture->WritePixel(6, 0, 0);
  EXPECT_EQ(image->frames[0]->ReadPixel(0, 0), 0x80000600u);
}

TEST(LoadAnimImageFrom, RefusesCellsOutsideTheGrid) {
  PixmapRef picture = NumberedPicture(9, 5);  // 4 x 2 cells of 2 x 2
  const struct {
    int w, h, first, count;
  } refused[] = {
      {2, 2, 0, 9},  {2, 2, 7, 2}, {2, 2, 8, 1},  {0, 2, 0, 1},          {2, -1, 0, 1},
      {2, 2, -1, 2}, {2, 2, 0, 0}, {10, 1, 0, 1}, {2, 2, 2147483647, 1},
  };
  for (const auto& r : refused) {
    EXPECT_EQ(LoadAnimImageFrom(picture, r.w, r.h, r.first, r.count), nullptr)
        << r.w << " x " << r.h << " from " << r.first << " count " << r.count;
  }
  EXPECT_TRUE(LoadAnimImageFrom(picture, 2, 2, 0, 8));
  EXPECT_TRUE(LoadAnimImageFrom(picture, 9, 5, 0, 1));
  EXPECT_EQ(LoadAnimImageFrom(PixmapRef(), 1, 1, 0, 1), nullptr);
}

}  // namespace
}  // namespace skyloom
