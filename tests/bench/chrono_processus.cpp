// Whole-process timings of programs compared with one another: each started the
// same way (spawned directly, no shell, output thrown away), a preparation step
// run untimed before each start, and the programs taken in turn, round after
// round, so that every one of them meets the same machine.
//
//   chrono_processus [-n ROUNDS] GROUP [::: GROUP]...
//   GROUP: -l NAME [-p SHELL_COMMAND] -- PROGRAM ARGUMENTS...
//
// Prints one line per group: its name, the median and the minimum in
// microseconds, the median peak resident memory in kilobytes, the worst exit
// status seen, and the median count of page faults (memory touched for the first
// time, which costs more than instructions on some machines).
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

struct Groupe {
  std::string nom;
  const char* preparation = nullptr;
  std::vector<char*> argv;
  std::vector<long long> durees;
  std::vector<long> memoires;
  std::vector<long> fautes;
  int pire = 0;
};

bool preparer(const char* commande) {
  if (!commande) return true;
  const int r = std::system(commande);
  return r != -1 && WIFEXITED(r) && WEXITSTATUS(r) == 0;
}

bool lancer(Groupe& g, bool compter) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  timespec t0{}, t1{};
  clock_gettime(CLOCK_MONOTONIC, &t0);
  pid_t pid = 0;
  const int e = posix_spawn(&pid, g.argv[0], &actions, nullptr, g.argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (e != 0) {
    std::fprintf(stderr, "chrono_processus: %s: %s\n", g.argv[0], std::strerror(e));
    return false;
  }
  int statut = 0;
  rusage ru{};
  if (wait4(pid, &statut, 0, &ru) != pid) return false;
  clock_gettime(CLOCK_MONOTONIC, &t1);
  if (!compter) return true;
  g.durees.push_back((t1.tv_sec - t0.tv_sec) * 1000000LL + (t1.tv_nsec - t0.tv_nsec) / 1000);
  g.memoires.push_back(ru.ru_maxrss);
  g.fautes.push_back(ru.ru_minflt + ru.ru_majflt);
  g.pire = std::max(g.pire, WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut));
  return true;
}

template <typename T>
T mediane(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Groups from the command line; empty when it is wrong.
std::vector<Groupe> lireGroupes(int argc, char** argv, int* tours) {
  std::vector<Groupe> groupes(1);
  for (int i = 1; i < argc; ++i) {
    Groupe& g = groupes.back();
    const std::string a = argv[i];
    if (a == "-n" && i + 1 < argc) {
      *tours = std::max(1, std::atoi(argv[++i]));
    } else if (a == "-l" && i + 1 < argc) {
      g.nom = argv[++i];
    } else if (a == "-p" && i + 1 < argc) {
      g.preparation = argv[++i];
    } else if (a == "--") {
      for (++i; i < argc && std::strcmp(argv[i], ":::") != 0; ++i) g.argv.push_back(argv[i]);
      if (g.argv.empty() || g.nom.empty()) return {};
      g.argv.push_back(nullptr);
      if (i < argc) groupes.emplace_back();
    } else {
      return {};
    }
  }
  if (groupes.back().argv.empty()) return {};
  return groupes;
}

}  // namespace

int main(int argc, char** argv) {
  int tours = 31;
  std::vector<Groupe> groupes = lireGroupes(argc, argv, &tours);
  if (groupes.empty()) {
    std::fprintf(stderr,
                 "usage: chrono_processus [-n TOURS] -l NOM [-p PREPARATION] -- PROGRAMME ARGS... [::: ...]\n");
    return 2;
  }
  // One round outside the count, so that every counted one finds the same caches.
  for (int k = 0; k <= tours; ++k) {
    for (Groupe& g : groupes) {
      if (!preparer(g.preparation)) {
        std::fprintf(stderr, "chrono_processus: la préparation a échoué: %s\n", g.preparation);
        return 1;
      }
      if (!lancer(g, k > 0)) return 1;
    }
  }
  for (const Groupe& g : groupes)
    std::printf("%s %lld %lld %ld %d %ld\n", g.nom.c_str(), mediane(g.durees),
                *std::min_element(g.durees.begin(), g.durees.end()), mediane(g.memoires), g.pire,
                mediane(g.fautes));
  return 0;
}
