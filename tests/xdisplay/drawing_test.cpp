// Drawing on a real OpenGL display: primitives, clipping, blending and images,
// checked on pixels grabbed from the back buffer.
#include <cmath>
#include <limits>

#include "assets/embedded.h"
#include "runtime/backend_gl.h"
#include "tests/xdisplay/x_support.h"

namespace skyloom::xtest {
namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xFF0000;

using DrawingTest = RealDisplayTest;

struct PixelCase {
  int x, y;
  uint32_t rgb;
};

void ExpectPixels(const PixmapRef& grab, std::initializer_list<PixelCase> cases) {
  ASSERT_TRUE(grab);
  for (const PixelCase& c : cases) {
    EXPECT_EQ(Rgb(grab, c.x, c.y), c.rgb) << "pixel (" << c.x << ", " << c.y << ")";
  }
}

TEST_F(DrawingTest, RectFillsExactlyItsPixels) {
  SetColor(255, 0, 0);
  DrawRect(10, 20, 5, 3);
  ExpectPixels(GrabPixmap(0, 0, 32, 32), {{10, 20, kRed},
                                          {14, 22, kRed},
                                          {12, 21, kRed},
                                          {9, 20, kBlack},
                                          {15, 20, kBlack},
                                          {10, 19, kBlack},
                                          {10, 23, kBlack},
                                          {15, 23, kBlack}});
}

TEST_F(DrawingTest, OriginAndScaleMoveAndStretchTheRect) {
  SetColor(255, 0, 0);
  SetDrawOrigin(100, 100);
  SetDrawScale(2, 3);
  DrawRect(10, 10, 2, 2);  // covers 110..113 x 110..115
  ExpectPixels(
      GrabPixmap(100, 100, 20, 20),
      {{10, 10, kRed}, {13, 15, kRed}, {14, 10, kBlack}, {10, 16, kBlack}, {9, 9, kBlack}});
}

TEST_F(DrawingTest, ClsAndDrawingStayInsideTheViewport) {
  SetClsColor(0, 0, 255);
  SetViewport(100, 50, 20, 10);
  Cls();
  SetColor(255, 0, 0);
  DrawRect(110, 40, 100, 15);  // crosses the top and right edges
  SetViewport(0, 0, DisplayWidth(), DisplayHeight());
  ExpectPixels(GrabPixmap(90, 40, 40, 30), {{10, 10, 0x0000FF},  // 100, 50
                                            {29, 19, 0x0000FF},  // 119, 59
                                            {19, 10, 0x0000FF},  // 109, 50
                                            {20, 10, kRed},      // 110, 50
                                            {29, 14, kRed},      // 119, 54
                                            {29, 15, 0x0000FF},  // 119, 55
                                            {9, 10, kBlack},     // left of it
                                            {30, 10, kBlack},    // right of it
                                            {20, 9, kBlack},     // above it
                                            {10, 20, kBlack}});  // below it
}

TEST_F(DrawingTest, FullViewportRemovesClipping) {
  SetViewport(5, 5, 1, 1);
  SetViewport(0, 0, DisplayWidth(), DisplayHeight());
  SetClsColor(0, 255, 0);
  Cls();
  const int w = DisplayWidth(), h = DisplayHeight();
  PixmapRef grab = GrabPixmap(0, 0, w, h);
  ExpectPixels(grab, {{0, 0, 0x00FF00}, {w - 1, h - 1, 0x00FF00}, {w / 2, 0, 0x00FF00}});
}

TEST_F(DrawingTest, LineSetsItsLastPixelOnlyWhenAsked) {
  SetColor(255, 0, 0);
  DrawLine(10, 5, 20, 5, true);
  DrawLine(10, 10, 20, 10, false);
  DrawLine(30, 2, 30, 12, true);
  ExpectPixels(GrabPixmap(0, 0, 40, 20), {{10, 5, kRed},
                                          {15, 5, kRed},
                                          {20, 5, kRed},
                                          {21, 5, kBlack},
                                          {9, 5, kBlack},
                                          {10, 10, kRed},
                                          {19, 10, kRed},
                                          {20, 10, kBlack},
                                          {30, 2, kRed},
                                          {30, 12, kRed},
                                          {30, 13, kBlack},
                                          {31, 7, kBlack}});
}

TEST_F(DrawingTest, PlotSetsOnePixel) {
  SetColor(255, 0, 0);
  SetDrawOrigin(1, 2);
  Plot(32, 42);
  ExpectPixels(GrabPixmap(30, 40, 8, 8),
               {{3, 4, kRed}, {2, 4, kBlack}, {4, 4, kBlack}, {3, 3, kBlack}, {3, 5, kBlack}});
}

TEST_F(DrawingTest, OvalFillsItsInscribedEllipse) {
  SetColor(255, 0, 0);
  DrawOval(100, 100, 40, 20);
  ExpectPixels(GrabPixmap(100, 100, 40, 20), {{20, 10, kRed},
                                              {2, 10, kRed},
                                              {37, 10, kRed},
                                              {20, 1, kRed},
                                              {20, 18, kRed},
                                              {0, 0, kBlack},
                                              {39, 0, kBlack},
                                              {0, 19, kBlack},
                                              {39, 19, kBlack}});
}

TEST_F(DrawingTest, MaskDropsPixelsBelowHalfAlpha) {
  SetColor(255, 0, 0);
  SetAlpha(0.45f);
  DrawRect(0, 0, 4, 4);
  SetAlpha(0.55f);
  DrawRect(10, 0, 4, 4);  // written at full strength: the mask does not blend
  ExpectPixels(GrabPixmap(0, 0, 16, 4), {{1, 1, kBlack}, {11, 1, kRed}});
}

TEST_F(DrawingTest, AlphaBlendMixesWithTheBackground) {
  SetClsColor(0, 0, 200);
  Cls();
  SetBlend(BLEND_ALPHA);
  SetColor(200, 100, 0);
  SetAlpha(0.5f);
  DrawRect(0, 0, 4, 4);
  PixmapRef grab = GrabPixmap(0, 0, 4, 4);
  const uint32_t mixed = grab->ReadPixel(1, 1);
  EXPECT_NEAR(int(mixed >> 16 & 0xFF), 100, 2);
  EXPECT_NEAR(int(mixed >> 8 & 0xFF), 50, 2);
  EXPECT_NEAR(int(mixed & 0xFF), 100, 2);
}

TEST_F(DrawingTest, GrabIsOpaqueAndBlackOutsideTheDisplay) {
  SetClsColor(10, 20, 30);
  Cls();
  PixmapRef grab = GrabPixmap(-2, -1, 4, 3);
  ASSERT_TRUE(grab);
  EXPECT_EQ(grab->format, PIXEL_RGBA8888);
  EXPECT_EQ(grab->ReadPixel(0, 0), 0xFF000000u);  // outside
  EXPECT_EQ(grab->ReadPixel(2, 1), 0xFF0A141Eu);  // display pixel (0, 0)
  EXPECT_EQ(GrabPixmap(0, 0, -1, 4), nullptr);
}

// Rectangles at the far end of the integer range lie wholly off the display:
// nothing of them is read or drawn, and no edge arithmetic may overflow.
TEST_F(DrawingTest, RectanglesAtTheEndsOfTheIntegerRangeMissTheDisplay) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  PixmapRef grab = GrabPixmap(kMax - 1, kMax - 1, 2, 2);
  ASSERT_TRUE(grab);
  EXPECT_EQ(grab->ReadPixel(1, 1), 0xFF000000u);

  SetClsColor(255, 0, 0);
  const TViewport far_off[] = {{0, kMin, 10, 10}, {kMin, 0, 10, 10}, {0, kMax, 10, 10}};
  for (const TViewport& v : far_off) {
    SetViewport(v.x, v.y, v.w, v.h);
    Cls();
    DrawRect(0, 0, 5, 5);
  }
  SetViewport(0, 0, DisplayWidth(), DisplayHeight());
  ExpectPixels(GrabPixmap(0, 0, 8, 8), {{0, 0, kBlack}, {4, 4, kBlack}});
}

// A scene that mixes every kind of primitive with every reason a batch must
// be sent: colour, alpha, blend, viewport and line width changes, a clear in
// the middle, lines interleaved with their last pixels, overlapping blended
// shapes whose order shows, images of two textures and an image released
// right after it is drawn.
void DrawMixedScene(const ImageRef& tint) {
  SetClsColor(0, 0, 60);
  Cls();
  uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>(seed >> 8) % range;
  };
  for (int body = 0; body < 60; ++body) {
    const float x = static_cast<float>(next(360)), y = static_cast<float>(next(260));
    const float r = static_cast<float>(4 + next(30));
    SetColor(0, 160 + body % 3, 0);  // a colour change per body
    DrawOval(x - r, y - r, 2 * r, 2 * r);
    SetColor(128, 128, 128);
    SetLineWidth(body % 4 == 0 ? 3.0f : 1.0f);
    const int segments = 12 + next(20);
    for (int k = 0; k < segments; ++k) {
      const double a0 = 2 * M_PI * k / segments, a1 = 2 * M_PI * (k + 1) / segments;
      const float ro = r + 6;
      DrawLine(x + ro * float(std::cos(a0)), y + ro * float(std::sin(a0)),
               x + ro * float(std::cos(a1)), y + ro * float(std::sin(a1)), body % 5 == 0);
    }
    SetLineWidth(1);
    Plot(x, y);
  }
  SetBlend(BLEND_ALPHA);
  SetAlpha(0.4f);
  SetColor(255, 200, 0);
  for (int i = 0; i < 5; ++i) DrawOval(40.0f + 15 * i, 40, 60, 40);  // same style, overlapping
  SetColor(0, 200, 255);
  DrawRect(60, 50, 80, 30);
  SetBlend(BLEND_LIGHT);
  DrawRect(200, 200, 50, 50);
  SetBlend(BLEND_SHADE);
  SetColor(255, 128, 64);
  DrawOval(180, 180, 80, 80);
  SetBlend(7);  // unknown: draws like BLEND_SOLID
  SetAlpha(0.2f);
  DrawRect(300, 20, 20, 20);
  SetBlend(BLEND_MASK);
  SetAlpha(1);
  SetColor(255, 255, 255);
  for (int i = 0; i < 6; ++i) {  // runs of lines told apart by their width alone
    SetLineWidth(i % 2 ? 1.0f : 4.0f);
    DrawLine(230.0f + 8 * i, 120, 250.0f + 8 * i, 170, false);
  }
  SetLineWidth(1);

  DrawRect(195, 165, 20, 20);  // still pending when the clear below covers it
  SetViewport(100, 100, 120, 90);
  SetClsColor(40, 0, 0);
  Cls();
  SetColor(255, 255, 0);
  DrawRect(90, 90, 60, 60);
  SetViewport(150, 120, 40, 40);
  DrawRect(90, 90, 200, 200);
  SetViewport(0, 0, DisplayWidth(), DisplayHeight());

  SetColor(255, 255, 255);
  SetDrawScale(3, 3);
  DrawImageAt(tint, 10, 240);
  DrawImageAt(tint, 30, 240);  // the same texture again
  SetDrawRotation(30);
  DrawImageAt(tint, 60, 240);
  PixmapRef stripes = TPixmap::Create(3, 3, PIXEL_RGBA8888);
  for (int i = 0; i < 9; ++i) stripes->WritePixel(i % 3, i / 3, i % 2 ? 0xFFFF00FFu : 0xFF00FF00u);
  DrawImageAt(LoadAnimImageFrom(stripes, 3, 3, 0, 1), 100, 250);  // released at once
  DrawImageAt(tint, 140, 240);
  SetDrawRotation(0);
  SetDrawScale(1, 1);
  DrawLine(0, 299, 399, 299);
}

// Batching must not change a pixel: the mixed scene drawn with batching on
// and with every primitive drawn on its own grabs back identically.
TEST_F(DrawingTest, BatchingLeavesEveryPixelAsDrawingOneByOne) {
  TGLBackend* gl = TGLBackend::Current();
  ASSERT_NE(gl, nullptr);
  struct RestoreBatching {
    TGLBackend* gl;
    ~RestoreBatching() { gl->SetBatching(true); }
  } restore{gl};
  RegisterEmbeddedResources();
  const ImageRef tint = LoadImageFrom(u"incbin::test/tint.png");
  ASSERT_TRUE(tint);

  constexpr int kW = 400, kH = 300;
  gl->SetBatching(false);
  DrawMixedScene(tint);
  const PixmapRef one_by_one = GrabPixmap(0, 0, kW, kH);
  SetClsColor(0, 0, 0);
  Cls();
  gl->SetBatching(true);
  DrawMixedScene(tint);
  const PixmapRef batched = GrabPixmap(0, 0, kW, kH);
  ASSERT_TRUE(one_by_one && batched);

  int differing = 0, drawn = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const uint32_t expected = one_by_one->ReadPixel(x, y), got = batched->ReadPixel(x, y);
      if ((expected & 0xFFFFFF) != 0x00003C) ++drawn;
      if (expected != got && ++differing <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << got << " batched, "
                      << expected << " one by one";
      }
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(drawn,
            kW * kH / 4);  // the scene covers much of the grab, so the comparison means something
}

// The embedded test picture: 4 x 2 pixels,
//   row 0: white, grey 128, black, red (opaque);
//   row 1: white with alpha 255, 0, 127 and 128.
class ImageDrawingTest : public RealDisplayTest {
 protected:
  void SetUp() override {
    RealDisplayTest::SetUp();
    if (IsSkipped()) return;
    RegisterEmbeddedResources();
    image = LoadImageFrom(u"incbin::test/tint.png");
    ASSERT_TRUE(image);
  }
  ImageRef image;
};

TEST_F(ImageDrawingTest, ColourTintsTheImageAndTheMaskDropsLowAlpha) {
  SetClsColor(0, 0, 255);
  Cls();
  SetColor(255, 128, 0);
  SetDrawScale(4, 4);
  DrawImageAt(image, 200, 100);
  // Cell (cx, cy) of the picture covers 4 x 4 pixels from (200 + 4cx, 100 + 4cy).
  ExpectPixels(GrabPixmap(200, 100, 16, 8), {{1, 1, 0xFF8000},   // white takes the colour
                                             {5, 1, 0x804000},   // grey is scaled by it
                                             {9, 1, kBlack},     // black stays black
                                             {13, 1, kRed},      // red keeps only red
                                             {1, 5, 0xFF8000},   // alpha 255
                                             {5, 5, 0x0000FF},   // alpha 0: dropped
                                             {9, 5, 0x0000FF},   // alpha 127: dropped
                                             {13, 5, 0xFF8000},  // alpha 128: kept
                                             {16 - 1, 8 - 1, 0xFF8000}});
}

TEST_F(ImageDrawingTest, HalfTurnPlacesTheImageLeftOfAndAboveTheAnchor) {
  SetDrawRotation(180);
  SetDrawScale(2, 2);
  DrawImageAt(image, 300, 300);
  // Turned half way the picture spans 292..299 x 296..299 and is mirrored:
  // its top-left (white) pixel lands at the bottom-right.
  ExpectPixels(GrabPixmap(290, 294, 12, 8), {{9, 5, 0xFFFFFF},  // 299, 299: white
                                             {3, 5, kRed},      // 293, 299: red
                                             {10, 5, kBlack},   // 300: right of the anchor
                                             {9, 6, kBlack}});  // 300: below the anchor
}

TEST_F(ImageDrawingTest, AlphaBlendMixesImagePixels) {
  SetClsColor(0, 0, 200);
  Cls();
  SetBlend(BLEND_ALPHA);
  SetAlpha(0.5f);
  DrawImageAt(image, 0, 0);
  PixmapRef grab = GrabPixmap(0, 0, 4, 2);
  const uint32_t white_half = grab->ReadPixel(0, 0);
  EXPECT_NEAR(int(white_half >> 16 & 0xFF), 128, 2);
  EXPECT_NEAR(int(white_half & 0xFF), 228, 2);
  EXPECT_EQ(Rgb(grab, 1, 1), 0x0000C8u);  // alpha 0 leaves the background
}

}  // namespace
}  // namespace skyloom::xtest
