// A window program without a window: it says it started as the real one does,
// then shows what it was given, and ends as the test asks (IL3_FACTICE_STATUT;
// IL3_FACTICE_PID: writes its pid there and waits to be ended).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

int main(int argc, char** argv) {
  const std::string lanceur = platform::ProgramStarted();
  std::printf("lanceur=%s\n", lanceur.c_str());
  for (int i = 0; i < argc; ++i) std::printf("argv[%d]=%s\n", i, argv[i]);
  std::printf("lancement=%s\n", std::getenv("IL3_LANCEMENT") ? "encore là" : "retiré");
  std::fflush(stdout);
  std::fputs("écrit après le départ\n", stderr);
  if (const char* fichier = std::getenv("IL3_FACTICE_PID")) {
    if (FILE* f = std::fopen(fichier, "w")) {
      std::fprintf(f, "%d\n", static_cast<int>(getpid()));
      std::fclose(f);
    }
    for (int i = 0; i < 300; ++i) usleep(100000);
    return 9;
  }
  const char* statut = std::getenv("IL3_FACTICE_STATUT");
  return statut ? std::atoi(statut) : 0;
}
