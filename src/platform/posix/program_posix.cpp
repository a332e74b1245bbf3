// The window's program, started only when the window opens.
//
// A watched start rather than a bare exec: a program that cannot start (it is
// missing, or the loader lacks one of its Qt libraries) must get the French
// message any window that cannot open gets, naming what is missing, not the
// loader's English. So until the program's main says it runs (a byte on a pipe
// named in IL3_LANCEMENT) its standard error is kept back; one that ends before
// has not started, and the loader's own listing (LD_TRACE_LOADED_OBJECTS) names
// the library it lacked. Once it runs, what it wrote meanwhile goes on to
// standard error and the starter only waits, passing on the signals that ask a
// program to end. It stays in the starter's process group, so that a terminal's
// Ctrl-C reaches it directly.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/program_start.h"

extern char** environ;

namespace platform {

namespace posix {

namespace {

std::string sansFinDeLigne(std::string ligne) {
  while (!ligne.empty() && (ligne.back() == ' ' || ligne.back() == '\t' || ligne.back() == '\r')) ligne.pop_back();
  return ligne;
}

std::vector<std::string> lignes(const std::string& texte) {
  std::vector<std::string> l;
  size_t debut = 0;
  while (debut < texte.size()) {
    size_t fin = texte.find('\n', debut);
    if (fin == std::string::npos) fin = texte.size();
    l.push_back(sansFinDeLigne(texte.substr(debut, fin - debut)));
    debut = fin + 1;
  }
  return l;
}

}  // namespace

std::string MissingLibraryInTrace(const std::string& trace) {
  static const std::string kAbsente = " => not found";
  for (const std::string& ligne : lignes(trace)) {
    if (ligne.size() <= kAbsente.size() ||
        ligne.compare(ligne.size() - kAbsente.size(), kAbsente.size(), kAbsente) != 0)
      continue;
    const size_t debut = ligne.find_first_not_of(" \t");
    const std::string nom = ligne.substr(debut, ligne.size() - kAbsente.size() - debut);
    if (!nom.empty() && nom.find_first_of(" \t") == std::string::npos) return nom;
  }
  return "";
}

std::string MissingLibraryInError(const std::string& words) {
  static const std::string kChargement = "error while loading shared libraries: ";
  static const std::string kIntrouvable = ": cannot open shared object file";
  const size_t debut = words.find(kChargement);
  if (debut == std::string::npos) return "";
  const size_t nom = debut + kChargement.size();
  const size_t fin = words.find(kIntrouvable, nom);
  if (fin == std::string::npos || fin == nom || words.find('\n', nom) < fin) return "";
  return words.substr(nom, fin - nom);
}

std::string LoaderWords(const std::string& words, const std::string& path) {
  constexpr size_t kLongueurMax = 300;
  std::string une;
  for (std::string ligne : lignes(words)) {
    if (!path.empty() && ligne.compare(0, path.size() + 2, path + ": ") == 0) ligne.erase(0, path.size() + 2);
    if (ligne.empty()) continue;
    if (!une.empty()) une += "; ";
    une += ligne;
  }
  if (une.size() > kLongueurMax) {
    size_t coupe = kLongueurMax;
    while (coupe > 0 && (static_cast<unsigned char>(une[coupe]) & 0xC0) == 0x80) --coupe;
    une = une.substr(0, coupe) + "…";
  }
  return une;
}

}  // namespace posix

namespace {

// "READY_FD,STDERR_FD": the pipe to write once running, and the standard error
// to take back (-1: none was kept back). Then the starter's executable.
constexpr const char* kLancement = "IL3_LANCEMENT";
constexpr const char* kLanceur = "IL3_LANCEUR";
constexpr char kPret = 'P';
constexpr char kEchecExec = 'E';

// What asks a program to end, passed on to the started one.
constexpr int kRelayes[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

volatile sig_atomic_t g_enfant = 0;

void relayer(int signal) {
  const pid_t enfant = g_enfant;
  if (enfant > 0) ::kill(enfant, signal);
}

// While a child runs: the relayed signals caught, blocked until its pid is
// known; SIGCHLD at its default, so that the child can be waited for.
class Relais {
 public:
  Relais() {
    sigset_t bloques;
    sigemptyset(&bloques);
    for (int s : kRelayes) sigaddset(&bloques, s);
    ::sigprocmask(SIG_BLOCK, &bloques, &masque_);
    struct sigaction relais {};
    relais.sa_handler = relayer;
    sigemptyset(&relais.sa_mask);
    for (size_t i = 0; i < std::size(kRelayes); ++i) {
      ::sigaction(kRelayes[i], nullptr, &anciens_[i]);
      // A signal this program was told to ignore stays ignored, for the child too.
      installes_[i] = anciens_[i].sa_handler != SIG_IGN;
      if (installes_[i]) ::sigaction(kRelayes[i], &relais, nullptr);
    }
    struct sigaction defaut {};
    defaut.sa_handler = SIG_DFL;
    sigemptyset(&defaut.sa_mask);
    ::sigaction(SIGCHLD, &defaut, &ancienEnfant_);
  }
  ~Relais() { Finir(); }

  // In the child, before exec: nothing of the starter's own (async-signal-safe).
  void PourEnfant() const {
    struct sigaction defaut {};
    defaut.sa_handler = SIG_DFL;
    sigemptyset(&defaut.sa_mask);
    for (size_t i = 0; i < std::size(kRelayes); ++i)
      if (installes_[i]) ::sigaction(kRelayes[i], &defaut, nullptr);
    ::sigaction(SIGCHLD, &ancienEnfant_, nullptr);
    ::sigprocmask(SIG_SETMASK, &masque_, nullptr);
  }
  void Suivre(pid_t enfant) {
    g_enfant = enfant;
    ::sigprocmask(SIG_SETMASK, &masque_, nullptr);
  }
  void Finir() {
    if (fini_) return;
    fini_ = true;
    g_enfant = 0;
    for (size_t i = 0; i < std::size(kRelayes); ++i)
      if (installes_[i]) ::sigaction(kRelayes[i], &anciens_[i], nullptr);
    ::sigaction(SIGCHLD, &ancienEnfant_, nullptr);
    ::sigprocmask(SIG_SETMASK, &masque_, nullptr);
  }

 private:
  sigset_t masque_{};
  struct sigaction anciens_[std::size(kRelayes)] {};
  bool installes_[std::size(kRelayes)] = {};
  struct sigaction ancienEnfant_ {};
  bool fini_ = false;
};

std::string executable() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

// This process's environment, with `ajouts` ("NAME=value") in place of any
// variable of the same name.
std::vector<std::string> environnement(const std::vector<std::string>& ajouts) {
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    const std::string v(*e);
    bool remplacee = false;
    for (const std::string& a : ajouts) remplacee = remplacee || v.compare(0, a.find('=') + 1, a, 0, a.find('=') + 1) == 0;
    if (!remplacee) env.push_back(v);
  }
  env.insert(env.end(), ajouts.begin(), ajouts.end());
  return env;
}

std::vector<char*> pointeurs(std::vector<std::string>& chaines) {
  std::vector<char*> p;
  for (std::string& c : chaines) p.push_back(c.data());
  p.push_back(nullptr);
  return p;
}

// Appends what `fd` holds now; false once it has ended (or failed).
bool lire(int fd, std::string* dans) {
  char buf[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
      dans->append(buf, static_cast<size_t>(n));
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && errno == EAGAIN;
  }
}

// Whatever is left in a pipe whose writers are done, without waiting on one
// that a stray process might still hold.
void vider(int fd, std::string* dans) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  for (;;) {
    const size_t avant = dans->size();
    if (!lire(fd, dans) || dans->size() == avant) return;
  }
}

void ecrireTout(int fd, const std::string& texte) {
  size_t fait = 0;
  while (fait < texte.size()) {
    const ssize_t n = ::write(fd, texte.data() + fait, texte.size() - fait);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    fait += static_cast<size_t>(n);
  }
}

int attendre(pid_t pid) {
  int statut = 0;
  while (::waitpid(pid, &statut, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return statut;
}

// Interrupted or asked to end: the started program's caller (a shell, a
// script) must see this one end the same way.
[[noreturn]] void finirCommeEnfant(int signal) {
  std::fflush(nullptr);
  ::signal(signal, SIG_DFL);
  sigset_t seul;
  sigemptyset(&seul);
  sigaddset(&seul, signal);
  ::sigprocmask(SIG_UNBLOCK, &seul, nullptr);
  ::raise(signal);
  std::_Exit(128 + signal);
}

bool demandeDeFin(int signal) {
  return signal == SIGINT || signal == SIGTERM || signal == SIGHUP || signal == SIGKILL;
}

// The loader's listing of the program's libraries: it runs nothing of the
// program, and marks each one it cannot find.
std::string tracer(const std::string& chemin) {
  int tube[2];
  if (::pipe2(tube, O_CLOEXEC) != 0) return "";
  std::vector<std::string> env = environnement({"LD_TRACE_LOADED_OBJECTS=1"});
  std::vector<char*> envp = pointeurs(env);
  std::string programme = chemin;
  char* argv[] = {programme.data(), nullptr};
  const pid_t pid = ::fork();
  if (pid == 0) {
    // A program that is no dynamic one would run for real: it gets no input.
    const int rien = ::open("/dev/null", O_RDONLY);
    if (rien >= 0) ::dup2(rien, 0);
    ::dup2(tube[1], 1);
    ::dup2(tube[1], 2);
    ::execve(chemin.c_str(), argv, envp.data());
    ::_exit(127);
  }
  ::close(tube[1]);
  std::string liste;
  if (pid > 0) {
    while (lire(tube[0], &liste)) {
    }
    attendre(pid);
  }
  ::close(tube[0]);
  return liste;
}

std::string finAvantPret(int statut) {
  if (WIFSIGNALED(statut)) {
    const int s = WTERMSIG(statut);
    const char* nom = ::strsignal(s);
    return "terminé avant d'être prêt, par le signal " + std::to_string(s) + (nom ? std::string(" (") + nom + ")" : "");
  }
  return "terminé avant d'être prêt, statut " + std::to_string(WIFEXITED(statut) ? WEXITSTATUS(statut) : statut);
}

}  // namespace

ProgramRun RunProgram(const std::string& relativePath, char** argv) {
  using Echec = ProgramRun::Failure;
  ProgramRun r;
  const std::string soi = executable();
  const size_t slash = soi.find_last_of('/');
  const std::string dossier = slash == std::string::npos ? "." : slash == 0 ? "/" : soi.substr(0, slash);
  std::error_code ec;
  r.path = std::filesystem::weakly_canonical(dossier + "/" + relativePath, ec).string();
  if (ec || r.path.empty()) r.path = dossier + "/" + relativePath;
  const auto echec = [&r](Echec f, const std::string& detail) {
    r.failure = f;
    r.detail = detail;
    return r;
  };
  struct stat st;
  if (::stat(r.path.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? echec(Echec::Missing, "") : echec(Echec::Unusable, std::strerror(errno));

  int pret[2];
  if (::pipe2(pret, O_CLOEXEC) != 0) return echec(Echec::Unusable, std::strerror(errno));
  // The child's ends outlive its exec; this process's are closed by it.
  const int pretEnfant = ::fcntl(pret[1], F_DUPFD, 3);
  if (pretEnfant < 0) {
    const int e = errno;
    ::close(pret[0]);
    ::close(pret[1]);
    return echec(Echec::Unusable, std::strerror(e));
  }
  int origine = ::fcntl(2, F_DUPFD, 3);  // none when this process has no standard error
  int erreur[2] = {-1, -1};
  const bool garder = origine >= 0 && ::pipe2(erreur, O_CLOEXEC) == 0;
  if (!garder && origine >= 0) {
    ::close(origine);
    origine = -1;
  }
  std::vector<std::string> env = environnement(
      {std::string(kLancement) + "=" + std::to_string(pretEnfant) + "," + std::to_string(origine),
       std::string(kLanceur) + "=" + soi});
  std::vector<char*> envp = pointeurs(env);
  std::fflush(nullptr);

  Relais relais;
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (garder) ::dup2(erreur[1], 2);
    relais.PourEnfant();
    ::execve(r.path.c_str(), argv, envp.data());
    char message[1 + sizeof(int)] = {kEchecExec};
    const int e = errno;
    std::memcpy(message + 1, &e, sizeof e);
    [[maybe_unused]] const ssize_t n = ::write(pret[1], message, sizeof message);
    ::_exit(127);
  }
  const int errFork = errno;
  if (pid > 0) relais.Suivre(pid);
  for (int fd : {pret[1], pretEnfant, erreur[1], origine})
    if (fd >= 0) ::close(fd);
  if (pid < 0) {
    ::close(pret[0]);
    if (garder) ::close(erreur[0]);
    return echec(Echec::Unusable, std::strerror(errFork));
  }

  // Until the child runs, or ends: its standard error kept, its word awaited.
  std::string premiers;
  std::string mot;
  bool erreurOuverte = garder;
  for (;;) {
    pollfd fds[2] = {{pret[0], POLLIN, 0}, {erreurOuverte ? erreur[0] : -1, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents != 0 && !lire(erreur[0], &premiers)) erreurOuverte = false;
    if (fds[0].revents != 0) {
      const size_t avant = mot.size();
      const bool ouvert = lire(pret[0], &mot);
      if (!ouvert || mot.size() == avant) break;
      if (mot[0] != kEchecExec || mot.size() >= 1 + sizeof(int)) break;
    }
  }
  ::close(pret[0]);
  const bool lance = !mot.empty() && mot[0] != kEchecExec;

  if (lance) {
    if (garder) {
      vider(erreur[0], &premiers);
      ::close(erreur[0]);
      ecrireTout(2, premiers);
    }
    const int statut = attendre(pid);
    relais.Finir();
    if (WIFSIGNALED(statut)) {
      if (demandeDeFin(WTERMSIG(statut))) finirCommeEnfant(WTERMSIG(statut));
      r.status = 128 + WTERMSIG(statut);
    } else {
      r.status = WIFEXITED(statut) ? WEXITSTATUS(statut) : 1;
    }
    return r;
  }

  const int statut = attendre(pid);
  relais.Finir();
  if (garder) {
    vider(erreur[0], &premiers);
    ::close(erreur[0]);
  }
  if (!mot.empty()) {
    int e = EIO;
    if (mot.size() >= 1 + sizeof e) std::memcpy(&e, mot.data() + 1, sizeof e);
    if (e == ENOENT && ::stat(r.path.c_str(), &st) != 0) return echec(Echec::Missing, "");
    return echec(Echec::Unusable, std::strerror(e));
  }
  if (WIFSIGNALED(statut) && demandeDeFin(WTERMSIG(statut))) finirCommeEnfant(WTERMSIG(statut));
  // The loader ends a program it cannot load with status 127.
  if (WIFEXITED(statut) && WEXITSTATUS(statut) == 127) {
    std::string bibliotheque = posix::MissingLibraryInTrace(tracer(r.path));
    if (bibliotheque.empty()) bibliotheque = posix::MissingLibraryInError(premiers);
    if (!bibliotheque.empty()) {
      r.library = bibliotheque;
      return echec(Echec::LibraryMissing, posix::LoaderWords(premiers, argv[0] ? argv[0] : ""));
    }
  }
  const std::string mots = posix::LoaderWords(premiers, argv[0] ? argv[0] : "");
  return echec(Echec::Unusable, finAvantPret(statut) + (mots.empty() ? "" : ": " + mots));
}

std::string ProgramStarted() {
  const char* lancement = std::getenv(kLancement);
  if (!lancement) return "";
  const char* lanceur = std::getenv(kLanceur);
  const std::string starter = lanceur ? lanceur : "";
  // Two numbers, a comma between, and nothing else.
  const char* p = lancement;
  const auto nombre = [&p](long* n) {
    char* fin = nullptr;
    *n = std::strtol(p, &fin, 10);
    const bool lu = fin != p;
    p = fin;
    return lu;
  };
  long pret = -1, erreur = -1;
  bool valable = nombre(&pret) && *p == ',';
  if (valable) ++p;
  valable = valable && nombre(&erreur) && *p == '\0';
  // Not for the programs this one starts.
  ::unsetenv(kLancement);
  ::unsetenv(kLanceur);
  if (!valable) return "";
  posix::SetStarter(starter);
  // Only descriptors the starter left: ours above the standard three, the word's a pipe.
  if (erreur > 2 && erreur < 65536 && ::fcntl(static_cast<int>(erreur), F_GETFD) != -1) {
    ::dup2(static_cast<int>(erreur), 2);
    ::close(static_cast<int>(erreur));
  }
  struct stat st;
  if (pret > 2 && pret < 65536 && ::fstat(static_cast<int>(pret), &st) == 0 && S_ISFIFO(st.st_mode)) {
    [[maybe_unused]] const ssize_t n = ::write(static_cast<int>(pret), &kPret, 1);
    ::close(static_cast<int>(pret));
  }
  return starter;
}

}  // namespace platform
