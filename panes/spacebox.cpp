// The space pane: its camera in the content area and the follow button.
#include "panes/spacebox.h"

#include "input/mouse.h"

namespace skyloom {

ImageRef& followimage() {
  static ImageRef image;
  return image;
}

ImageRef& followonimage() {
  static ImageRef image;
  return image;
}

int loadfollowimages() {
  followimage() = LoadImageFrom(FOLLOW_ICON_URL);
  followonimage() = LoadImageFrom(FOLLOW_ON_ICON_URL);
  return followimage() && followonimage() ? 1 : 0;
}

spacebox::spacebox() {
  follow = addbutton(top, 0, align_left, followimage());
}

spaceboxRef spacebox::Create(int nx, int ny, int nw, int nh, int nminw, int nminh) {
  auto pane = std::make_shared<spacebox>();
  pane->setrect(nx, ny, nw, nh, nminw, nminh);
  return pane;
}

viewboxRef spacebox::CreateSameKind(int nx, int ny, int nw, int nh, int nminw, int nminh) const {
  return Create(nx, ny, nw, nh, nminw, nminh);
}

int spacebox::drawcontent() {
  cam->x = contentx();
  cam->y = contenty();
  cam->w = contentw();
  cam->h = contenth();
  cam->render();
  SetViewport(0, 0, DisplayWidth(), DisplayHeight());
  SetDrawOrigin(0, 0);
  return 0;
}

int spacebox::handle() {
  cam->update();
  if (follow->state == MOUSE_LEFT && cam->focus) cam->follow = cam->follow ? 0 : 1;
  follow->image = cam->follow ? followonimage() : followimage();
  return 0;
}

int spacebox::copycontentto(viewbox& other) {
  if (auto* pane = dynamic_cast<spacebox*>(&other)) pane->cam = cam->copy();
  return 0;
}

}  // namespace skyloom
