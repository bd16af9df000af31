// The body label: which name a camera shows, and the band and glyphs that
// show it in the top-left corner of the camera's rectangle.
#include "panes/label.h"
#include "panes_fixture.h"
#include "text/gradient.h"

namespace skyloom::testing_panes {
namespace {

constexpr int LX = 100, LY = 50, LW = 300, LH = 200;
// The rectangle's centre is (250, 150); Alpha is drawn at (200, 150) and
// Beta at (300, 150), both clear of the label.

class LabelTest : public PanesTest {
 protected:
  void SetUp() override {
    PanesTest::SetUp();
    ASSERT_EQ(InitGradient(), 1);
    std::string error;
    ASSERT_EQ(loadlabelfont(error), 1) << error;
    ASSERT_TRUE(labelfont());
    alpha = MakeBody(u"Alpha", 10, -50, 0);
    beta = MakeBody(u"Beta", 10, 50, 0);
    cam = camera::Create();
    cam->setbounds(LX, LY, LW, LH);
    cam->view = MakeSpace({alpha, beta});
  }

  // Hovers what lies under (px, py), then renders.
  void RenderWithPointerAt(int px, int py) {
    MoveTo(px, py);
    Frame();
    cam->update();
    recorder->Forget();
    cam->render();
  }

  std::vector<TRecordedPrimitive> Band() const {
    std::vector<TRecordedPrimitive> out;
    for (const TRecordedPrimitive& p : OfKind(*recorder, TRecordedPrimitive::IMAGE)) {
      if (p.image == gradientimage().get()) out.push_back(p);
    }
    return out;
  }
  std::vector<TRecordedPrimitive> Glyphs() const {
    std::vector<TRecordedPrimitive> out;
    for (const TRecordedPrimitive& p : OfKind(*recorder, TRecordedPrimitive::IMAGE)) {
      if (p.image == labelfont()->image.get()) out.push_back(p);
    }
    return out;
  }
  std::u16string ShownName() const {
    std::u16string name;
    for (const TRecordedPrimitive& g : Glyphs()) name += char16_t(g.frame);
    return name;
  }

  bodyRef alpha, beta;
  cameraRef cam;
};

TEST_F(LabelTest, ShowsTheHoveredBodyBeforeTheSelectedOne) {
  const struct {
    const char* name;
    bool hover_alpha;
    bool select_beta;
    std::u16string shown;
  } cases[] = {
      {"hovered and another selected", true, true, u"Alpha"},
      {"selected only", false, true, u"Beta"},
      {"hovered only", true, false, u"Alpha"},
      {"neither", false, false, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    cam->focus = c.select_beta ? beta : nullptr;
    RenderWithPointerAt(c.hover_alpha ? 200 : 250, c.hover_alpha ? 150 : 100);
    ASSERT_EQ(cam->over, c.hover_alpha ? alpha : nullptr);
    EXPECT_EQ(ShownName(), c.shown);
    if (c.shown.empty()) {
      EXPECT_TRUE(OfKind(*recorder, TRecordedPrimitive::IMAGE).empty())
          << "no band and no text without a body";
    } else {
      EXPECT_EQ(Band().size(), 1u);
    }
  }
}

TEST_F(LabelTest, TheBandIsTwiceTheNameWideAndTheTextStartsInsideIt) {
  cam->focus = beta;
  RenderWithPointerAt(250, 100);
  const int width = labelfont()->Size(u"Beta", nullptr)->x;
  ASSERT_GT(width, 0);

  const std::vector<TRecordedPrimitive> band = Band();
  ASSERT_EQ(band.size(), 1u);
  const Box b = BoxOf(band[0]);
  EXPECT_NEAR(b.l, LX + 2, 1e-3);
  EXPECT_NEAR(b.t, LY + 2, 1e-3);
  EXPECT_NEAR(b.w(), 2 * width, 1e-3);
  EXPECT_NEAR(b.h(), labelfont()->height(), 1e-3);
  // Opaque end on the left: the picture is not turned.
  EXPECT_NEAR(band[0].vertices[0].x, LX + 2, 1e-3);
  EXPECT_TRUE(SameColour(band[0].style, 0, 0, 0));
  EXPECT_EQ(band[0].style.blend, BLEND_ALPHA);

  const std::vector<TRecordedPrimitive> glyphs = Glyphs();
  ASSERT_EQ(glyphs.size(), 4u);
  const Box first = BoxOf(glyphs[0]);
  EXPECT_NEAR(first.l, LX + 4, 1e-3);
  EXPECT_NEAR(first.t, LY + 4, 1e-3);
  for (const TRecordedPrimitive& g : glyphs) {
    EXPECT_TRUE(SameColour(g.style, 255, 255, 255));
    EXPECT_NEAR(BoxOf(g).t, LY + 4, 1e-3) << "one unscaled line";
    EXPECT_NEAR(BoxOf(g).h(), labelfont()->image->height, 1e-3);
  }
  // The band comes first, so the text stands on it.
  const std::vector<TRecordedPrimitive> images = OfKind(*recorder, TRecordedPrimitive::IMAGE);
  EXPECT_EQ(images.front().image, gradientimage().get());
}

TEST_F(LabelTest, AnEmptyNameShowsNothingVisible) {
  alpha->name.clear();
  RenderWithPointerAt(200, 150);
  ASSERT_EQ(cam->over, alpha);
  EXPECT_TRUE(Glyphs().empty());
  for (const TRecordedPrimitive& band : Band()) {
    EXPECT_NEAR(BoxOf(band).w(), 0, 1e-6) << "a band of length 0";
  }
}

}  // namespace
}  // namespace skyloom::testing_panes
