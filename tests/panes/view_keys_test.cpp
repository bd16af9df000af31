// The pane view settings the keys change: home and fit-all camera values,
// orbit lines and labels switched off (exactly their primitives go), the
// settings travelling with a split, and the time status in the top-right
// corner.
#include "panes/label.h"
#include "panes/time_status.h"
#include "panes_fixture.h"
#include "text/gradient.h"

namespace skyloom::testing_panes {
namespace {

constexpr int CX = 100, CY = 50, CW = 400, CH = 300;

class ViewKeysTest : public PanesTest {
 protected:
  void SetUp() override {
    PanesTest::SetUp();
    ASSERT_EQ(InitGradient(), 1);
    std::string error;
    ASSERT_EQ(loadlabelfont(error), 1) << error;
    cam = camera::Create();
    cam->setbounds(CX, CY, CW, CH);
  }

  std::vector<TRecordedPrimitive> Render() {
    recorder->Forget();
    cam->render();
    return recorder->primitives;
  }

  // The glyphs of the label font drawn, as text, in drawing order.
  std::u16string TextOf(const std::vector<TRecordedPrimitive>& primitives) const {
    std::u16string text;
    for (const TRecordedPrimitive& p : primitives) {
      if (p.kind == TRecordedPrimitive::IMAGE && p.image == labelfont()->image.get()) {
        text += char16_t(p.frame);
      }
    }
    return text;
  }

  cameraRef cam;
};

bool SamePrimitive(const TRecordedPrimitive& a, const TRecordedPrimitive& b) {
  if (a.kind != b.kind || a.image != b.image || a.frame != b.frame) return false;
  if (!SameColour(a.style, b.style.red, b.style.green, b.style.blue)) return false;
  if (a.vertices.size() != b.vertices.size()) return false;
  for (size_t i = 0; i < a.vertices.size(); ++i) {
    if (a.vertices[i].x != b.vertices[i].x || a.vertices[i].y != b.vertices[i].y) return false;
  }
  return true;
}

void ExpectSame(const std::vector<TRecordedPrimitive>& got,
                const std::vector<TRecordedPrimitive>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_TRUE(SamePrimitive(got[i], want[i])) << "primitive " << i;
  }
}

template <typename Keep>
std::vector<TRecordedPrimitive> Without(const std::vector<TRecordedPrimitive>& all, Keep drop) {
  std::vector<TRecordedPrimitive> kept;
  for (const TRecordedPrimitive& p : all) {
    if (!drop(p)) kept.push_back(p);
  }
  return kept;
}

TEST_F(ViewKeysTest, HomeRestoresTheStartingViewAndKeepsTheSelection) {
  bodyRef star = MakeBody(u"Star", 10, 300, -200);
  cam->view = MakeSpace({star});
  cam->pos = vect2d::Create(300, -200);
  cam->zoom = 3.5;
  cam->focus = star;
  cam->follow = 1;
  cam->home();
  EXPECT_EQ(cam->pos->x, 0);
  EXPECT_EQ(cam->pos->y, 0);
  EXPECT_EQ(cam->zoom, 1);
  EXPECT_EQ(cam->follow, 0);
  EXPECT_EQ(cam->focus, star);
}

TEST_F(ViewKeysTest, FitAllCentresOnTheDiscsAndTakesTheLargestZoomThatShowsThem) {
  struct Case {
    const char* name;
    std::vector<std::tuple<double, double, double>> bodies;  // x, y, radius
    double x, y, zoom;
  };
  const double room_w = CW - 32, room_h = CH - 32;
  const std::vector<Case> cases = {
      {"wide: the width decides", {{-100, 0, 10}, {100, 20, 5}}, -2.5, 7.5, room_w / 215},
      {"tall: the height decides", {{0, -300, 10}, {50, 300, 10}}, 25, 0, room_h / 620},
      {"discs count, not centres", {{0, 0, 50}}, 0, 0, room_h / 100},
      {"too far apart: the lower limit", {{-1e5, 0, 1}, {1e5, 0, 1}}, 0, 0, camera::MIN_ZOOM},
      {"a dot: the upper limit", {{7, 8, 0}}, 7, 8, camera::MAX_ZOOM},
      {"tiny: the upper limit", {{0, 0, 1}, {2, 0, 1}}, 1, 0, camera::MAX_ZOOM},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<bodyRef> tops;
    for (const auto& [x, y, r] : c.bodies) tops.push_back(MakeBody(u"b", r, x, y));
    cam->view = MakeSpace(tops);
    cam->home();
    cam->follow = 1;
    cam->focus = tops.front();
    cam->fitall();
    EXPECT_NEAR(cam->pos->x, c.x, 1e-9);
    EXPECT_NEAR(cam->pos->y, c.y, 1e-9);
    EXPECT_NEAR(cam->zoom, c.zoom, 1e-12);
    EXPECT_EQ(cam->follow, 0);
    EXPECT_EQ(cam->focus, tops.front());
  }
}

TEST_F(ViewKeysTest, FitAllKeepsEveryDiscInsideTheMargin) {
  bodyRef sun = MakeBody(u"Sun", 20, 40, 30);
  MakeChild(sun, u"Far", 4, 250, 200);
  MakeChild(sun, u"Near", 2, 60, 10);
  cam->view = MakeSpace({sun});
  cam->fitall();
  for (const bodyRef& b : cam->view->allbodies) {
    const double sx = (b->pos->x - cam->pos->x) * cam->zoom + CW / 2;
    const double sy = (b->pos->y - cam->pos->y) * cam->zoom + CH / 2;
    const double r = b->radius * cam->zoom;
    EXPECT_GE(sx - r, camera::FIT_MARGIN - 1e-9);
    EXPECT_LE(sx + r, CW - camera::FIT_MARGIN + 1e-9);
    EXPECT_GE(sy - r, camera::FIT_MARGIN - 1e-9);
    EXPECT_LE(sy + r, CH - camera::FIT_MARGIN + 1e-9);
  }
}

TEST_F(ViewKeysTest, FitAllWithoutPlacedBodiesGoesHome) {
  bodyRef nowhere = body::Create();
  nowhere->setradius(5);
  for (const spaceRef& system : {space::Create(), MakeSpace({nowhere}), spaceRef()}) {
    cam->view = system;
    cam->pos = vect2d::Create(5, 5);
    cam->zoom = 2;
    cam->fitall();
    EXPECT_EQ(cam->pos->x, 0);
    EXPECT_EQ(cam->pos->y, 0);
    EXPECT_EQ(cam->zoom, 1);
  }
}

TEST_F(ViewKeysTest, OrbitLinesAndLabelsOffRemoveExactlyTheirPrimitives) {
  bodyRef sun = MakeBody(u"Sun", 20, 0, 0);
  MakeChild(sun, u"Planet", 6, 100, 30);
  MakeChild(sun, u"Comet", 2, 60, 200);
  cam->view = MakeSpace({sun});
  cam->focus = sun;
  const std::vector<TRecordedPrimitive> all = Render();
  const auto is_orbit = [](const TRecordedPrimitive& p) {
    return p.kind == TRecordedPrimitive::LINE && SameColour(p.style, 128, 128, 128);
  };
  const auto is_label = [](const TRecordedPrimitive& p) {
    return p.kind == TRecordedPrimitive::IMAGE &&
           (p.image == labelfont()->image.get() || p.image == gradientimage().get());
  };
  ASSERT_FALSE(Without(all, [&](auto& p) { return !is_orbit(p); }).empty());
  ASSERT_EQ(TextOf(all), u"Sun");

  cam->showorbits = 0;
  ExpectSame(Render(), Without(all, is_orbit));
  cam->showlabels = 0;
  ExpectSame(Render(), Without(Without(all, is_orbit), is_label));
  cam->showorbits = 1;
  ExpectSame(Render(), Without(all, is_label));
  cam->showlabels = 1;
  ExpectSame(Render(), all);
}

TEST_F(ViewKeysTest, ASplitCopiesTheViewSettings) {
  spaceboxRef pane = spacebox::Create(8, 8, 1008, 752, 128, 128);
  pane->cam->view = MakeSpace({MakeBody(u"Sun", 20, 0, 0)});
  pane->cam->showorbits = 0;
  pane->cam->showlabels = 0;
  viewboxList panes{pane};
  ClickButton(panes, *pane, pane->split_h, MOUSE_LEFT);
  ASSERT_EQ(panes.size(), 2u);
  auto made = std::dynamic_pointer_cast<spacebox>(panes.front());
  ASSERT_TRUE(made);
  EXPECT_EQ(made->cam->showorbits, 0);
  EXPECT_EQ(made->cam->showlabels, 0);
}

TEST_F(ViewKeysTest, TheTimeStatusStandsRightAlignedInTheTopRightCorner) {
  struct Case {
    int faster, slower;
    bool reverse, paused;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {0, 0, false, true, u"paused"},      {2, 0, false, false, u"4x"},
      {0, 1, false, false, u"1/2x"},       {1, 0, true, false, u"-2x"},
      {0, 2, true, true, u"paused -1/4x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    cam->view = MakeSpace({});
    for (int i = 0; i < c.faster; ++i) cam->view->faster();
    for (int i = 0; i < c.slower; ++i) cam->view->slower();
    if (c.reverse) cam->view->reverse();
    if (c.paused) cam->view->togglepause();
    const std::vector<TRecordedPrimitive> drawn = Render();
    EXPECT_EQ(TextOf(drawn), c.text);
    std::vector<TRecordedPrimitive> glyphs;
    for (const TRecordedPrimitive& p : drawn) {
      if (p.kind == TRecordedPrimitive::IMAGE) glyphs.push_back(p);
    }
    ASSERT_FALSE(glyphs.empty());
    EXPECT_TRUE(SameColour(glyphs.front().style, 255, 255, 255));
    EXPECT_EQ(BoxOf(glyphs.front()).t, CY + TIME_STATUS_INSET);
    // The last glyph's advance ends at the inset from the right edge.
    const Box last = BoxOf(glyphs.back());
    const int last_w = labelfont()->charw[glyphs.back().frame];
    EXPECT_EQ(last.l + last_w, CX + CW - TIME_STATUS_INSET);
  }
}

TEST_F(ViewKeysTest, NoTimeStatusAtRateOneWhileRunning) {
  cam->view = MakeSpace({MakeBody(u"Sun", 20, 0, 0)});
  Render();
  EXPECT_TRUE(OfKind(*recorder, TRecordedPrimitive::IMAGE).empty());
}

}  // namespace
}  // namespace skyloom::testing_panes
