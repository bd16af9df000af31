// workspace: the panes that tile the screen and the system they show. Every
// frame it lets each pane draw and then update itself, draws the rectangle a
// held left button sweeps, and saves a screenshot while the screenshot
// hotkey fires.
#pragma once

#include <memory>

#include "input/hotkey.h"
#include "model/space.h"
#include "panes/pane_layout.h"
#include "panes/spacebox.h"

namespace skyloom {

class workspace;
using workspaceRef = std::shared_ptr<workspace>;

// The border left free around the first pane, and its smallest content size
// (inherited by every pane split from it).
constexpr int WORKSPACE_BORDER = 8;
constexpr int PANE_MIN_SIZE = 128;
// F11, with no modifier.
constexpr int SCREENSHOT_KEY = 122;

// The screenshot hotkey (repeat delay 0: it fires every frame while held);
// null until start-up creates it.
KeyRef& screenshotkey();

class workspace {
 public:
  viewboxList boxes;  // in drawing and update order
  spaceRef view;      // the system every pane shows
  // Anchor of the drag rectangle: the pointer in the last frame in which the
  // left button was not held.
  int32_t selx = 0, sely = 0;
  // Whether the panes' keys (zoom) and the screenshot key are read: 0 while
  // a prompt has the keyboard.
  int keyboard = 1;

  // One space pane covering the display inside the border, showing system.
  static workspaceRef Create(const spaceRef& system);

  // The area inside the border of the display as it is now.
  static TPaneArea area();
  // Keeps the layout fitting the display: after a split or merge the panes
  // as they are become the layout to keep (and the window's smallest size
  // follows it); when the display has changed size the panes are placed in
  // proportion in the new area. Draw and update call it; 1 when it moved
  // the panes.
  int fitlayout();

  // Every pane in list order, then the drag rectangle while the left button
  // is held.
  int draw();
  // Every pane that was in the list when the pass began and still is at its
  // turn (panes split off wait for the next frame, merged ones are skipped);
  // then the drag anchor; then a screenshot while screenshotkey fires. The
  // keys are left alone while keyboard is 0.
  int update();

 private:
  TPaneLayout layout;
  TPaneArea placed;  // the area the panes are laid out in

  void recordlayout();
  void drawdragrectangle() const;
  void takescreenshot() const;
};

}  // namespace skyloom
