// Pixmap conversion speed: TPixmap::Convert of a 1920 x 1080 RGBA pixmap to
// BGRA and to grey, against a plain memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "runtime/pixmap.h"

namespace skyloom {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

const PixmapRef& Source() {
  static const PixmapRef pixmap = [] {
    auto p = TPixmap::Create(kWidth, kHeight, PIXEL_RGBA8888, 4);
    for (int i = 0; i < p->capacity; ++i) p->pixels[i] = uint8_t(i * 131 + (i >> 9));
    return p;
  }();
  return pixmap;
}

int64_t SourceBytes() {
  return int64_t(Source()->pitch) * kHeight;
}

void ConvertTo(benchmark::State& state, int format) {
  for (auto _ : state) {
    const PixmapRef converted = Source()->Convert(format);
    benchmark::DoNotOptimize(converted->pixels);
  }
  state.SetBytesProcessed(state.iterations() * SourceBytes());
}

void ConvertRgbaToBgra(benchmark::State& state) {
  ConvertTo(state, PIXEL_BGRA8888);
}
void ConvertRgbaToGrey(benchmark::State& state) {
  ConvertTo(state, PIXEL_GREY8);
}

// The floor: copying the source bytes into a fresh, uninitialised buffer, as
// Convert must at least read them and allocate its result.
void MemcpyBaseline(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size_t(SourceBytes())]);
    std::memcpy(copy.get(), Source()->pixels, size_t(SourceBytes()));
    benchmark::DoNotOptimize(copy.get());
  }
  state.SetBytesProcessed(state.iterations() * SourceBytes());
}

BENCHMARK(ConvertRgbaToBgra)->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertRgbaToGrey)->Unit(benchmark::kMillisecond);
BENCHMARK(MemcpyBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skyloom

BENCHMARK_MAIN();
