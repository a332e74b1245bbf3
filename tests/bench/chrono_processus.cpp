// Whole-process timings, every program started the same way: spawned directly
// (no shell), its output thrown away, a preparation step run untimed before each
// start. Prints one line: median and minimum in microseconds, median peak
// resident memory in kilobytes, and the worst exit status seen.
//
//   chrono_processus [-n RUNS] [-p SHELL_COMMAND] -- PROGRAM ARGUMENTS...
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Mesure {
  long long us = 0;
  long kb = 0;
  int statut = 0;
};

bool preparer(const char* commande) {
  if (!commande) return true;
  const int r = std::system(commande);
  return r != -1 && WIFEXITED(r) && WEXITSTATUS(r) == 0;
}

bool lancer(char** argv, Mesure* m) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  timespec t0{}, t1{};
  clock_gettime(CLOCK_MONOTONIC, &t0);
  pid_t pid = 0;
  const int e = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (e != 0) {
    std::fprintf(stderr, "chrono_processus: %s: %s\n", argv[0], std::strerror(e));
    return false;
  }
  int statut = 0;
  rusage ru{};
  if (wait4(pid, &statut, 0, &ru) != pid) return false;
  clock_gettime(CLOCK_MONOTONIC, &t1);
  m->us = (t1.tv_sec - t0.tv_sec) * 1000000LL + (t1.tv_nsec - t0.tv_nsec) / 1000;
  m->kb = ru.ru_maxrss;
  m->statut = WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut);
  return true;
}

template <typename T>
T mediane(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int essais = 31;
  const char* preparation = nullptr;
  int i = 1;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (std::strcmp(argv[i], "-n") == 0 && i + 1 < argc)
      essais = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "-p") == 0 && i + 1 < argc)
      preparation = argv[++i];
  }
  if (i + 1 >= argc) {
    std::fprintf(stderr, "usage: chrono_processus [-n ESSAIS] [-p PREPARATION] -- PROGRAMME ARGS...\n");
    return 2;
  }
  char** programme = argv + i + 1;
  std::vector<long long> durees;
  std::vector<long> memoires;
  int pire = 0;
  // One start outside the count, so that every counted one finds the same caches.
  for (int k = 0; k <= essais; ++k) {
    Mesure m;
    if (!preparer(preparation)) {
      std::fprintf(stderr, "chrono_processus: la préparation a échoué: %s\n", preparation);
      return 1;
    }
    if (!lancer(programme, &m)) return 1;
    if (k == 0) continue;
    durees.push_back(m.us);
    memoires.push_back(m.kb);
    pire = std::max(pire, m.statut);
  }
  std::printf("%lld %lld %ld %d\n", mediane(durees), *std::min_element(durees.begin(), durees.end()),
              mediane(memoires), pire);
  return 0;
}
