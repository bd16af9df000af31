// The help panel: over the whole screen, a dark panel listing every control
// of the viewer with its effect, one line each, grouped by section, made from
// the table of controls. F1 shows and hides it.
#pragma once

#include <string>
#include <vector>

namespace skyloom {

constexpr int HELP_KEY = 112;  // F1

// One line of the panel: a section heading (effect empty) or a control.
struct THelpLine {
  std::u16string input;
  std::u16string effect;
  bool heading = false;
};

// The panel's lines, from Controls(): each section's name, then its controls.
std::vector<THelpLine> HelpLines();

class helppanel {
 public:
  bool shown = false;

  int toggle();
  // The panel over the rectangle (x, y, w, h) while shown: the lines flow
  // down in columns of input and effect, and into a further column when the
  // rectangle is too short. Nothing while hidden or without the label font.
  int draw(int x, int y, int w, int h) const;
};

}  // namespace skyloom
