// The viewer's controls in one table: every key, mouse action and pane button
// with its effect. The README's controls table, the help panel, --help and
// the man page are made from this table or tested against it.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace skyloom {

// A key that a control binds: a virtual-key code with the modifier kind it
// requires (Key::none, Key::ctrl, Key::alt, ...). Code -1 marks an unused slot.
struct TControlKey {
  int code = -1;
  int modkind = 0;
};

// One row of the table. Texts are plain (no markup), one line each.
struct TControl {
  std::string_view section;  // the group it is listed under: "View", "Pane buttons", ...
  std::string_view input;    // what the user does: "F11 (held)", "left click on a body"
  std::string_view effect;   // what happens, as one sentence without the final full stop
  // The keys it binds; empty for mouse actions and pane buttons.
  std::array<TControlKey, 2> keys{};
};

// Every control, grouped by section, in the order they are listed.
std::span<const TControl> Controls();

}  // namespace skyloom
