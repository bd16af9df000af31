// The viewer assembled: the start-up steps around the opening of the display
// (embedded files, module initialisation, the screenshot hotkey, the follow
// icons; then the label font, the system and the workspace) and the frame's
// work, in the order the frame loop runs them.
#pragma once

#include <memory>

#include "app/definition_reload.h"
#include "app/frame_loop.h"
#include "app/viewer_controls.h"
#include "app/window_mode.h"
#include "app/workspace.h"
#include "defs/dictnode.h"

namespace skyloom {

class TViewer {
 public:
  // definition: the tree to show, parsed before the display opened (a file
  // named on the command line); null shows the embedded definition, parsed
  // once the display is open.
  explicit TViewer(dictnodeRef definition = nullptr) : _display_switch(TWindowRequest{}) {
    _shown.root = std::move(definition);
  }
  // shown: the definition with where it came from, what it read and whether
  // edits of its files are followed; paused: the system starts paused;
  // window: full screen (the default) or a window, as the display opens.
  explicit TViewer(TShownDefinition shown, bool paused = false, const TWindowRequest& window = {})
      : _shown(std::move(shown)), _paused(paused), _window(window), _display_switch(window) {}

  // Registers the embedded files, initialises the panes (with the mouse
  // state and hotkeys) and the gradient bar, creates the screenshot hotkey
  // and loads the follow icons. Returns 0.
  int BeforeDisplay();
  // Loads the label font, parses the definition if need be, builds the
  // system and the workspace and starts following the definition. Returns
  // 0, or 1 after printing one line on standard error when the font or the
  // definition cannot be loaded.
  int AfterDisplay();
  // updatemouse, a reload of the definition if one is due (swapped in before
  // anything is drawn), the workspace's draw, the message band, the keys'
  // overlays, the keys, the workspace's update, one step of the system; then
  // Alt+Enter's switch between full screen and a window.
  void FrameWork();

  // The loop's steps bound to this viewer.
  TViewerSteps Steps(int frame_limit = 0);

  const spaceRef& system() const { return _system; }
  const workspaceRef& desk() const { return _workspace; }
  TDefinitionReload& reload() { return *_reload; }
  TViewerControls* controls() const { return _controls.get(); }

 private:
  TShownDefinition _shown;
  bool _paused = false;
  TWindowRequest _window;
  TDisplaySwitch _display_switch;
  spaceRef _system;
  workspaceRef _workspace;
  std::unique_ptr<TDefinitionReload> _reload;
  std::unique_ptr<TViewerControls> _controls;
};

}  // namespace skyloom
