// Painting the program icon: every pixel is sampled on a 4 x 4 grid, each
// sample takes the colour of the topmost shape over it (sky, orbit, star,
// planet), and the pixel is their average, so edges come out smooth.
#include "app/icon.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skyloom {

namespace {

constexpr int SAMPLES = 4;  // samples per pixel along each axis

// Shapes in units of half the icon's side, centred on the icon's middle,
// y growing downwards.
constexpr double SKY_RADIUS = 0.96;
constexpr double STAR_RADIUS = 0.24;
constexpr double ORBIT_A = 0.72;          // semi-axis along the orbit's turned x axis
constexpr double ORBIT_B = 0.36;          // semi-axis across it
constexpr double ORBIT_TURN_DEG = -25.0;  // turned anticlockwise on screen
constexpr double ORBIT_HALF_WIDTH = 0.035;
constexpr double PLANET_RADIUS = 0.14;
constexpr double PLANET_ANGLE_DEG = 215.0;  // where on the orbit the planet stands

// At small sizes, lines keep at least this many pixels of half width.
constexpr double MIN_HALF_WIDTH_PIXELS = 0.6;

struct Point {
  double x, y;
};

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// A point of the orbit's own frame turned into the icon's frame.
Point Turned(double x, double y) {
  const double c = std::cos(Radians(ORBIT_TURN_DEG));
  const double s = std::sin(Radians(ORBIT_TURN_DEG));
  return {x * c - y * s, x * s + y * c};
}

Point PlanetCentre() {
  return Turned(ORBIT_A * std::cos(Radians(PLANET_ANGLE_DEG)),
                ORBIT_B * std::sin(Radians(PLANET_ANGLE_DEG)));
}

// Distance from p to the orbit's outline, to first order: the ellipse's
// implicit value over the length of its gradient.
double OrbitDistance(Point p) {
  const double c = std::cos(Radians(-ORBIT_TURN_DEG));
  const double s = std::sin(Radians(-ORBIT_TURN_DEG));
  const double x = p.x * c - p.y * s;
  const double y = p.x * s + p.y * c;
  const double value = x * x / (ORBIT_A * ORBIT_A) + y * y / (ORBIT_B * ORBIT_B) - 1.0;
  const double gx = 2.0 * x / (ORBIT_A * ORBIT_A);
  const double gy = 2.0 * y / (ORBIT_B * ORBIT_B);
  const double slope = std::hypot(gx, gy);
  return slope > 0.0 ? std::fabs(value) / slope : ORBIT_A;
}

// The colour of the topmost shape at p, or 0 (transparent) outside them all.
uint32_t ColourAt(Point p, double orbit_half_width, double planet_radius) {
  const Point planet = PlanetCentre();
  if (std::hypot(p.x - planet.x, p.y - planet.y) <= planet_radius) return ICON_PLANET;
  const double r = std::hypot(p.x, p.y);
  if (r <= STAR_RADIUS) return ICON_STAR;
  if (OrbitDistance(p) <= orbit_half_width) return ICON_ORBIT;
  if (r <= SKY_RADIUS) return ICON_SKY;
  return 0;
}

// The average of opaque-or-clear samples: alpha is the covered share, the
// colour the mean of the covering colours.
uint32_t Average(const uint32_t* samples, int count) {
  double r = 0, g = 0, b = 0;
  int covered = 0;
  for (int i = 0; i < count; ++i) {
    if (samples[i] == 0) continue;
    ++covered;
    r += (samples[i] >> 16) & 0xFF;
    g += (samples[i] >> 8) & 0xFF;
    b += samples[i] & 0xFF;
  }
  if (covered == 0) return 0;
  const auto channel = [covered](double sum) {
    return static_cast<uint32_t>(std::lround(sum / covered));
  };
  const uint32_t alpha = static_cast<uint32_t>(std::lround(255.0 * covered / count));
  return alpha << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
}

}  // namespace

PixmapRef PaintSkyloomIcon(int size) {
  if (size < ICON_MIN_SIZE || size > ICON_MAX_SIZE) return nullptr;
  PixmapRef icon = TPixmap::Create(size, size, PIXEL_RGBA8888);
  const double half = size / 2.0;
  const double pixel = 1.0 / half;  // one pixel in shape units
  const double orbit_half_width = std::max(ORBIT_HALF_WIDTH, MIN_HALF_WIDTH_PIXELS * pixel);
  const double planet_radius = std::max(PLANET_RADIUS, 2.0 * MIN_HALF_WIDTH_PIXELS * pixel);
  uint32_t samples[SAMPLES * SAMPLES];
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      for (int sy = 0; sy < SAMPLES; ++sy) {
        for (int sx = 0; sx < SAMPLES; ++sx) {
          const Point p{(x + (sx + 0.5) / SAMPLES) / half - 1.0,
                        (y + (sy + 0.5) / SAMPLES) / half - 1.0};
          samples[sy * SAMPLES + sx] = ColourAt(p, orbit_half_width, planet_radius);
        }
      }
      icon->WritePixel(x, y, Average(samples, SAMPLES * SAMPLES));
    }
  }
  return icon;
}

void IconPlanetCentre(int size, double& x, double& y) {
  const Point planet = PlanetCentre();
  x = (planet.x + 1.0) * size / 2.0;
  y = (planet.y + 1.0) * size / 2.0;
}

}  // namespace skyloom
