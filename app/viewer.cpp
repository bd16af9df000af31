// The start-up sequence and the frame's work of the viewer.
#include "app/viewer.h"

#include <cstdio>
#include <string>

#include "app/definition.h"
#include "assets/embedded.h"
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
  if (!_definition) {
    _definition = LoadDefinition(EMBEDDED_DEFINITION, error);
    if (!_definition) return Fail("cannot read the system definition: " + error);
  }
  _system = space::read(*_definition);
  _workspace = workspace::Create(_system);
  return 0;
}

void TViewer::FrameWork() {
  updatemouse();
  _workspace->draw();
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
  steps.window = _window;
  return steps;
}

}  // namespace skyloom
