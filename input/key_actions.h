// Key actions: the viewer's one-press keys and what each does. A key bound
// here acts once per press (holding it does not repeat), and only while the
// modifier keys held match the kind it was bound with, so one key can carry
// different actions with different modifiers. Binding is the only way a key
// is dispatched, so the table of controls can be checked against it.
#pragma once

#include <functional>
#include <vector>

#include "input/controls.h"

namespace skyloom {

// The modifiers held now, in the hotkeys' encoding: Control 4, Shift 2,
// Alt 1 (0: none).
int heldmodifiers();

class TKeyActions {
 public:
  using Action = std::function<void()>;

  // Binds action to key.code pressed with exactly the modifiers key.modkind
  // (Key::any: whatever is held). A later binding of the same key and kind
  // replaces the earlier one.
  void bind(TControlKey key, Action action);
  // Whether key (code and kind) has an action.
  bool handles(TControlKey key) const;

  // Takes the presses of every bound key since the last poll and
  // runs, once per press, the action bound for the modifiers held now.
  // Presses with other modifiers are dropped.
  int poll();

 private:
  struct TBinding {
    TControlKey key;
    Action action;
  };
  std::vector<TBinding> _bindings;
};

}  // namespace skyloom
