// Cost of the viewer's whole frame work (updatemouse, the workspace's draw
// and update, the system's step) on the recording display, for generated
// three-level systems of 1,000 to 100,000 bodies, in one pane and in four,
// with everything in view or zoomed in on about 1 % of the bodies. The
// baseline is the system's step alone on the same system. The recorder counts
// primitives without keeping them, so that its own storage is not measured;
// the "kept" runs keep them too, as tests do. BM_DiscFrame sets 10,000
// huge discs against 10,000 small ones.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/workspace.h"
#include "input/mouse.h"
#include "panes/label.h"
#include "runtime/backend_recording.h"
#include "text/gradient.h"

namespace skyloom {
namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kPlanetsPerStar = 9;
constexpr int kMoonsPerPlanet = 10;
constexpr int kBodiesPerStar = 1 + kPlanetsPerStar * (1 + kMoonsPerPlanet);  // 100
constexpr double kGoldenAngle = 137.50776405003785;

bodyRef MakeBody(double radius, double dist, double angle, double speed) {
  bodyRef b = body::Create();
  b->setradius(radius);
  b->orbit = vect2d::Create(dist, angle);
  b->revspeed = speed;
  return b;
}

// Stars spread evenly over a disc of radius 2000 world units (so that the
// whole system fits a pane at the smallest zoom), each with planets on
// scaled and turned orbits and moons round every planet.
spaceRef MakeSystem(int bodies) {
  spaceRef system = space::Create();
  const int stars = bodies / kBodiesPerStar;
  for (int s = 0; s < stars; ++s) {
    const double dist = 2000 * std::sqrt((s + 0.5) / stars);
    bodyRef star = MakeBody(10, dist, s * kGoldenAngle, 0.01);
    for (int p = 0; p < kPlanetsPerStar; ++p) {
      bodyRef planet = MakeBody(4, 30 + 12 * p, p * 40.0, 0.3 + 0.05 * p);
      planet->scaleorbit = vect2d::Create(1.2, 0.8);
      planet->rotorbit = 15.0 * p;
      planet->setparent(star);
      for (int m = 0; m < kMoonsPerPlanet; ++m) {
        MakeBody(1.5, 6 + m, m * 36.0, 1 + 0.1 * m)->setparent(planet);
      }
    }
    system->bodies.push_back(star);
  }
  system->init();
  system->getallbodies();
  return system;
}

// The share of bodies whose centre a camera shows.
double InView(const camera& cam, const space& system) {
  int shown = 0;
  for (const bodyRef& b : system.allbodies) {
    const double sx = (b->pos->x - cam.pos->x) * cam.zoom + cam.w / 2;
    const double sy = (b->pos->y - cam.pos->y) * cam.zoom + cam.h / 2;
    if (sx >= 0 && sx < cam.w && sy >= 0 && sy < cam.h) ++shown;
  }
  return double(shown) / double(system.allbodies.size());
}

// The zoom (a whole number of wheel steps from 1) at which a camera centred
// on the origin shows the share of bodies closest to wanted.
double ZoomShowing(camera cam, const space& system, double wanted) {
  double best = 1, best_error = 1e9;
  for (double zoom = camera::MIN_ZOOM; zoom <= camera::MAX_ZOOM; zoom *= camera::ZOOM_STEP) {
    cam.zoom = zoom;
    const double error = std::fabs(std::log(std::max(InView(cam, system), 1e-9) / wanted));
    if (error < best_error) {
      best = zoom;
      best_error = error;
    }
  }
  return best;
}

// The content rectangles of panes are set when they draw; one draw sets them.
std::vector<spaceboxRef> MakePanes(int count) {
  const int w = kWidth - 16, h = kHeight - 16;
  if (count == 1) return {spacebox::Create(8, 8, w, h, 128, 128)};
  return {spacebox::Create(8, 8, w / 2, h / 2, 128, 128),
          spacebox::Create(8 + w / 2, 8, w - w / 2, h / 2, 128, 128),
          spacebox::Create(8, 8 + h / 2, w / 2, h - h / 2, 128, 128),
          spacebox::Create(8 + w / 2, 8 + h / 2, w - w / 2, h - h / 2, 128, 128)};
}

enum View { WHOLE = 0, ONE_PERCENT = 1 };

// The panes' icons, the gradient, the follow icons and the label font, as the
// viewer's start-up loads them, on a recording display of the screen's size.
std::shared_ptr<TRecordingBackend> OpenViewerDisplay() {
  InitPanes();
  InitGradient();
  loadfollowimages();
  auto recorder = OpenRecordingDisplay(kWidth, kHeight);
  std::string error;
  loadlabelfont(error);
  return recorder;
}

void BM_FrameWork(benchmark::State& state) {
  const auto recorder = OpenViewerDisplay();
  const spaceRef system = MakeSystem(static_cast<int>(state.range(0)));
  const int pane_count = static_cast<int>(state.range(1));
  const View view = static_cast<View>(state.range(2));
  recorder->keep = state.range(3) != 0;

  const workspaceRef ws = workspace::Create(system);
  ws->boxes.clear();
  for (const spaceboxRef& pane : MakePanes(pane_count)) {
    pane->cam->view = system;
    ws->boxes.push_back(pane);
  }
  ws->draw();  // places every camera in its pane
  double shown = 0;
  for (const viewboxRef& pane : ws->boxes) {
    camera& cam = *static_cast<spacebox&>(*pane).cam;
    cam.zoom = view == WHOLE ? ZoomShowing(cam, *system, 1.0) : ZoomShowing(cam, *system, 0.01);
    shown += InView(cam, *system) / pane_count;
  }
  recorder->Forget();

  for (auto _ : state) {
    updatemouse();
    ws->draw();
    ws->update();
    system->update();
    recorder->Forget();
  }
  state.counters["in_view"] = shown;
  state.counters["primitives"] = double(recorder->counted) / double(state.iterations() + 1);
  CloseDisplay();
}
BENCHMARK(BM_FrameWork)
    ->ArgNames({"bodies", "panes", "zoomed", "kept"})
    ->ArgsProduct({{1000, 10000, 100000}, {1, 4}, {WHOLE, ONE_PERCENT}, {0}})
    ->Args({10000, 1, WHOLE, 1})
    ->Unit(benchmark::kMillisecond);

// 10,000 top-level bodies of one radius, one frame of one pane at zoom 1.
// "near" spreads them over a disc of radius 350 round the view's centre, so
// that every one is in view, and at radius 1e9 every disc covers the pane; "rim" puts them 1e9
// (give or take 400) from it, so that at radius 1e9 each disc's edge crosses the pane at its own
// angle. Radius 5, near, is the baseline of the same run.
enum DiscLayout { NEAR = 0, RIM = 1 };
constexpr double kNearSpread = 350;  // inside the 1008 x 752 pane at zoom 1

spaceRef MakeDiscs(int count, double radius, DiscLayout layout) {
  spaceRef system = space::Create();
  for (int i = 0; i < count; ++i) {
    const double angle = i * kGoldenAngle * M_PI / 180;
    const double dist =
        layout == NEAR ? kNearSpread * std::sqrt((i + 0.5) / count) : 1e9 + 400 * std::sin(i * 0.7);
    bodyRef b = body::Create();
    b->setradius(radius);
    b->setpos(vect2d::Create(dist * std::cos(angle), dist * std::sin(angle)));
    system->bodies.push_back(b);
  }
  system->getallbodies();
  return system;
}

void BM_DiscFrame(benchmark::State& state) {
  const auto recorder = OpenViewerDisplay();
  const double radius = state.range(1) == 0 ? 5 : 1e9;
  const spaceRef system =
      MakeDiscs(static_cast<int>(state.range(0)), radius, static_cast<DiscLayout>(state.range(2)));
  recorder->keep = false;
  const workspaceRef ws = workspace::Create(system);
  ws->boxes.clear();
  for (const spaceboxRef& pane : MakePanes(1)) {
    pane->cam->view = system;
    ws->boxes.push_back(pane);
  }
  ws->draw();
  recorder->Forget();
  for (auto _ : state) {
    updatemouse();
    ws->draw();
    ws->update();
    recorder->Forget();
  }
  state.counters["primitives"] = double(recorder->counted) / double(state.iterations() + 1);
  CloseDisplay();
}
BENCHMARK(BM_DiscFrame)
    ->ArgNames({"bodies", "huge", "rim"})
    ->Args({10000, 0, NEAR})
    ->Args({10000, 1, NEAR})
    ->Args({10000, 1, RIM})
    ->Unit(benchmark::kMillisecond);

// One camera's render with a selected body whose name has the given length:
// the label lays out only what fits, so 4 MB cost what 16 characters do.
void BM_LabelName(benchmark::State& state) {
  InitGradient();
  const auto recorder = OpenRecordingDisplay(kWidth, kHeight);
  recorder->keep = false;
  std::string error;
  loadlabelfont(error);
  bodyRef b = body::Create();
  b->setradius(5);
  b->setpos(vect2d::Create(0, 0));
  b->name = std::u16string(static_cast<size_t>(state.range(0)), u'W');
  const spaceRef system = space::Create();
  system->bodies.push_back(b);
  system->getallbodies();
  camera cam;
  cam.setbounds(8, 8, kWidth - 16, kHeight - 16);
  cam.view = system;
  cam.focus = b;
  for (auto _ : state) {
    cam.render();
    recorder->Forget();
  }
  CloseDisplay();
}
BENCHMARK(BM_LabelName)
    ->ArgName("name_length")
    ->Arg(16)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMicrosecond);

void BM_SpaceUpdateBaseline(benchmark::State& state) {
  const spaceRef system = MakeSystem(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    system->update();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SpaceUpdateBaseline)
    ->ArgName("bodies")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skyloom

BENCHMARK_MAIN();
