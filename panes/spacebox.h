// spacebox: the pane that shows the orbital system through its own camera,
// with a follow button at the left end of its top row that switches following
// of the selected body on and off. Splitting it makes space panes that start
// with a copy of its camera.
#pragma once

#include "panes/camera.h"
#include "panes/viewbox.h"

namespace skyloom {

class spacebox;
using spaceboxRef = std::shared_ptr<spacebox>;

constexpr const char16_t* FOLLOW_ICON_URL = u"incbin::skyloom/follow.png";
constexpr const char16_t* FOLLOW_ON_ICON_URL = u"incbin::skyloom/followon.png";

// The follow button's icons: four corner marks while not following, a small
// cross while following. Null until loadfollowimages.
ImageRef& followimage();
ImageRef& followonimage();
// Loads both icons (may run before the display opens); 1 when both loaded.
int loadfollowimages();

class spacebox : public viewbox {
 public:
  cameraRef cam = camera::Create();
  vbbuttonRef follow;

  // A space pane: the standard buttons, the follow button, and a new camera
  // (no system, zoom 1, centred on the world origin).
  spacebox();

  static spaceboxRef Create(int x, int y, int w, int h, int minw, int minh);
  viewboxRef CreateSameKind(int x, int y, int w, int h, int minw, int minh) const override;

  // The camera's rectangle: two pixels of frame inside the button rows.
  int contentx() const { return x + margins + 2; }
  int contenty() const { return y + buttonsize + margins + 2; }
  int contentw() const { return w - 2 * margins - 4; }
  int contenth() const { return h - 2 * buttonsize - 2 * margins - 4; }

  bool contentarea(int& cx, int& cy, int& cw, int& ch) const override {
    cx = contentx();
    cy = contenty();
    cw = contentw();
    ch = contenth();
    return true;
  }

  // Renders the camera into the content area, then gives the next pane the
  // whole screen again (viewport and origin).
  int drawcontent() override;
  // The camera's input; a left click on the follow button toggles following
  // while a body is selected; the icon shows the camera's follow flag.
  int handle() override;
  // The new pane of a split gets a copy of this pane's camera.
  int copycontentto(viewbox& other) override;
};

}  // namespace skyloom
