// Cost of loading a chain of copies: 100,000 bodies each copying the one
// before, parsed and built into a system, against 100,000 bodies that each
// give their own keys. Building must stay linear in the chain's length.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "defs/dictnode.h"
#include "model/space.h"

namespace skyloom {
namespace {

// Body k copies body k - 1 and takes radius and position from the first.
std::string Chain(int bodies) {
  std::string text = "#root[ #body[ id: b0; radius: 4; x: 1; y: 2; ];\n";
  for (int i = 1; i < bodies; ++i) {
    text += "#body copyof: b" + std::to_string(i - 1) + "[ id: b" + std::to_string(i) + "; ];\n";
  }
  return text + "]";
}

std::string Independent(int bodies) {
  std::string text = "#root[\n";
  for (int i = 0; i < bodies; ++i) {
    text += "#body[ id: b" + std::to_string(i) + "; radius: 4; x: 1; y: 2; ];\n";
  }
  return text + "]";
}

void Load(benchmark::State& state, const std::string& text) {
  const std::vector<uint8_t> bytes(text.begin(), text.end());
  for (auto _ : state) {
    auto stream = TRamStream::CreateCopy(bytes, true, false);
    const dictnodeRef root = dictnode::parse(stream, u"/", u"", u"id");
    const spaceRef system = space::read(*root);
    benchmark::DoNotOptimize(system->allbodies.size());
  }
}

void BM_LoadCopyChain(benchmark::State& state) { Load(state, Chain(state.range(0))); }
void BM_LoadIndependentBodies(benchmark::State& state) {
  Load(state, Independent(state.range(0)));
}

BENCHMARK(BM_LoadCopyChain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIndependentBodies)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skyloom

BENCHMARK_MAIN();
