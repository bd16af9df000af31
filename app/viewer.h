// The viewer assembled: the start-up steps around the opening of the display
// (embedded files, module initialisation, the screenshot hotkey, the follow
// icons; then the label font, the system and the workspace) and the frame's
// work, in the order the frame loop runs them.
#pragma once

#include <memory>

#include "app/frame_loop.h"
#include "app/viewer_controls.h"
#include "app/workspace.h"
#include "defs/dictnode.h"

namespace skyloom {

class TViewer {
 public:
  // definition: the tree to show, parsed before the display opened (a file
  // named on the command line); null shows the embedded definition, parsed
  // once the display is open.
  // paused: the system starts paused.
  explicit TViewer(dictnodeRef definition = nullptr, bool paused = false)
      : _definition(std::move(definition)), _paused(paused) {}

  // Registers the embedded files, initialises the panes (with the mouse
  // state and hotkeys) and the gradient bar, creates the screenshot hotkey
  // and loads the follow icons. Returns 0.
  int BeforeDisplay();
  // Loads the label font, parses the definition if need be, builds the
  // system and the workspace. Returns 0, or 1 after printing one line on
  // standard error when the font or the definition cannot be loaded.
  int AfterDisplay();
  // updatemouse, the workspace's draw and the keys' overlays, the keys, the
  // workspace's update, one step of the system.
  void FrameWork();

  // The loop's steps bound to this viewer.
  TViewerSteps Steps(int frame_limit = 0);

  const spaceRef& system() const { return _system; }
  const workspaceRef& desk() const { return _workspace; }
  TViewerControls* controls() const { return _controls.get(); }

 private:
  dictnodeRef _definition;
  spaceRef _system;
  workspaceRef _workspace;
  bool _paused = false;
  std::unique_ptr<TViewerControls> _controls;
};

}  // namespace skyloom
