// The frame as the viewer draws it (one clear of the whole screen, pane
// frames as strips round their content, camera clears skipped while their
// area is still clear) against the plain way of drawing it (a filled frame
// under every pane's content, and every camera clearing its rectangle): on
// the real display both give the same pixels, to the last one.
#include <cstring>

#include "app/viewer.h"
#include "tests/xdisplay/x_support.h"

namespace skyloom::xtest {
namespace {

using FrameIdentityTest = RealDisplayTest;

spaceboxRef Pane(const spaceRef& system, int x, int y, int w, int h, double zoom) {
  spaceboxRef pane = spacebox::Create(x, y, w, h, 128, 128);
  pane->cam->view = system;
  pane->cam->zoom = zoom;
  return pane;
}

// The plain frame: every pane's frame filled whole before the pane draws
// itself over it, and every clear done.
void DrawPlainly(const workspace& ws) {
  SetClearSkipping(false);
  Cls();
  for (const viewboxRef& pane : ws.boxes) {
    SetColor(128, 128, 128);
    DrawRect(float(pane->x + pane->margins), float(pane->y + pane->margins),
             float(pane->w - 2 * pane->margins), float(pane->h - 2 * pane->margins));
    pane->draw();
  }
  SetClearSkipping(true);
}

bool SamePixels(const PixmapRef& a, const PixmapRef& b, std::string& where) {
  for (int y = 0; y < a->height; ++y) {
    for (int x = 0; x < a->width; ++x) {
      if (a->ReadPixel(x, y) != b->ReadPixel(x, y)) {
        where = "first difference at " + std::to_string(x) + ", " + std::to_string(y);
        return false;
      }
    }
  }
  return true;
}

int CountColour(const PixmapRef& p, uint32_t rgb) {
  int count = 0;
  for (int y = 0; y < p->height; ++y) {
    for (int x = 0; x < p->width; ++x) count += Rgb(p, x, y) == rgb;
  }
  return count;
}

TEST_F(FrameIdentityTest, TheViewersFrameHasThePixelsOfThePlainlyDrawnOne) {
  TViewer viewer;
  ASSERT_EQ(viewer.BeforeDisplay(), 0);
  ASSERT_EQ(viewer.AfterDisplay(), 0);
  const spaceRef& system = viewer.system();
  workspace& ws = *viewer.desk();
  ASSERT_GE(system->allbodies.size(), 2u);
  const bodyRef sol = system->allbodies[0], planet = system->allbodies[1];
  for (int step = 0; step < 40; ++step) system->update();

  // Three panes: the left half, and the right half split one above the
  // other; different zooms, a selection, a hovered body with its label.
  const int w = DisplayWidth() - 16, h = DisplayHeight() - 16;
  spaceboxRef left = Pane(system, 8, 8, w / 2, h, 1.5);
  spaceboxRef upper = Pane(system, 8 + w / 2, 8, w - w / 2, h / 2, 0.6);
  spaceboxRef lower = Pane(system, 8 + w / 2, 8 + h / 2, w - w / 2, h - h / 2, 3);
  left->cam->focus = sol;
  left->cam->over = planet;
  upper->cam->focus = planet;
  upper->cam->follow = 1;
  upper->cam->pos->setto(*planet->pos);
  lower->cam->over = sol;
  ws.boxes = {lower, upper, left};

  Cls();
  ws.draw();
  const PixmapRef drawn = GrabPixmap(0, 0, DisplayWidth(), DisplayHeight());
  DrawPlainly(ws);
  const PixmapRef plain = GrabPixmap(0, 0, DisplayWidth(), DisplayHeight());
  ASSERT_TRUE(drawn && plain);

  // The scene is really there: frames, discs, halos and label text.
  EXPECT_GT(CountColour(plain, 0x808080), 5000);
  EXPECT_GT(CountColour(plain, 0x00FF00), 500);
  EXPECT_GT(CountColour(plain, 0x008080), 20) << "the selection's teal ring";
  EXPECT_GT(CountColour(plain, 0x006000), 20) << "the hovered body's ring";
  std::string where;
  EXPECT_TRUE(SamePixels(drawn, plain, where)) << where;
}

}  // namespace
}  // namespace skyloom::xtest
