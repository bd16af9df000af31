// Keeping the panes' layout when the area they tile changes size: every pane
// edge moves in proportion, always worked out from the layout as it was
// last split or merged, so sizing back restores it exactly.
#pragma once

#include <vector>

#include "panes/viewbox.h"

namespace skyloom {

// The rectangle the panes tile.
struct TPaneArea {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const TPaneArea&) const = default;
};

class TPaneLayout {
 public:
  // Takes the panes' rectangles as they are now, tiling area, as the layout
  // to keep.
  void Record(const viewboxList& panes, const TPaneArea& area);
  // Whether the panes are still those last recorded or placed, in the same
  // order and at the same rectangles: no split or merge since.
  bool Unchanged(const viewboxList& panes) const;
  // Places every recorded pane in area: an edge at offset e of the recorded
  // area's width W lands at offset e * W' / W of the new width W', rounded
  // to the nearest pixel (and likewise down the height). Edges that were
  // shared stay shared, the area's own edges stay its edges, and placing at
  // the recorded area gives the recorded rectangles back.
  void Place(const TPaneArea& area);
  // The smallest area width and height from which up to the recorded size
  // every placed pane keeps room for its frame, buttons and smallest
  // content (viewbox smallestw, smallesth); above the recorded size panes
  // only grow. The recorded size when its panes are smaller already.
  void SmallestArea(int& w, int& h) const;

  const TPaneArea& recorded() const { return _area; }

 private:
  struct TEdges {
    viewboxRef pane;
    int left, top, right, bottom;  // as recorded
  };
  struct TRect {
    const viewbox* pane;
    int x, y, w, h;
    bool operator==(const TRect&) const = default;
  };
  static int Scale(int edge, int from_origin, int from_size, int to_origin, int to_size);
  bool FitsWidth(int w) const;
  bool FitsHeight(int h) const;

  TPaneArea _area;
  std::vector<TEdges> _edges;
  std::vector<TRect> _placed;  // the rectangles the panes were last given
};

}  // namespace skyloom
