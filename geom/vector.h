// Integer geometry: Vector, a triple of signed 32-bit integers used for
// sizes, positions and pairs of numbers, and rect, an integer rectangle built
// from two vectors. Both write themselves to a stream in a compact layout.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/object.h"
#include "runtime/stream.h"

namespace skyloom {

class Vector;
using VectorRef = std::shared_ptr<Vector>;

// Three signed 32-bit integers, shared by reference; a new vector is (0, 0, 0).
//
// Stream layout: one count byte n (0 to 3), then the first n of x, y, z as
// little-endian signed 32-bit integers. Trailing zero components are not
// written, so the zero vector takes a single byte.
class Vector : public Object {
 public:
  Vector() = default;
  Vector(int32_t x, int32_t y, int32_t z) : x(x), y(y), z(z) {}

  static VectorRef Create(int32_t x = 0, int32_t y = 0, int32_t z = 0);

  // Euclidean length, rounded to a float. The squares are summed exactly, so
  // components whose squares pass the 32-bit range still give the true length.
  float Magnitude() const;

  // "x,y,z" in decimal, e.g. "1,-2,3".
  std::u16string ToString() const override;

  // Comparison for sorting lists by magnitude: 1 when a is at least as long as
  // b, otherwise -1. It never returns 0, so Sort(a, b) < 0 is a strict order.
  static int Sort(const Vector& a, const Vector& b);

  // Writes the count byte and the components it counts.
  void write(TStream& stream) const;

  // Reads a count byte and then x if it is above 0, y if above 1 and z if
  // above 2; the rest stay 0. A count above 3 still reads only three integers.
  static VectorRef read(TStream& stream);

  int32_t x = 0;
  int32_t y = 0;
  int32_t z = 0;
};

class rect;
using RectRef = std::shared_ptr<rect>;

// An integer rectangle: pos is the corner with the smallest coordinates, size
// holds the width in x and the height in y. Edges are closed: the right edge
// pos.x + size.x and the bottom edge pos.y + size.y belong to the rectangle.
// Sizes are never normalised, so a negative width or height contains nothing.
//
// Stream layout: the layout of pos followed by that of size (2 to 26 bytes).
class rect : public Object {
 public:
  // A rectangle at (0, 0) of size (0, 0).
  rect();

  // pos = (x, y, 0), size = (width, height, 0).
  static RectRef Create(int32_t x, int32_t y, int32_t width, int32_t height);

  // 1 unless one rectangle lies wholly to one side of the other; rectangles
  // that only touch along an edge or at a corner overlap.
  int Overlaps(const rect& other) const;

  // 1 when the point lies inside or on the boundary, otherwise 0.
  int ContainsPoint(const Vector& point) const;
  int Contains(int32_t px, int32_t py) const;

  void write(TStream& stream) const;
  static RectRef read(TStream& stream);

  VectorRef pos;
  VectorRef size;
};

}  // namespace skyloom
