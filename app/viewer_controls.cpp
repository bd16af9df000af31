// The viewer's key actions, the go-to prompt's share of the keyboard and
// the help panel.
#include "app/viewer_controls.h"

#include <algorithm>

#include "app/frame_loop.h"
#include "input/mouse.h"

namespace skyloom {

TViewerControls::TViewerControls(workspaceRef desk) : _desk(std::move(desk)) {
  bindkeys();
}

void TViewerControls::bindkeys() {
  const auto on = [this](int code, auto act) { _keys.bind({code, Key::none}, act); };
  const auto time = [this, &on](int code, int (space::*act)()) {
    on(code, [this, act] {
      if (_desk->view) ((*_desk->view).*act)();
    });
  };
  time(PAUSE_KEY, &space::togglepause);
  time(FASTER_KEY, &space::faster);
  time(SLOWER_KEY, &space::slower);
  time(REVERSE_KEY, &space::reverse);
  time(STEP_KEY, &space::stepframe);
  bindpanekey(HOME_KEY, [](camera& cam) { cam.home(); });
  bindpanekey(FIT_ALL_KEY, [](camera& cam) { cam.fitall(); });
  bindpanekey(ORBITS_KEY, [](camera& cam) { cam.showorbits = !cam.showorbits; });
  bindpanekey(LABELS_KEY, [](camera& cam) { cam.showlabels = !cam.showlabels; });
  on(GO_TO_KEY, [this] {
    if (const spaceboxRef pane = paneunderpointer()) _prompt.openon(pane);
  });
  on(HELP_KEY, [this] { _help.toggle(); });
}

void TViewerControls::bindpanekey(int code, void (*act)(camera&)) {
  _keys.bind({code, Key::none}, [this, act] {
    if (const spaceboxRef pane = paneunderpointer()) act(*pane->cam);
  });
}

spaceboxRef TViewerControls::paneunderpointer() const {
  for (const viewboxRef& box : _desk->boxes) {
    auto pane = std::dynamic_pointer_cast<spacebox>(box);
    if (!pane) continue;
    const camera& cam = *pane->cam;
    if (mouseinrect(cam.x, cam.y, cam.w, cam.h)) return pane;
  }
  return nullptr;
}

bool TViewerControls::holdsprompt() const {
  const spaceboxRef pane = _prompt.pane.lock();
  return pane && std::find(_desk->boxes.begin(), _desk->boxes.end(), pane) != _desk->boxes.end();
}

int TViewerControls::draw() const {
  _prompt.draw();
  _help.draw(0, 0, DisplayWidth(), DisplayHeight());
  return 0;
}

int TViewerControls::update() {
  if (_escape_latched && !IsKeyDown(ESCAPE_KEY)) _escape_latched = false;
  // A pane merged away takes its prompt with it.
  if (_prompt.open && !holdsprompt()) _prompt.close();
  if (_prompt.open) {
    if (_prompt.takekeys()) _escape_latched = true;
  } else {
    _keys.poll();
  }
  _desk->keyboard = !_prompt.open;
  return 0;
}

bool TViewerControls::escapetaken() const {
  return _prompt.open || _escape_latched;
}

}  // namespace skyloom
