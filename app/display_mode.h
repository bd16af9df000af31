// Choosing the display mode the viewer opens: the widest 32-bit mode, else
// the first mode the platform lists.
#pragma once

#include <optional>
#include <vector>

#include "runtime/display.h"

namespace skyloom {

// The bits per pixel a mode must have to be preferred.
constexpr int PREFERRED_DEPTH = 32;

// Starts from the first mode, whatever its depth; a later mode replaces it when
// its depth is exactly 32 and it is strictly wider. Heights and refresh rates
// are never compared, so the first of equally wide modes wins. Empty for an
// empty list.
std::optional<TGraphicsMode> ChooseDisplayMode(const std::vector<TGraphicsMode>& modes);

}  // namespace skyloom
