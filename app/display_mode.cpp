// Display mode choice.
#include "app/display_mode.h"

namespace skyloom {

std::optional<TGraphicsMode> ChooseDisplayMode(const std::vector<TGraphicsMode>& modes) {
  if (modes.empty()) return std::nullopt;
  TGraphicsMode chosen = modes.front();
  for (const TGraphicsMode& mode : modes) {
    if (mode.depth == PREFERRED_DEPTH && mode.width > chosen.width) chosen = mode;
  }
  return chosen;
}

}  // namespace skyloom
