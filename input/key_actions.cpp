// Dispatching the presses of bound keys to their actions.
#include "input/key_actions.h"

#include <algorithm>
#include <set>

#include "input/hotkey.h"
#include "runtime/display.h"

namespace skyloom {

int heldmodifiers() {
  return ctrldown() * Key::ctrl + shiftdown() * Key::shift + altdown() * Key::alt;
}

void TKeyActions::bind(TControlKey key, Action action) {
  for (TBinding& binding : _bindings) {
    if (binding.key.code == key.code && binding.key.modkind == key.modkind) {
      binding.action = std::move(action);
      return;
    }
  }
  _bindings.push_back({key, std::move(action)});
}

bool TKeyActions::handles(TControlKey key) const {
  return std::any_of(_bindings.begin(), _bindings.end(), [&](const TBinding& binding) {
    return binding.key.code == key.code && binding.key.modkind == key.modkind;
  });
}

int TKeyActions::poll() {
  // Presses are counted per key code, so a code bound with several kinds is
  // taken once and handed to the binding the modifiers pick.
  std::set<int> codes;
  for (const TBinding& binding : _bindings) codes.insert(binding.key.code);
  const int modifiers = heldmodifiers();
  for (const int code : codes) {
    const int presses = TakeKeyHits(code);
    if (presses == 0) continue;
    const TBinding* chosen = nullptr;
    for (const TBinding& binding : _bindings) {
      if (binding.key.code != code) continue;
      if (binding.key.modkind == modifiers) {
        chosen = &binding;
        break;
      }
      if (binding.key.modkind == Key::any && !chosen) chosen = &binding;
    }
    if (!chosen) continue;
    // Copied: an action may bind keys anew.
    const Action action = chosen->action;
    for (int i = 0; i < presses; ++i) action();
  }
  return 0;
}

}  // namespace skyloom
