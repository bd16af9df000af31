// The gradient bar: the embedded picture's pixels, the corners of the drawn
// bar in both directions, and the transform reset after every call.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/backend_recording.h"
#include "text/gradient.h"

namespace skyloom {
namespace {

TEST(GradientTest, EmbeddedPictureIsWhiteFadingOut) {
  ASSERT_EQ(InitGradient(), 1);
  const ImageRef& image = gradientimage();
  ASSERT_TRUE(image);
  ASSERT_EQ(image->width, 256);
  ASSERT_EQ(image->height, 1);
  ASSERT_EQ(image->frames.size(), 1u);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(image->frames[0]->ReadPixel(i, 0), (uint32_t(255 - i) << 24) | 0xFFFFFFu) << i;
  }
}

class DrawGradientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(InitGradient(), 1);
    recorder = OpenRecordingDisplay(320, 200);
  }
  void TearDown() override { CloseDisplay(); }

  std::shared_ptr<TRecordingBackend> recorder;
};

TEST_F(DrawGradientTest, BarCoversItsRectangleInEitherDirection) {
  struct Case {
    const char* what;
    float length, thickness;
    int flip;
    TDrawPoint corners[4];  // top-left, top-right, bottom-right, bottom-left of the picture
  };
  const Case cases[] = {
      {"fading right", 100, 12, 0, {{2, 2}, {102, 2}, {102, 14}, {2, 14}}},
      {"turned about its start", 100, 12, 1, {{2, 2}, {-98, 2}, {-98, -10}, {2, -10}}},
      {"longer than the picture", 512, 3, 0, {{2, 2}, {514, 2}, {514, 5}, {2, 5}}},
      {"zero length", 0, 12, 0, {{2, 2}, {2, 2}, {2, 14}, {2, 14}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    recorder->Forget();
    SetColor(0, 0, 0);
    DrawGradient(2, 2, c.length, c.thickness, c.flip);
    ASSERT_EQ(recorder->primitives.size(), 1u);
    const TRecordedPrimitive& bar = recorder->Last();
    EXPECT_EQ(bar.kind, TRecordedPrimitive::IMAGE);
    EXPECT_EQ(bar.image, gradientimage().get());
    EXPECT_EQ(bar.frame, 0);
    EXPECT_EQ(bar.style.red + bar.style.green + bar.style.blue, 0);
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(bar.vertices[k].x, c.corners[k].x, 1e-3) << "corner " << k;
      EXPECT_NEAR(bar.vertices[k].y, c.corners[k].y, 1e-3) << "corner " << k;
    }
  }
}

TEST_F(DrawGradientTest, AnyFlipTurnsByItsMultipleOfHalfATurn) {
  // An even multiple of 180 degrees leaves the bar fading right, an odd one
  // turns it, however large the multiple.
  struct Case {
    int flip;
    float far_x;
  };
  for (const Case& c : {Case{2, 102}, Case{-1, -98}, Case{2147483647, -98}}) {
    SCOPED_TRACE(c.flip);
    recorder->Forget();
    DrawGradient(2, 2, 100, 12, c.flip);
    ASSERT_EQ(recorder->primitives.size(), 1u);
    EXPECT_NEAR(recorder->Last().vertices[1].x, c.far_x, 1e-2);
    EXPECT_EQ(DrawState().rotation, 0.0f);
  }
}

TEST_F(DrawGradientTest, TransformIsIdentityAfterwardsWhateverItWasBefore) {
  SetDrawScale(3, 0.5f);
  SetDrawRotation(45);
  DrawGradient(0, 0, 10, 10, 1);
  float sx = 0, sy = 0;
  GetDrawScale(sx, sy);
  EXPECT_EQ(sx, 1.0f);
  EXPECT_EQ(sy, 1.0f);
  EXPECT_EQ(DrawState().rotation, 0.0f);
  EXPECT_EQ(DrawState().ix, 1.0f);
  EXPECT_EQ(DrawState().iy, 0.0f);
}

}  // namespace
}  // namespace skyloom
