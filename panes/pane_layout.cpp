// Proportional placement of the panes in an area of a new size, and the
// smallest area the recorded layout fits in.
#include "panes/pane_layout.h"

#include <cstdint>

namespace skyloom {

void TPaneLayout::Record(const viewboxList& panes, const TPaneArea& area) {
  _area = area;
  _edges.clear();
  _placed.clear();
  for (const viewboxRef& p : panes) {
    _edges.push_back({p, p->x, p->y, p->x + p->w, p->y + p->h});
    _placed.push_back({p.get(), p->x, p->y, p->w, p->h});
  }
}

bool TPaneLayout::Unchanged(const viewboxList& panes) const {
  if (panes.size() != _placed.size()) return false;
  for (size_t i = 0; i < panes.size(); ++i) {
    const viewbox& p = *panes[i];
    if (!(_placed[i] == TRect{&p, p.x, p.y, p.w, p.h})) return false;
  }
  return true;
}

// Rounded to the nearest pixel, halves up; offsets outside the area keep
// their distance from it in proportion too.
int TPaneLayout::Scale(int edge, int from_origin, int from_size, int to_origin, int to_size) {
  if (from_size <= 0) return to_origin + (edge - from_origin);
  const int64_t offset = int64_t(edge) - from_origin;
  const int64_t scaled = offset * to_size * 2 + from_size;
  const int64_t twice = int64_t(from_size) * 2;
  // Floor division, also for offsets before the area's start.
  const int64_t q = scaled >= 0 ? scaled / twice : -((-scaled + twice - 1) / twice);
  return static_cast<int>(to_origin + q);
}

void TPaneLayout::Place(const TPaneArea& area) {
  _placed.clear();
  for (const TEdges& e : _edges) {
    const int left = Scale(e.left, _area.x, _area.w, area.x, area.w);
    const int right = Scale(e.right, _area.x, _area.w, area.x, area.w);
    const int top = Scale(e.top, _area.y, _area.h, area.y, area.h);
    const int bottom = Scale(e.bottom, _area.y, _area.h, area.y, area.h);
    viewbox& p = *e.pane;
    p.x = left;
    p.y = top;
    p.w = right - left;
    p.h = bottom - top;
    _placed.push_back({&p, p.x, p.y, p.w, p.h});
  }
}

bool TPaneLayout::FitsWidth(int w) const {
  for (const TEdges& e : _edges) {
    const int width =
        Scale(e.right, _area.x, _area.w, 0, w) - Scale(e.left, _area.x, _area.w, 0, w);
    if (width < e.pane->smallestw()) return false;
  }
  return true;
}

bool TPaneLayout::FitsHeight(int h) const {
  for (const TEdges& e : _edges) {
    const int height =
        Scale(e.bottom, _area.y, _area.h, 0, h) - Scale(e.top, _area.y, _area.h, 0, h);
    if (height < e.pane->smallesth()) return false;
  }
  return true;
}

void TPaneLayout::SmallestArea(int& w, int& h) const {
  w = _area.w;
  while (w > 1 && FitsWidth(w - 1)) --w;
  h = _area.h;
  while (h > 1 && FitsHeight(h - 1)) --h;
}

}  // namespace skyloom
