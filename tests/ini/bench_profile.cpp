// The settings command's load on the engine: about 1,000 read-then-write pairs
// over four documents of realistic shape, once into new files and once over
// files that already hold every key (every write then finds its own value).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ini/profile_document.h"

namespace {

struct Shape {
  const char* file;
  int keys;
  int sections;
};
constexpr Shape kShapes[] = {
    {"Kv_Sys.ini", 247, 12}, {"IL3_Systeme.ini", 31, 3}, {"KV_Mus.ini", 333, 19}, {"KV_Pub.ini", 390, 3}};

struct Pair {
  int document;
  std::string section, key, value;
};

// Keys spread over their sections in order, values 10 to 240 characters long.
std::vector<Pair> MakeWorkload() {
  std::vector<Pair> pairs;
  for (int d = 0; d < 4; ++d) {
    const Shape& shape = kShapes[d];
    for (int k = 0; k < shape.keys; ++k) {
      const int section = k * shape.sections / shape.keys;
      const size_t length = 10 + (k * 37) % 231;
      pairs.push_back({d, "Section_" + std::to_string(section), "Cle_" + std::to_string(k),
                       std::string(length, static_cast<char>('a' + k % 26))});
    }
  }
  return pairs;
}

void RunPairs(const std::vector<Pair>& pairs, std::vector<ini::ProfileDocument>& docs) {
  for (const Pair& p : pairs) {
    ini::ProfileDocument& doc = docs[p.document];
    const std::string value = doc.Read(p.section, p.key).value_or(ini::NormalizeDefault(p.value));
    benchmark::DoNotOptimize(doc.Write(p.section, p.key, value));
  }
}

void BM_SettingsIntoNewFiles(benchmark::State& state) {
  const std::vector<Pair> pairs = MakeWorkload();
  for (auto _ : state) {
    std::vector<ini::ProfileDocument> docs(4);
    RunPairs(pairs, docs);
    for (const auto& doc : docs) benchmark::DoNotOptimize(doc.Serialize());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pairs.size()));
}
BENCHMARK(BM_SettingsIntoNewFiles)->Unit(benchmark::kMicrosecond);

void BM_SettingsOverExistingFiles(benchmark::State& state) {
  const std::vector<Pair> pairs = MakeWorkload();
  std::vector<ini::ProfileDocument> full(4);
  RunPairs(pairs, full);
  std::vector<std::string> bytes;
  for (const auto& doc : full) bytes.push_back(doc.Serialize());
  for (auto _ : state) {
    std::vector<ini::ProfileDocument> docs;
    for (const auto& b : bytes) docs.emplace_back(b);
    RunPairs(pairs, docs);
    for (const auto& doc : docs) benchmark::DoNotOptimize(doc.Serialize());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pairs.size()));
}
BENCHMARK(BM_SettingsOverExistingFiles)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
