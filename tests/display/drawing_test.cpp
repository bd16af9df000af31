// Drawing through the recording backend: the geometry, colour, blending and
// clipping that every backend receives, checked without a window.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/backend_recording.h"
#include "runtime/display.h"

namespace skyloom {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class RecordingDisplayTest : public testing::Test {
 protected:
  void SetUp() override { recorder = OpenRecordingDisplay(kWidth, kHeight); }
  void TearDown() override { CloseDisplay(); }

  static ImageRef BlankImage(int w, int h, int frames = 1) {
    return LoadAnimImageFrom(TPixmap::Create(w, h * frames, PIXEL_RGBA8888), w, h, 0, frames);
  }

  std::shared_ptr<TRecordingBackend> recorder;
};

void ExpectPoints(const std::vector<TDrawPoint>& actual, const std::vector<TDrawPoint>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(actual[i].x, expected[i].x, 1e-3) << "vertex " << i;
    EXPECT_NEAR(actual[i].y, expected[i].y, 1e-3) << "vertex " << i;
  }
}

TEST_F(RecordingDisplayTest, RectIsAnchoredAtItsPositionPlusTheOrigin) {
  SetDrawOrigin(100, 50);
  DrawRect(10, 20, 30, 40);
  ASSERT_EQ(recorder->primitives.size(), 1u);
  EXPECT_EQ(recorder->Last().kind, TRecordedPrimitive::POLYGON);
  ExpectPoints(recorder->Last().vertices, {{110, 70}, {140, 70}, {140, 110}, {110, 110}});
}

TEST_F(RecordingDisplayTest, RectSizeTurnsAndScalesAboutItsAnchor) {
  SetDrawRotation(90);  // clockwise on screen: +x becomes +y
  SetDrawScale(2, 3);
  DrawRect(100, 100, 10, 5);
  // (10, 0) -> (0, 20); (0, 5) -> (-15, 0).
  ExpectPoints(recorder->Last().vertices, {{100, 100}, {100, 120}, {85, 120}, {85, 100}});
}

struct ImageTransformCase {
  const char* name;
  float rotation, sx, sy;
  int handle_x, handle_y;
  std::vector<TDrawPoint> corners;  // relative to the anchor (300, 200)
};

TEST_F(RecordingDisplayTest, ImageCornersFollowHandleRotationAndScale) {
  const ImageTransformCase cases[] = {
      {"identity", 0, 1, 1, 0, 0, {{0, 0}, {256, 0}, {256, 1}, {0, 1}}},
      {"half wide, ten tall", 0, 0.5f, 10, 0, 0, {{0, 0}, {128, 0}, {128, 10}, {0, 10}}},
      {"turned half way", 180, 0.5f, 10, 0, 0, {{0, 0}, {-128, 0}, {-128, -10}, {0, -10}}},
      {"quarter turn", 90, 1, 1, 0, 0, {{0, 0}, {0, 256}, {-1, 256}, {-1, 0}}},
      {"handle in the middle", 0, 1, 1, 128, 1, {{-128, -1}, {128, -1}, {128, 0}, {-128, 0}}},
      {"handle then scale", 0, 2, 1, 128, 0, {{-256, 0}, {256, 0}, {256, 1}, {-256, 1}}},
  };
  for (const ImageTransformCase& c : cases) {
    SCOPED_TRACE(c.name);
    ImageRef image = BlankImage(256, 1);
    ASSERT_TRUE(image);
    image->handle_x = c.handle_x;
    image->handle_y = c.handle_y;
    SetDrawRotation(c.rotation);
    SetDrawScale(c.sx, c.sy);
    SetDrawOrigin(0, 0);
    recorder->Forget();
    DrawImageAt(image, 300, 200);
    ASSERT_EQ(recorder->primitives.size(), 1u);
    EXPECT_EQ(recorder->Last().kind, TRecordedPrimitive::IMAGE);
    EXPECT_EQ(recorder->Last().image, image.get());
    std::vector<TDrawPoint> expected;
    for (TDrawPoint p : c.corners) expected.push_back({p.x + 300, p.y + 200});
    ExpectPoints(recorder->Last().vertices, expected);
  }
}

TEST_F(RecordingDisplayTest, ImageDrawCarriesFrameAndSkipsBadFrames) {
  ImageRef image = BlankImage(4, 4, 3);
  ASSERT_TRUE(image);
  DrawImageAt(image, 0, 0, 2);
  ASSERT_EQ(recorder->primitives.size(), 1u);
  EXPECT_EQ(recorder->Last().frame, 2);
  DrawImageAt(image, 0, 0, 3);
  DrawImageAt(image, 0, 0, -1);
  DrawImageAt(nullptr, 0, 0, 0);
  EXPECT_EQ(recorder->primitives.size(), 1u);
}

TEST_F(RecordingDisplayTest, PrimitivesUseTheViewportAndClsClearsOnlyIt) {
  SetClsColor(1, 2, 3);
  SetViewport(10, 20, 30, 40);
  Cls();
  DrawRect(0, 0, 5, 5);
  SetViewport(0, 0, kWidth, kHeight);
  Plot(1, 1);
  SetViewport(5, 5, -3, -4);
  Cls();

  const auto& p = recorder->primitives;
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].kind, TRecordedPrimitive::CLEAR);
  EXPECT_EQ(p[0].style.viewport.x, 10);
  EXPECT_EQ(p[0].style.viewport.y, 20);
  EXPECT_EQ(p[0].style.viewport.w, 30);
  EXPECT_EQ(p[0].style.viewport.h, 40);
  EXPECT_EQ(p[0].style.red, 1);
  EXPECT_EQ(p[0].style.green, 2);
  EXPECT_EQ(p[0].style.blue, 3);
  EXPECT_EQ(p[1].style.viewport.w, 30);
  EXPECT_EQ(p[2].style.viewport.w, kWidth);
  EXPECT_EQ(p[2].style.viewport.h, kHeight);
  // A negative size clips everything away rather than reaching the device.
  EXPECT_EQ(p[3].style.viewport.w, 0);
  EXPECT_EQ(p[3].style.viewport.h, 0);
}

TEST(OvalCornerCount, FollowsTheRadiiRoundedDownToFours) {
  struct Case {
    float w, h;
    int corners;
  } cases[] = {
      {6, 6, 12},
      {100, 100, 100},
      {50, 30, 40},
      {-50, -30, 40},
      {0, 0, 12},
      {26, 0, 12},
      {27, 27, 24},
      {30, 0, 12},
      {34, 0, 16},
      {1000.5f, 0, 500},
      {1e30f, 1, 1 << 16},
      {std::numeric_limits<float>::quiet_NaN(), 10, 12},
      {std::numeric_limits<float>::infinity(), 10, 1 << 16},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OvalCornerCount(c.w, c.h), c.corners) << c.w << " x " << c.h;
  }
}

TEST_F(RecordingDisplayTest, OvalCornersRunClockwiseFromTheRightmostPoint) {
  DrawOval(10, 20, 100, 60);
  const auto& v = recorder->Last().vertices;
  ASSERT_EQ(v.size(), 80u);
  ExpectPoints({v[0], v[20], v[40], v[60]}, {{110, 50}, {60, 80}, {10, 50}, {60, 20}});
  DrawOval(0, 0, 6, 6);
  EXPECT_EQ(recorder->Last().vertices.size(), 12u);
}

TEST_F(RecordingDisplayTest, ColourAndAlphaAreClampedIntoRange) {
  struct Case {
    int r, g, b;
    float alpha;
    int er, eg, eb;
    float ealpha;
  } cases[] = {
      {300, -5, 128, 0.5f, 255, 0, 128, 0.5f},
      {0, 255, 256, 1.5f, 0, 255, 255, 1.0f},
      {-1000, 1000, 7, -0.25f, 0, 255, 7, 0.0f},
  };
  for (const Case& c : cases) {
    SetColor(c.r, c.g, c.b);
    SetAlpha(c.alpha);
    DrawRect(0, 0, 1, 1);
    const TDrawStyle& style = recorder->Last().style;
    EXPECT_EQ(style.red, c.er);
    EXPECT_EQ(style.green, c.eg);
    EXPECT_EQ(style.blue, c.eb);
    EXPECT_FLOAT_EQ(style.alpha, c.ealpha);
  }
}

TEST_F(RecordingDisplayTest, LineEndsAtTheTransformedFarPointAndPlotsItOnRequest) {
  SetDrawOrigin(5, 5);
  SetDrawScale(2, 2);
  SetLineWidth(3);
  SetBlend(BLEND_ALPHA);
  DrawLine(10, 10, 15, 12, true);
  ASSERT_EQ(recorder->primitives.size(), 2u);
  const TRecordedPrimitive& line = recorder->primitives[0];
  EXPECT_EQ(line.kind, TRecordedPrimitive::LINE);
  EXPECT_FLOAT_EQ(line.line_width, 3);
  EXPECT_EQ(line.style.blend, BLEND_ALPHA);
  ExpectPoints(line.vertices, {{15, 15}, {25, 19}});
  EXPECT_EQ(recorder->primitives[1].kind, TRecordedPrimitive::POINT);
  ExpectPoints(recorder->primitives[1].vertices, {{25, 19}});

  recorder->Forget();
  DrawLine(10, 10, 15, 12, false);
  ASSERT_EQ(recorder->primitives.size(), 1u);
  EXPECT_EQ(recorder->Last().kind, TRecordedPrimitive::LINE);
}

TEST_F(RecordingDisplayTest, PlotIsMovedByTheOriginButNotScaled) {
  SetDrawOrigin(3, 4);
  SetDrawScale(5, 5);
  SetDrawRotation(45);
  Plot(10, 20);
  EXPECT_EQ(recorder->Last().kind, TRecordedPrimitive::POINT);
  ExpectPoints(recorder->Last().vertices, {{13, 24}});
}

TEST_F(RecordingDisplayTest, OpeningRestoresTheDefaultDrawingState) {
  SetColor(1, 2, 3);
  SetAlpha(0.25f);
  SetClsColor(9, 9, 9);
  SetBlend(BLEND_ALPHA);
  SetLineWidth(4);
  SetDrawRotation(30);
  SetDrawScale(2, 3);
  SetDrawOrigin(7, 8);
  SetViewport(1, 1, 2, 2);
  recorder = OpenRecordingDisplay(320, 200);

  const TDrawState& st = DrawState();
  EXPECT_EQ(st.red + st.green + st.blue, 3 * 255);
  EXPECT_EQ(st.cls_red + st.cls_green + st.cls_blue, 0);
  EXPECT_FLOAT_EQ(st.alpha, 1);
  EXPECT_EQ(st.blend, BLEND_MASK);
  EXPECT_FLOAT_EQ(st.line_width, 1);
  EXPECT_FLOAT_EQ(st.rotation, 0);
  float sx, sy, ox, oy;
  GetDrawScale(sx, sy);
  GetDrawOrigin(ox, oy);
  EXPECT_FLOAT_EQ(sx, 1);
  EXPECT_FLOAT_EQ(sy, 1);
  EXPECT_FLOAT_EQ(ox, 0);
  EXPECT_FLOAT_EQ(oy, 0);
  EXPECT_EQ(st.viewport.x, 0);
  EXPECT_EQ(st.viewport.y, 0);
  EXPECT_EQ(st.viewport.w, 320);
  EXPECT_EQ(st.viewport.h, 200);
  EXPECT_EQ(DisplayWidth(), 320);
  EXPECT_EQ(DisplayHeight(), 200);
  EXPECT_EQ(PointerX(), 160);
  EXPECT_EQ(PointerY(), 100);
  // The derived transform is the identity again.
  DrawRect(10, 10, 2, 3);
  ExpectPoints(recorder->Last().vertices, {{10, 10}, {12, 10}, {12, 13}, {10, 13}});
}

TEST(RecordingDisplay, FlipWaitsForTheBlankByTheSyncRule) {
  struct Case {
    int hertz, sync;
    bool waits;
  } cases[] = {{60, -1, true}, {0, -1, false}, {0, 1, true}, {60, 0, false}, {60, 1, true}};
  for (const Case& c : cases) {
    auto recorder = OpenRecordingDisplay(100, 100, c.hertz);
    Flip(c.sync);
    EXPECT_EQ(recorder->presents, 1);
    EXPECT_EQ(recorder->waited_presents, c.waits ? 1 : 0) << c.hertz << " Hz, sync " << c.sync;
  }
  CloseDisplay();
}

TEST(NoDisplay, DrawingAndGrabbingDoNothing) {
  CloseDisplay();
  Cls();
  DrawRect(0, 0, 10, 10);
  DrawOval(0, 0, 10, 10);
  DrawLine(0, 0, 10, 10);
  Plot(1, 1);
  Flip(-1);
  EXPECT_EQ(GrabPixmap(0, 0, 4, 4), nullptr);
  EXPECT_EQ(DisplayWidth(), 0);
  EXPECT_EQ(DisplayHeight(), 0);
}

}  // namespace
}  // namespace skyloom
