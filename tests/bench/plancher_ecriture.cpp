// The floor of a first general run, as a whole process: the four final files,
// taken from a finished run, written once each into a folder, durably
// (temporary file, flush, rename), then the folder flushed once.
//
//   plancher_ecriture MODELE DESTINATION FICHIER...
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

bool lire(const std::string& chemin, std::string* octets) {
  const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char tampon[65536];
  ssize_t n = 0;
  while ((n = ::read(fd, tampon, sizeof tampon)) > 0) octets->append(tampon, static_cast<size_t>(n));
  ::close(fd);
  return n == 0;
}

bool ecrire(const std::string& dossier, const std::string& nom, const std::string& octets) {
  const std::string tmp = dossier + "/." + nom + ".tmp";
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = ::write(fd, octets.data(), octets.size()) == static_cast<ssize_t>(octets.size()) && ::fsync(fd) == 0;
  ::close(fd);
  return ok && std::rename(tmp.c_str(), (dossier + "/" + nom).c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: plancher_ecriture MODELE DESTINATION FICHIER...\n");
    return 2;
  }
  const std::string modele = argv[1], destination = argv[2];
  for (int i = 3; i < argc; ++i) {
    std::string octets;
    if (!lire(modele + "/" + argv[i], &octets) || !ecrire(destination, argv[i], octets)) {
      std::perror(argv[i]);
      return 1;
    }
  }
  const int d = ::open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d < 0 || ::fsync(d) != 0) return 1;
  ::close(d);
  return 0;
}
