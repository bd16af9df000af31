// Parsing a generated definition of about 12 MB that mixes deep chains of
// nested bodies with wide bodies of hundreds of siblings, comments, quotes and
// copies: throughput, and the peak heap during a parse as a multiple of the
// input size. The baseline reads the same bytes one at a time from a stream.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "defs/dictnode.h"

// ---- Heap accounting: every C++ allocation of the program passes here. ----

namespace {
bool g_counting = false;  // on only while the peak is measured
size_t g_heapnow = 0;
size_t g_heappeak = 0;
}  // namespace

void* operator new(size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  if (g_counting) {
    g_heapnow += malloc_usable_size(p);
    if (g_heapnow > g_heappeak) g_heappeak = g_heapnow;
  }
  return p;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  if (g_counting) g_heapnow -= malloc_usable_size(p);
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  operator delete(p);
}

namespace {

constexpr size_t kTargetBytes = 12 * 1024 * 1024;
constexpr int kDeepLevels = 14;
constexpr int kWideChildren = 400;

class Generator {
 public:
  std::string Make(size_t target) {
    out_ = "#universe[\r\n";
    while (out_.size() < target) Body(1, 0);
    out_ += "];";
    return out_;
  }

 private:
  void Indent(int level) { out_.append(level, '\t'); }

  void Entry(int level, const std::string& key, const std::string& value) {
    Indent(level);
    out_ += key + ": " + value + ";\r\n";
  }

  // A body at the given level; kind 0 continues a deep chain, 1 is a leaf of
  // a wide body.
  void Body(int level, int kind) {
    const int id = serial_++;
    Indent(level);
    out_ += "#body";
    if (id % 7 == 3 && lastsibling_ >= 0) out_ += " copyof: b" + std::to_string(lastsibling_);
    out_ += "[\r\n";
    Entry(level + 1, "id", "b" + std::to_string(id));
    Entry(level + 1, "name", "\"Body " + std::to_string(id) + "\"");
    Entry(level + 1, "radius", std::to_string(random_() % 40 + 1));
    Entry(level + 1, "orbitdist", std::to_string(random_() % 900 + 10));
    Entry(level + 1, "orbitscalex", "1.5");
    Entry(level + 1, "revspeed", "0.25");
    if (id % 5 == 0) {
      Indent(level + 1);
      out_ += "<generated body <" + std::to_string(id) + "> ; # [ ]>\r\n";
    }
    if (kind == 0) {
      const int saved = lastsibling_;
      lastsibling_ = -1;
      if (level == 4) {
        for (int i = 0; i < kWideChildren; ++i) {
          Body(level + 1, 1);
          lastsibling_ = serial_ - 1;
        }
      } else if (level < kDeepLevels) {
        Body(level + 1, 0);
      }
      lastsibling_ = saved;
    }
    Indent(level);
    out_ += "];\r\n";
  }

  std::string out_;
  std::mt19937 random_{7};
  int serial_ = 0;
  int lastsibling_ = -1;
};

const std::string& Input() {
  static const std::string text = Generator().Make(kTargetBytes);
  return text;
}

skyloom::StreamRef Over(const std::string& text) {
  return skyloom::TRamStream::CreateReadOnly(text.data(), static_cast<int64_t>(text.size()));
}

// The tree is released outside the timed part: this measures building it.
void BM_ParseDefinition(benchmark::State& state) {
  const std::string& text = Input();
  for (auto _ : state) {
    skyloom::dictnodeRef root = skyloom::dictnode::parse(Over(text), u"/", u"bench", u"id");
    benchmark::DoNotOptimize(root);
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["input_MB"] = static_cast<double>(text.size()) / 1e6;
}

// The highest heap use during one parse (the finished tree included) as a
// multiple of the input size. Frees are counted only for blocks allocated
// while counting, so the figure errs on the high side if at all.
void BM_ParsePeakHeap(benchmark::State& state) {
  const std::string& text = Input();
  size_t peak = 0;
  for (auto _ : state) {
    g_heapnow = 0;
    g_heappeak = 0;
    g_counting = true;
    skyloom::dictnodeRef root = skyloom::dictnode::parse(Over(text), u"/", u"bench", u"id");
    peak = std::max(peak, g_heappeak);
    root.reset();
    g_counting = false;
  }
  state.counters["peak_heap_MB"] = static_cast<double>(peak) / 1e6;
  state.counters["peak_heap_x_input"] = static_cast<double>(peak) / text.size();
}

// Baseline: every byte of the same text read one at a time from a stream.
void BM_ReadBytesBaseline(benchmark::State& state) {
  const std::string& text = Input();
  for (auto _ : state) {
    skyloom::StreamRef stream = Over(text);
    size_t hashes = 0;
    for (size_t i = 0; i < text.size(); ++i) hashes += stream->ReadByte() == '#';
    benchmark::DoNotOptimize(hashes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_ParseDefinition)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_ParsePeakHeap)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReadBytesBaseline)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
