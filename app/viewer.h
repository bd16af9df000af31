// The viewer assembled: the start-up steps around the opening of the display
// (embedded files, module initialisation, the screenshot hotkey, the follow
// icons; then the label font, the system and the workspace) and the frame's
// work, in the order the frame loop runs them.
#pragma once

#include "app/frame_loop.h"
#include "app/window_mode.h"
#include "app/workspace.h"
#include "defs/dictnode.h"

namespace skyloom {

class TViewer {
 public:
  // definition: the tree to show, parsed before the display opened (a file
  // named on the command line); null shows the embedded definition, parsed
  // once the display is open.
  // window: full screen (the default) or a window, as the display opens.
  explicit TViewer(dictnodeRef definition = nullptr, const TWindowRequest& window = {})
      : _definition(std::move(definition)), _window(window), _display_switch(window) {}

  // Registers the embedded files, initialises the panes (with the mouse
  // state and hotkeys) and the gradient bar, creates the screenshot hotkey
  // and loads the follow icons. Returns 0.
  int BeforeDisplay();
  // Loads the label font, parses the definition if need be, builds the
  // system and the workspace. Returns 0, or 1 after printing one line on
  // standard error when the font or the definition cannot be loaded.
  int AfterDisplay();
  // updatemouse, the workspace's draw and update, one step of the system;
  // then Alt+Enter's switch between full screen and a window.
  void FrameWork();

  // The loop's steps bound to this viewer.
  TViewerSteps Steps(int frame_limit = 0);

  const spaceRef& system() const { return _system; }
  const workspaceRef& desk() const { return _workspace; }

 private:
  dictnodeRef _definition;
  TWindowRequest _window;
  TDisplaySwitch _display_switch;
  spaceRef _system;
  workspaceRef _workspace;
};

}  // namespace skyloom
