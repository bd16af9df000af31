// Speed of blendpixel over a million pairs of pixels: the baseline copies the
// source pixels over the destinations; then Normal, Multiply, HslHS and LabL
// (the headline modes), and one entry per blend function for the full table.
// items_per_second is pixels per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imaging/blend.h"

namespace {

using namespace skyloom;

constexpr int kPixels = 1000000;

// Source and destination pixels with random channels and alphas, the same in
// every run.
struct PixelPairs {
  std::vector<uint32_t> src, dst;
  PixelPairs() : src(kPixels), dst(kPixels) {
    std::mt19937 random(20240607);
    for (int i = 0; i < kPixels; ++i) {
      src[i] = random();
      dst[i] = random();
    }
  }
};

const PixelPairs& Pairs() {
  static const PixelPairs pairs;
  return pairs;
}

// What the compositor is measured against: writing each source pixel over
// its destination, with nothing computed.
void BM_CopyBaseline(benchmark::State& state) {
  const PixelPairs& pairs = Pairs();
  std::vector<uint32_t> out(kPixels);
  for (auto _ : state) {
    for (int i = 0; i < kPixels; ++i) out[i] = pairs.src[i];
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_CopyBaseline);

void BlendAll(benchmark::State& state, BlendFunction function) {
  const PixelPairs& pairs = Pairs();
  std::vector<uint32_t> out(kPixels);
  setblendmode(function, BLEND_FLAG_ALL);
  for (auto _ : state) {
    for (int i = 0; i < kPixels; ++i) {
      out[i] = blendpixel(pairs.src[i], pairs.dst[i], 255, BLEND_CURRENT_FLAGS);
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
  setblendmode(blend::Normal, BLEND_FLAG_ALL);
}

void BM_BlendNormal(benchmark::State& state) {
  BlendAll(state, blend::Normal);
}
void BM_BlendMultiply(benchmark::State& state) {
  BlendAll(state, blend::Multiply);
}
void BM_BlendHslHS(benchmark::State& state) {
  BlendAll(state, blend::HslHS);
}
void BM_BlendLabL(benchmark::State& state) {
  BlendAll(state, blend::LabL);
}
BENCHMARK(BM_BlendNormal);
BENCHMARK(BM_BlendMultiply);
BENCHMARK(BM_BlendHslHS);
BENCHMARK(BM_BlendLabL);

// One benchmark per blend function, named Mode/NAME, for the full table.
const bool kTableRegistered = [] {
  for (const BlendMode& mode : BlendModes()) {
    const BlendFunction function = mode.function;
    benchmark::RegisterBenchmark(("Mode/" + std::string(mode.name)).c_str(),
                                 [function](benchmark::State& state) { BlendAll(state, function); })
        ->MinTime(0.2);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
