// Putting a system read from an edited definition in place of the running
// one between two frames: the time carries over, and every pane keeps its
// camera and finds its selected, hovered and followed bodies again by path.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/workspace.h"
#include "defs/dictnode.h"
#include "model/space.h"

namespace skyloom {

// Where a body stands in the tree: one step per level from the top, each the
// body's name and which of its siblings of that name it is (0 for the first
// in the parent's kids order, or among the top-level bodies).
using TBodyPath = std::vector<std::pair<std::u16string, int>>;

// The path of b, which belongs to system.
TBodyPath BodyPath(const space& system, const body& b);
// The body at that path in system; null when there is none.
bodyRef FindBody(const space& system, const TBodyPath& path);
// The body of to at the path that b has in from; null for a null b or when
// to has no body there.
bodyRef SameBody(const space& from, const bodyRef& b, const space& to);

// Builds the system from root with the time of old carried over (every body
// where it would stand had root been shown from the start) and makes it the
// one every pane of desk shows. Each camera keeps its centre and zoom; its
// selection, hover and following move to the bodies of the same paths. A
// followed body that is gone is no longer followed, and the view stays.
// Returns the new system.
spaceRef SwapSystem(workspace& desk, const space& old, dictnode& root);

}  // namespace skyloom
