// The start-up sequence and the frame's work of the viewer.
#include "app/viewer.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/definition.h"
#include "assets/embedded.h"
#include "input/hotkey.h"
#include "input/mouse.h"
#include "panes/label.h"
#include "text/gradient.h"

namespace skyloom {

namespace {

int Fail(const std::string& what) {
  std::fprintf(stderr, "skyloom: %s\n", what.c_str());
  return 1;
}

}  // namespace

int TViewer::BeforeDisplay() {
  RegisterEmbeddedResources();
  // The definition parser and the geometry types need no initialisation.
  InitPanes();
  InitGradient();
  screenshotkey() = singlekey(SCREENSHOT_KEY, Key::none);
  loadfollowimages();
  return 0;
}

int TViewer::AfterDisplay() {
  std::string error;
  if (!loadlabelfont(error)) return Fail("cannot load the label font: " + error);
  if (!_shown.root) {
    _shown.root = LoadDefinition(EMBEDDED_DEFINITION, error, &_shown.warnings);
    PrintDefinitionWarnings(_shown.warnings);
    if (!_shown.root) return Fail("cannot read the system definition: " + error);
  }
  _system = space::read(*_shown.root);
  _system->paused = _paused;
  _workspace = workspace::Create(_system);
  _reload = std::make_unique<TDefinitionReload>(_shown, MillisecondClock());
  _shown.root.reset();  // the running system holds what it needs
  _controls = std::make_unique<TViewerControls>(_workspace);
  _controls->bind({RELOAD_KEY, Key::ctrl}, [this] { _reload->Request(); });
  _controls->bind({ENTER_KEY, Key::alt}, [this] { _display_switch.Request(); });
  return 0;
}

void TViewer::FrameWork() {
  updatemouse();
  _system = _reload->Frame(*_workspace, _system);
  _workspace->draw();
  _reload->drawbands();
  _controls->draw();
  _controls->update();
  _workspace->update();
  _system->update();
  _display_switch.Poll();
}

TViewerSteps TViewer::Steps(int frame_limit) {
  TViewerSteps steps;
  steps.before_display = [this] { return BeforeDisplay(); };
  steps.after_display = [this] { return AfterDisplay(); };
  steps.frame_work = [this] { FrameWork(); };
  steps.frame_limit = frame_limit;
  steps.escape_taken = [this] { return _controls && _controls->escapetaken(); };
  steps.window = _window;
  return steps;
}

}  // namespace skyloom
