// The workspace's frame: drawing and updating the panes, the drag rectangle
// and screenshots of the back buffer.
#include "app/workspace.h"

#include <algorithm>

#include "app/command_line.h"
#include "app/screenshot.h"
#include "input/mouse.h"

namespace skyloom {

KeyRef& screenshotkey() {
  static KeyRef key;
  return key;
}

workspaceRef workspace::Create(const spaceRef& system) {
  auto ws = std::make_shared<workspace>();
  ws->view = system;
  spaceboxRef first =
      spacebox::Create(WORKSPACE_BORDER, WORKSPACE_BORDER, DisplayWidth() - 2 * WORKSPACE_BORDER,
                       DisplayHeight() - 2 * WORKSPACE_BORDER, PANE_MIN_SIZE, PANE_MIN_SIZE);
  first->cam->view = system;
  ws->boxes.push_back(first);
  ws->placed = area();
  ws->recordlayout();
  return ws;
}

TPaneArea workspace::area() {
  return {WORKSPACE_BORDER, WORKSPACE_BORDER, DisplayWidth() - 2 * WORKSPACE_BORDER,
          DisplayHeight() - 2 * WORKSPACE_BORDER};
}

void workspace::recordlayout() {
  layout.Record(boxes, placed);
  int w = 0, h = 0;
  layout.SmallestArea(w, h);
  SetDisplayMinimumSize(std::max(w + 2 * WORKSPACE_BORDER, MIN_WINDOW_WIDTH),
                        std::max(h + 2 * WORKSPACE_BORDER, MIN_WINDOW_HEIGHT));
}

int workspace::fitlayout() {
  if (!layout.Unchanged(boxes)) recordlayout();
  const TPaneArea now = area();
  if (now == placed) return 0;
  placed = now;
  layout.Place(now);
  return 1;
}

int workspace::draw() {
  fitlayout();
  for (const viewboxRef& pane : boxes) pane->draw();
  if (mousedown[MOUSE_LEFT]) drawdragrectangle();
  return 0;
}

void workspace::drawdragrectangle() const {
  const float x0 = static_cast<float>(selx), y0 = static_cast<float>(sely);
  const float x1 = static_cast<float>(mousex), y1 = static_cast<float>(mousey);
  SetColor(255, 255, 255);
  DrawLine(x0, y0, x0, y1);
  DrawLine(x0, y1, x1, y1);
  DrawLine(x1, y1, x1, y0);
  DrawLine(x1, y0, x0, y0);
}

int workspace::update() {
  const viewboxList pass = boxes;
  for (const viewboxRef& pane : pass) {
    if (auto space_pane = std::dynamic_pointer_cast<spacebox>(pane)) {
      space_pane->cam->takekeys = keyboard;
    }
  }
  for (const viewboxRef& pane : pass) {
    if (std::find(boxes.begin(), boxes.end(), pane) != boxes.end()) pane->update(boxes);
  }
  fitlayout();
  if (!mousedown[MOUSE_LEFT]) {
    selx = mousex;
    sely = mousey;
  }
  if (keyboard && screenshotkey() && screenshotkey()->get()) takescreenshot();
  return 0;
}

void workspace::takescreenshot() const {
  // The back buffer still holds the frame drawn this frame: what the coming
  // flip shows.
  SaveScreenshot(GrabPixmap(0, 0, DisplayWidth(), DisplayHeight()),
                 ScreenshotPath(LocalTimeText()));
}

}  // namespace skyloom
