// Integer vectors and rectangles: magnitude, text form, ordering, containment
// tests and the compact stream layout.
#include "geom/vector.h"

#include <cmath>

namespace skyloom {

namespace {

// Edges are summed in 64 bits so that a rectangle reaching past the 32-bit
// range keeps its true right and bottom edges.
int64_t FarEdge(int32_t start, int32_t extent) {
  return int64_t(start) + extent;
}

bool WithinClosed(int64_t value, int32_t start, int32_t extent) {
  return start <= value && value <= FarEdge(start, extent);
}

}  // namespace

VectorRef Vector::Create(int32_t x, int32_t y, int32_t z) {
  return std::make_shared<Vector>(x, y, z);
}

float Vector::Magnitude() const {
  // Each square is below 2^62, so their sum fits an unsigned 64-bit integer.
  const auto square = [](int32_t v) { return uint64_t(int64_t(v) * v); };
  const uint64_t sum = square(x) + square(y) + square(z);
  return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}

std::u16string Vector::ToString() const {
  const std::string text = std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(z);
  return std::u16string(text.begin(), text.end());
}

int Vector::Sort(const Vector& a, const Vector& b) {
  return a.Magnitude() >= b.Magnitude() ? 1 : -1;
}

void Vector::write(TStream& stream) const {
  const int count = z != 0 ? 3 : y != 0 ? 2 : x != 0 ? 1 : 0;
  stream.WriteByte(count);
  if (count > 0) stream.WriteInt(x);
  if (count > 1) stream.WriteInt(y);
  if (count > 2) stream.WriteInt(z);
}

VectorRef Vector::read(TStream& stream) {
  auto vector = Create();
  const int count = stream.ReadByte();
  if (count > 0) vector->x = stream.ReadInt();
  if (count > 1) vector->y = stream.ReadInt();
  if (count > 2) vector->z = stream.ReadInt();
  return vector;
}

rect::rect() : pos(Vector::Create()), size(Vector::Create()) {}

RectRef rect::Create(int32_t x, int32_t y, int32_t width, int32_t height) {
  auto result = std::make_shared<rect>();
  result->pos = Vector::Create(x, y, 0);
  result->size = Vector::Create(width, height, 0);
  return result;
}

int rect::Overlaps(const rect& other) const {
  if (pos->x > FarEdge(other.pos->x, other.size->x)) return 0;
  if (other.pos->x > FarEdge(pos->x, size->x)) return 0;
  if (pos->y > FarEdge(other.pos->y, other.size->y)) return 0;
  if (other.pos->y > FarEdge(pos->y, size->y)) return 0;
  return 1;
}

int rect::ContainsPoint(const Vector& point) const {
  return Contains(point.x, point.y);
}

int rect::Contains(int32_t px, int32_t py) const {
  return WithinClosed(px, pos->x, size->x) && WithinClosed(py, pos->y, size->y) ? 1 : 0;
}

void rect::write(TStream& stream) const {
  pos->write(stream);
  size->write(stream);
}

RectRef rect::read(TStream& stream) {
  auto result = std::make_shared<rect>();
  result->pos = Vector::read(stream);
  result->size = Vector::read(stream);
  return result;
}

}  // namespace skyloom
