// Frame cost of the OpenGL backend on a viewer-like scene: per body a green
// disc and a grey orbit loop of line segments, a colour change for each, then
// Flip; also the discs alone and the loops alone. Measured with batching on
// and with every primitive drawn on its own, the ratios printed at the end.
// Needs an X display.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "runtime/backend_gl.h"
#include "runtime/display.h"

namespace skyloom {
namespace {

// One body of the scene: a disc of 12 to 40 corners and an orbit loop of 12
// to 64 segments round it, the loop's corners worked out beforehand so that
// the benchmark times the drawing only.
struct TSceneBody {
  float x, y, radius;
  std::vector<float> loop;  // x, y pairs, the first corner repeated at the end
};

std::vector<TSceneBody> MakeScene(int bodies) {
  std::vector<TSceneBody> scene(bodies);
  uint32_t seed = 2024;
  auto next = [&seed](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  };
  const int w = DisplayWidth(), h = DisplayHeight();
  for (TSceneBody& b : scene) {
    b.x = static_cast<float>(next(w));
    b.y = static_cast<float>(next(h));
    b.radius = static_cast<float>(6 + next(15));  // OvalCornerCount: 12 to 40 corners
    const float orbit = b.radius + 4 + next(60);
    const int segments = 12 + next(53);
    for (int k = 0; k <= segments; ++k) {
      const double a = 2 * M_PI * (k % segments) / segments;
      b.loop.push_back(b.x + orbit * static_cast<float>(std::cos(a)));
      b.loop.push_back(b.y + orbit * static_cast<float>(std::sin(a)));
    }
  }
  return scene;
}

// What a frame draws of each body.
enum TParts { DISCS = 1, LOOPS = 2, DISCS_AND_LOOPS = DISCS | LOOPS };

// Draws one frame of the scene as a camera would and shows it; returns the
// number of primitives drawn. With both parts the colour changes twice a
// body, so every disc and every loop is a batch of its own; one part alone
// keeps one colour, so the whole frame is one batch.
int64_t DrawFrame(const std::vector<TSceneBody>& scene, int parts) {
  int64_t primitives = 0;
  Cls();
  for (const TSceneBody& b : scene) {
    if (parts & DISCS) {
      SetColor(0, 200, 0);
      DrawOval(b.x - b.radius, b.y - b.radius, 2 * b.radius, 2 * b.radius);
      ++primitives;
    }
    if (parts & LOOPS) {
      SetColor(128, 128, 128);
      const size_t corners = b.loop.size() / 2;
      for (size_t k = 0; k + 1 < corners; ++k) {
        DrawLine(b.loop[2 * k], b.loop[2 * k + 1], b.loop[2 * k + 2], b.loop[2 * k + 3], false);
      }
      primitives += static_cast<int64_t>(corners - 1);
    }
  }
  Flip(0);
  return primitives;
}

// Times are real time a frame: a software rasteriser does its work in threads
// of its own, which the CPU column (the drawing thread alone) leaves out.
void BM_Frame(benchmark::State& state, int parts, bool batching) {
  const std::vector<TSceneBody> scene = MakeScene(static_cast<int>(state.range(0)));
  TGLBackend::Current()->SetBatching(batching);
  DrawFrame(scene, parts);  // untimed: the driver compiles its shaders on first use
  int64_t primitives = 0;
  for (auto _ : state) primitives += DrawFrame(scene, parts);
  TGLBackend::Current()->SetBatching(true);
  state.SetItemsProcessed(primitives);
}

// Each way of drawing is paired with the same frames drawn with one
// glBegin/glEnd per primitive (per_primitive) as the baseline.
#define FRAME_BENCHMARK(name, parts, batching)       \
  BENCHMARK_CAPTURE(BM_Frame, name, parts, batching) \
      ->Arg(1000)                                    \
      ->Arg(10000)                                   \
      ->Unit(benchmark::kMillisecond)                \
      ->UseRealTime()
FRAME_BENCHMARK(scene_batched, DISCS_AND_LOOPS, true);
FRAME_BENCHMARK(scene_per_primitive, DISCS_AND_LOOPS, false);
FRAME_BENCHMARK(discs_batched, DISCS, true);
FRAME_BENCHMARK(discs_per_primitive, DISCS, false);
FRAME_BENCHMARK(loops_batched, LOOPS, true);
FRAME_BENCHMARK(loops_per_primitive, LOOPS, false);

// The fixed cost of a frame that all share: clearing the display and
// showing it.
BENCHMARK_CAPTURE(BM_Frame, empty, DISCS_AND_LOOPS, true)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The console report, plus the times of every run kept by benchmark and body
// count, so that the ratios can be printed when all have run.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  // Coloured like the library's own report: only on a terminal.
  TRatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // Every repetition when they are reported, else (with
    // --benchmark_report_aggregates_only) their median.
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((run.run_type != Run::RT_Iteration && !median) || run.error_occurred) continue;
      TTimes& t = times[{run.run_name.function_name, run.run_name.args}];
      t.real.push_back(run.GetAdjustedRealTime());
      t.cpu.push_back(run.GetAdjustedCPUTime());
    }
  }

  // Prints the medians of a way of drawing batched and per primitive at a
  // body count, if both ran.
  void PrintRatio(const std::string& parts, const std::string& bodies) {
    TTimes& batched = times[{"BM_Frame/" + parts + "_batched", bodies}];
    TTimes& single = times[{"BM_Frame/" + parts + "_per_primitive", bodies}];
    if (batched.real.empty() || single.real.empty()) return;
    const double real_b = Median(batched.real), real_s = Median(single.real);
    const double cpu_b = Median(batched.cpu), cpu_s = Median(single.cpu);
    std::printf(
        "%s, %s bodies, a frame: batched %.1f ms (drawing thread CPU %.1f ms), per primitive"
        " %.1f ms (CPU %.1f ms): per primitive / batched = %.2f (CPU %.2f)\n",
        parts.c_str(), bodies.c_str(), real_b, cpu_b, real_s, cpu_s, real_s / real_b,
        cpu_s / cpu_b);
  }

 private:
  struct TTimes {
    std::vector<double> real, cpu;
  };

  static double Median(std::vector<double>& t) {
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
  }

  std::map<std::pair<std::string, std::string>, TTimes> times;
};

}  // namespace
}  // namespace skyloom

int main(int argc, char** argv) {
  using namespace skyloom;
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) {
    std::printf("bench_gl: DISPLAY is not set, so there is no display to draw on; skipped\n");
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  SetWindowTitle(u"Skyloom drawing benchmark");
  const std::vector<TGraphicsMode> modes = GraphicsModes();
  if (modes.empty() ||
      !OpenDisplay(modes[0].width, modes[0].height, modes[0].depth, modes[0].hertz)) {
    std::fprintf(stderr, "bench_gl: cannot open the display: %s\n", DisplayError().c_str());
    return 1;
  }
  std::printf("display %d x %d\n", DisplayWidth(), DisplayHeight());

  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* parts : {"scene", "discs", "loops"}) {
    for (const char* bodies : {"1000", "10000"}) reporter.PrintRatio(parts, bodies);
  }
  benchmark::Shutdown();
  CloseDisplay();
  return 0;
}
