// The viewer's keys beyond the panes' own: time (pause, faster, slower,
// reverse, step), the view of the pane under the pointer (home, fit all,
// orbit lines, labels), the go-to prompt and the help panel. While the prompt
// is open every key goes to it and no other control fires.
#pragma once

#include "app/workspace.h"
#include "input/key_actions.h"
#include "panes/goto_prompt.h"
#include "panes/help_panel.h"

namespace skyloom {

// Key codes (Windows virtual keys).
constexpr int PAUSE_KEY = 32;    // Space
constexpr int FASTER_KEY = 76;   // L
constexpr int SLOWER_KEY = 75;   // K
constexpr int REVERSE_KEY = 74;  // J
constexpr int STEP_KEY = 190;    // .
constexpr int HOME_KEY = 72;     // H
constexpr int FIT_ALL_KEY = 65;  // A
constexpr int ORBITS_KEY = 79;   // O
constexpr int LABELS_KEY = 78;   // N
constexpr int GO_TO_KEY = 13;    // Enter

class TViewerControls {
 public:
  // Binds every key to its action on the panes of desk and the system they
  // show (desk's view, read at each press, so a system put in its place
  // later is the one the time keys act on).
  explicit TViewerControls(workspaceRef desk);

  // The prompt's band, then the help panel over the whole display.
  int draw() const;
  // The presses since the last frame: to the prompt while it is open, else
  // to the key actions. Tells the workspace whether the panes may read keys.
  int update();

  // Whether Escape belongs to the prompt now, so that holding it does not
  // quit: while the prompt is open, and from the press that closed it until
  // Escape is let go.
  bool escapetaken() const;

  // Binds one more key (another part of the viewer's, such as Ctrl+R).
  void bind(TControlKey key, TKeyActions::Action action) { _keys.bind(key, std::move(action)); }

  const TKeyActions& keys() const { return _keys; }
  const gotoprompt& prompt() const { return _prompt; }
  const helppanel& help() const { return _help; }

 private:
  void bindkeys();
  // Binds a key that acts on the camera of the pane under the pointer.
  void bindpanekey(int code, void (*act)(camera&));
  // The space pane whose content holds the pointer, or null.
  spaceboxRef paneunderpointer() const;
  bool holdsprompt() const;

  workspaceRef _desk;
  TKeyActions _keys;
  gotoprompt _prompt;
  helppanel _help;
  bool _escape_latched = false;
};

}  // namespace skyloom
