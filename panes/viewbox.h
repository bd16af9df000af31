// Tiling panes: a rectangle with a grey frame, a row of 11 x 11 buttons along
// its top and bottom edges, and a content area that a subclass fills. The
// standard buttons split a pane in two or three (side by side or one above
// the other) or merge it with the panes bordering one of its sides.
#pragma once

#include <memory>
#include <vector>

#include "runtime/display.h"

namespace skyloom {

// Which end of its row a button's slot is counted from.
constexpr int align_left = 0;
constexpr int align_right = 1;

class vbbutton;
using vbbuttonRef = std::shared_ptr<vbbutton>;
using vbbuttonList = std::vector<vbbuttonRef>;

// One title-bar button.
class vbbutton {
 public:
  int loc = 0;  // slot in its row, 0 outermost, counted from the aligned end
  int align = align_left;
  int state = 0;   // mouse button pressed on it this frame: 0 none, 1 left, 2 right, 3 middle
  ImageRef image;  // null draws nothing

  // state = 0, or, when over, the first of buttons 1, 2, 3 pressed this frame.
  int update(int over);
  // The icon with its top-left corner at (x, y).
  int draw(int x, int y);
};

class viewbox;
using viewboxRef = std::shared_ptr<viewbox>;
// The workspace's panes in drawing and update order; splits insert at the
// front, merges remove. Panes are told apart by identity.
using viewboxList = std::vector<viewboxRef>;

// The result of a neighbour search: the panes found in list order and the
// bounding rectangle of their edges (all 0 when none).
class vbinfo {
 public:
  viewboxList list;
  int count = 0;
  int minx = 0, miny = 0, maxx = 0, maxy = 0;
};

class viewbox : public std::enable_shared_from_this<viewbox> {
 public:
  int x = 0, y = 0, w = 0, h = 0;
  int margins = 1;      // inset of the frame inside the rectangle
  int buttonsize = 11;  // side of a button, height of each button row
  vbbuttonList top, bot;
  vbbuttonRef split_h, split_v, merge_u, merge_d, merge_l, merge_r;
  int minw = 0, minh = 0;  // the smallest content size a split may leave

  // A pane with the six standard buttons (icons from InitPanes).
  viewbox();
  virtual ~viewbox() = default;

  // A new plain pane with that rectangle and those minimum sizes.
  static viewboxRef Create(int x, int y, int w, int h, int minw, int minh);
  // A new pane of this pane's own kind: what a split makes. Subclasses
  // return their own kind.
  virtual viewboxRef CreateSameKind(int x, int y, int w, int h, int minw, int minh) const;

  // A new button appended to row (top or bot).
  virtual vbbuttonRef addbutton(vbbuttonList& row, int loc, int align, const ImageRef& image);
  // The grey frame: the rectangle inset by margins, filled around the
  // content area (which the content draws) as strips, or wholly when there
  // is no content area.
  virtual int drawbase();
  // The content area that the frame surrounds, if the pane has one.
  virtual bool contentarea(int& cx, int& cy, int& cw, int& ch) const {
    (void)cx, (void)cy, (void)cw, (void)ch;
    return false;
  }
  // Frame, both button rows, then the content.
  virtual int draw();
  virtual int drawbuttons(const vbbuttonList& row, int rowy);
  virtual int updatebuttons(const vbbuttonList& row, int rowy);
  // The buttons, then at most one split or merge within panes (the
  // workspace's list of all panes), then handle().
  virtual int update(viewboxList& panes);

  // Hooks that do nothing here.
  virtual int handle() { return 0; }
  virtual int drawcontent() { return 0; }
  virtual int copycontentto(viewbox& other) {
    (void)other;
    return 0;
  }

  // The smallest rectangle that keeps room for the frame, the button rows
  // and the smallest content size: what a split leaves every part at least.
  int smallestw() const;
  int smallesth() const;

  // Left edge of a button of this pane.
  int buttonx(const vbbutton& button) const;
  int toprowy() const { return y + margins; }
  int botrowy() const { return y + h - margins - buttonsize; }

  // Every pane of panes meeting each condition whose argument is not -1:
  // p.x >= minleft, p.x + p.w <= maxright, p.y >= mintop, p.y + p.h <=
  // maxbottom, p.x == left, p.y == top, p.x + p.w == right, p.y + p.h == bottom.
  static vbinfo findboxes(const viewboxList& panes, int minleft, int maxright, int mintop,
                          int maxbottom, int left, int top, int right, int bottom);
  // The panes lying wholly inside the rectangle from (l, t) to (r, b).
  static viewboxList findboxesin(const viewboxList& panes, int l, int t, int r, int b);

 protected:
  void setrect(int nx, int ny, int nw, int nh, int nminw, int nminh);

 private:
  bool trysplit(viewboxList& panes, int parts, bool side_by_side);
  bool trymerge(viewboxList& panes, const vbinfo& found, bool across);
  void insertsplit(viewboxList& panes, int nx, int ny, int nw, int nh);
};

// Module initialisation: registers the embedded files, loads the six button
// icons and starts the mouse state and the hotkeys afresh. Returns 1 when
// every icon was loaded. May run before the display opens.
int InitPanes();

// The icons of the standard buttons, in the order split_h, split_v, merge_u,
// merge_d, merge_l, merge_r; null before InitPanes.
const ImageRef& paneicon(int index);

}  // namespace skyloom
