// The in-place swap of the system: time carried over, cameras moved to the
// new bodies by their paths.
#include "app/system_swap.h"

#include <algorithm>

namespace skyloom {

namespace {

const bodyList& Siblings(const space& system, const body& b) {
  if (const bodyRef parent = b.parent.lock()) return parent->kids;
  return system.bodies;
}

// Which of the bodies named like b in list b is; -1 when b is not there.
int IndexAmongNamesakes(const bodyList& list, const body& b) {
  int index = 0;
  for (const bodyRef& other : list) {
    if (other.get() == &b) return index;
    if (other->name == b.name) ++index;
  }
  return -1;
}

bodyRef FindNamesake(const bodyList& list, const std::u16string& name, int index) {
  for (const bodyRef& candidate : list) {
    if (candidate->name == name && index-- == 0) return candidate;
  }
  return nullptr;
}

void MoveCamera(camera& cam, const space& old, const spaceRef& system) {
  cam.view = system;
  cam.focus = SameBody(old, cam.focus, *system);
  cam.over = SameBody(old, cam.over, *system);
  // The view stays where it is when the followed body is gone; the next
  // update centres it on the body again while it is there.
  if (!cam.focus) cam.follow = 0;
}

}  // namespace

TBodyPath BodyPath(const space& system, const body& b) {
  TBodyPath path;
  for (const body* step = &b; step;) {
    const bodyRef parent = step->parent.lock();
    path.emplace_back(step->name, IndexAmongNamesakes(Siblings(system, *step), *step));
    step = parent.get();
  }
  std::reverse(path.begin(), path.end());
  return path;
}

bodyRef FindBody(const space& system, const TBodyPath& path) {
  bodyRef found;
  const bodyList* list = &system.bodies;
  for (const auto& [name, index] : path) {
    found = index < 0 ? nullptr : FindNamesake(*list, name, index);
    if (!found) return nullptr;
    list = &found->kids;
  }
  return found;
}

bodyRef SameBody(const space& from, const bodyRef& b, const space& to) {
  if (!b) return nullptr;
  return FindBody(to, BodyPath(from, *b));
}

spaceRef SwapSystem(workspace& desk, const space& old, dictnode& root) {
  spaceRef system = space::read(root);
  system->carrytime(old.elapsed);
  system->rate = old.rate;
  system->paused = old.paused;
  for (const viewboxRef& pane : desk.boxes) {
    if (auto* shown = dynamic_cast<spacebox*>(pane.get())) MoveCamera(*shown->cam, old, system);
  }
  desk.view = system;
  return system;
}

}  // namespace skyloom
