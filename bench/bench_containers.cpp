// The keyed containers against their standard counterparts: BinTree (with
// splaying on every access) against std::multimap and HashTable against
// std::unordered_multimap, each inserting and then finding 1,000,000 random
// string keys. Each benchmark is paired with its baseline in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "defs/bintree.h"
#include "defs/hashtable.h"

namespace {

using skyloom::ObjectRef;

constexpr int kKeys = 1000000;
constexpr int kHashBuckets = 1 << 20;

struct Workload {
  std::vector<std::u16string> keys;     // insertion order
  std::vector<std::u16string> lookups;  // the same keys, shuffled
  std::vector<ObjectRef> values;
};

const Workload& Load() {
  static const Workload workload = [] {
    Workload w;
    std::mt19937_64 random(42);
    std::uniform_int_distribution<int> length(6, 16);
    std::uniform_int_distribution<int> letter(0, 61);
    const char16_t alphabet[] = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int i = 0; i < kKeys; ++i) {
      std::u16string key(length(random), u' ');
      for (char16_t& c : key) c = alphabet[letter(random)];
      w.keys.push_back(std::move(key));
      w.values.push_back(skyloom::StringObject::Create(u"v"));
    }
    w.lookups = w.keys;
    std::shuffle(w.lookups.begin(), w.lookups.end(), random);
    return w;
  }();
  return workload;
}

void BM_BinTreeInsertFind(benchmark::State& state) {
  const Workload& w = Load();
  for (auto _ : state) {
    skyloom::BinTree tree(1);
    for (int i = 0; i < kKeys; ++i) tree.insert(w.keys[i], w.values[i], -1);
    size_t found = 0;
    for (const std::u16string& key : w.lookups) found += tree.find(key, -1) != nullptr;
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kKeys * 2);
}

void BM_StdMultimapInsertFind(benchmark::State& state) {
  const Workload& w = Load();
  for (auto _ : state) {
    std::multimap<std::u16string, ObjectRef> map;
    for (int i = 0; i < kKeys; ++i) map.emplace(w.keys[i], w.values[i]);
    size_t found = 0;
    for (const std::u16string& key : w.lookups) found += map.find(key) != map.end();
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kKeys * 2);
}

void BM_HashTableInsertFind(benchmark::State& state) {
  const Workload& w = Load();
  for (auto _ : state) {
    auto table = skyloom::HashTable::Create(kHashBuckets, skyloom::hashstring);
    for (int i = 0; i < kKeys; ++i) table->insert(w.keys[i], w.values[i]);
    size_t found = 0;
    for (const std::u16string& key : w.lookups) found += table->find(key, -1) != nullptr;
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kKeys * 2);
}

void BM_StdUnorderedMultimapInsertFind(benchmark::State& state) {
  const Workload& w = Load();
  for (auto _ : state) {
    std::unordered_multimap<std::u16string, ObjectRef> map(kHashBuckets);
    for (int i = 0; i < kKeys; ++i) map.emplace(w.keys[i], w.values[i]);
    size_t found = 0;
    for (const std::u16string& key : w.lookups) found += map.find(key) != map.end();
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kKeys * 2);
}

BENCHMARK(BM_BinTreeInsertFind)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_StdMultimapInsertFind)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_HashTableInsertFind)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_StdUnorderedMultimapInsertFind)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
