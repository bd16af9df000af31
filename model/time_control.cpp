// The system's time controls: the signed rate, pausing and single steps, and
// the short text that tells the user how time runs.
#include <cmath>
#include <string>

#include "model/space.h"

namespace skyloom {

namespace {

// The smallest rate magnitude: as far below 1 as MAX_RATE is above.
constexpr double MIN_RATE = 1 / space::MAX_RATE;

std::u16string Ascii(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

// "4x", "1/2x", "-2x": rates are powers of two, so a whole number or one
// over a whole number.
std::u16string RateFactorText(double rate) {
  const double size = std::fabs(rate);
  std::string text = rate < 0 ? "-" : "";
  if (size >= 1) {
    text += std::to_string(static_cast<long long>(std::llround(size)));
  } else {
    text += "1/" + std::to_string(static_cast<long long>(std::llround(1 / size)));
  }
  return Ascii(text + "x");
}

}  // namespace

void space::step() {
  if (rate == NORMAL_RATE) {
    for (const bodyRef& b : bodies) b->update();
  } else {
    for (const bodyRef& b : bodies) b->update(rate);
  }
  elapsed += rate;
}

int space::togglepause() {
  paused = !paused;
  return 0;
}

int space::faster() {
  if (std::fabs(rate) < MAX_RATE) rate *= 2;
  return 0;
}

int space::slower() {
  if (std::fabs(rate) > MIN_RATE) rate /= 2;
  return 0;
}

int space::reverse() {
  rate = -rate;
  return 0;
}

int space::stepframe() {
  if (paused) step();
  return 0;
}

std::u16string space::ratetext() const {
  const bool normal = rate == NORMAL_RATE;
  if (!paused) return normal ? u"" : RateFactorText(rate);
  return normal ? u"paused" : u"paused " + RateFactorText(rate);
}

}  // namespace skyloom
