// The cost of the general button on Linux, against what it cannot beat (writing
// the four final files once each, durably) and against Wine's profile functions
// doing the same sequence.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bench/sequence_generale.h"
#include "platform/platform.h"
#include "platform/posix/profile_store.h"
#include "services/lib_setup.h"

namespace fs = std::filesystem;

namespace {

const char* kFichiers[] = {"Kv_Sys.ini", "IL3_Systeme.ini", "KV_Mus.ini", "KV_Pub.ini"};

struct Prefixe {
  fs::path racine = fs::temp_directory_path() / ("il3-bench-" + std::to_string(::getpid()));
  Prefixe() {
    fs::remove_all(racine);
    fs::create_directories(racine / "drive_c/windows");
    platform::Configure({racine.string(), "C:\\App\\"});
  }
  ~Prefixe() { fs::remove_all(racine); }
  void vider() {
    fs::remove_all(racine / "drive_c/Banc");
    fs::create_directories(racine / "drive_c/Banc/Config");
    platform::posix::ResetProfileCacheForTesting();
  }
};

void sequence() {
  platform::BeginCommand();
  settings::EcrireParametresGeneraux(EntreesDeBanc("C:\\Banc\\"));
  if (!platform::EndCommand().empty()) std::abort();
}

// First run: the four files grow from nothing to their full size.
void BM_GeneralFirstRun(benchmark::State& state) {
  Prefixe p;
  for (auto _ : state) {
    state.PauseTiming();
    p.vider();
    state.ResumeTiming();
    sequence();
  }
  state.counters["keys"] = 42 + 41 * 5 + 21 + 2 * 5 + 333 + 390;
}
BENCHMARK(BM_GeneralFirstRun)->Unit(benchmark::kMillisecond);

// Second run over full files: nothing to write.
void BM_GeneralSecondRun(benchmark::State& state) {
  Prefixe p;
  p.vider();
  sequence();
  for (auto _ : state) sequence();
}
BENCHMARK(BM_GeneralSecondRun)->Unit(benchmark::kMillisecond);

// The floor: the four final files written once each, flushed, renamed into place.
void BM_WriteFourFinalFilesOnce(benchmark::State& state) {
  Prefixe p;
  p.vider();
  sequence();
  std::array<std::string, 4> contenus;
  for (int i = 0; i < 4; ++i) {
    std::ifstream in(p.racine / "drive_c/Banc/Config" / kFichiers[i], std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    contenus[i] = ss.str();
  }
  const fs::path dossier = p.racine / "drive_c/Banc/Config";
  for (auto _ : state) {
    for (int i = 0; i < 4; ++i) {
      const std::string tmp = (dossier / (std::string(".") + kFichiers[i] + ".tmp")).string();
      const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0 || ::write(fd, contenus[i].data(), contenus[i].size()) != static_cast<ssize_t>(contenus[i].size()) ||
          ::fsync(fd) != 0)
        std::abort();
      ::close(fd);
      std::rename(tmp.c_str(), (dossier / kFichiers[i]).c_str());
    }
    const int d = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(d);
    ::close(d);
  }
}
BENCHMARK(BM_WriteFourFinalFilesOnce)->Unit(benchmark::kMillisecond);

// The same first run through Wine's profile functions: the Windows build of the
// same code, timed inside Wine so that Wine's start-up is not counted.
void BM_GeneralFirstRunUnderWine(benchmark::State& state) {
  const char* exe = std::getenv("IL3_BENCH_WIN_EXE");
  const char* wine = std::getenv("IL3_WINE_RUN");
  if (!exe || !wine) {
    state.SkipWithError("IL3_BENCH_WIN_EXE / IL3_WINE_RUN not set: no Wine comparison");
    return;
  }
  for (auto _ : state) {
    const std::string cmd = std::string(wine) + " " + exe + " 3";
    FILE* f = ::popen(cmd.c_str(), "r");
    double ms = 0;
    if (!f || std::fscanf(f, "%lf", &ms) != 1) {
      state.SkipWithError("the Windows benchmark program did not answer");
      if (f) ::pclose(f);
      return;
    }
    ::pclose(f);
    state.SetIterationTime(ms / 1000.0);
  }
}
BENCHMARK(BM_GeneralFirstRunUnderWine)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
