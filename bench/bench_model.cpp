// Cost of one frame of the orbital system: space update on generated systems
// of stars, planets and moons, in nanoseconds per body. The baseline is the
// same orbit arithmetic over a flat array with no tree and no objects.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "model/body.h"
#include "model/space.h"

namespace skyloom {
namespace {

constexpr int kPlanetsPerStar = 9;
constexpr int kMoonsPerPlanet = 10;
constexpr int kBodiesPerStar = 1 + kPlanetsPerStar * (1 + kMoonsPerPlanet);  // 100

// Every star moves on an orbit round the origin; every second body has a
// scaled, rotated and offset orbit, so all five placement steps are exercised.
bodyRef MakeOrbiter(int index, double dist) {
  bodyRef b = body::Create();
  b->orbit = vect2d::Create(dist, index * 7.0);
  b->revspeed = 0.1 + (index % 13) * 0.05;
  if (index % 2) {
    b->scaleorbit = vect2d::Create(1.5, 0.5);
    b->rotorbit = 30;
    b->moveorbit = vect2d::Create(4, -2);
  }
  return b;
}

spaceRef MakeSystem(int bodies) {
  spaceRef system = space::Create();
  int index = 0;
  for (int s = 0; s < bodies / kBodiesPerStar; ++s) {
    bodyRef star = MakeOrbiter(index++, 10000);
    for (int p = 0; p < kPlanetsPerStar; ++p) {
      bodyRef planet = MakeOrbiter(index++, 500);
      planet->setparent(star);
      for (int m = 0; m < kMoonsPerPlanet; ++m) MakeOrbiter(index++, 20)->setparent(planet);
    }
    system->bodies.push_back(star);
  }
  system->init();
  system->getallbodies();
  return system;
}

void BM_SpaceUpdate(benchmark::State& state) {
  const spaceRef system = MakeSystem(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    system->update();
    benchmark::ClobberMemory();
  }
  state.counters["per_body"] =
      benchmark::Counter(static_cast<double>(system->allbodies.size()) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SpaceUpdate)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Baseline: the same placement formula over plain structs in pre-order, each
// child reading its parent's freshly computed position by index.
struct FlatBody {
  int parent;  // index of the parent, or -1
  double dist, angle, speed, sx, sy, rot, mx, my;
  bool shaped;
  double x, y;
};

void BM_FlatArrayBaseline(benchmark::State& state) {
  const spaceRef system = MakeSystem(static_cast<int>(state.range(0)));
  std::vector<FlatBody> flat;
  for (const bodyRef& b : system->allbodies) {
    int parent = -1;
    if (const bodyRef up = b->parent.lock()) {
      for (int i = static_cast<int>(flat.size()) - 1; i >= 0 && parent < 0; --i) {
        if (system->allbodies[i] == up) parent = i;
      }
    }
    const bool shaped = b->scaleorbit != nullptr;
    flat.push_back({parent, b->orbit->x, b->orbit->y, b->revspeed, shaped ? 1.5 : 1,
                    shaped ? 0.5 : 1, b->rotorbit, shaped ? 4.0 : 0, shaped ? -2.0 : 0, shaped, 0,
                    0});
  }
  constexpr double kRad = 0.017453292519943295;
  for (auto _ : state) {
    for (FlatBody& f : flat) {
      f.angle += f.speed;
      double px = f.dist * std::cos(f.angle * kRad), py = f.dist * std::sin(f.angle * kRad);
      if (f.shaped) {
        px *= f.sx;
        py *= f.sy;
        const double len = std::sqrt(px * px + py * py);
        const double a = (std::atan2(py, px) / kRad + f.rot) * kRad;
        px = len * std::cos(a) + f.mx;
        py = len * std::sin(a) + f.my;
      }
      f.x = px + (f.parent < 0 ? 0 : flat[f.parent].x);
      f.y = py + (f.parent < 0 ? 0 : flat[f.parent].y);
    }
    benchmark::ClobberMemory();
  }
  state.counters["per_body"] =
      benchmark::Counter(static_cast<double>(flat.size()) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FlatArrayBaseline)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace skyloom

BENCHMARK_MAIN();
