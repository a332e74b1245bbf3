// IL3_Setup.com: a console program that runs IL3_Setup.exe, the GUI program
// beside it. cmd prefers .com to .exe for a bare "IL3_Setup", and waits only
// for console programs: through this relay a prompt waits for the run, shows
// its output as it comes and gets its exit status, while a double-click on the
// .exe still opens the window without a console.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <string>

namespace {

constexpr int kStatutUsage = 2;  // what the program itself returns for a command line it cannot run

std::atomic<HANDLE> g_travail{nullptr};    // the job that holds the child
std::atomic<HANDLE> g_processus{nullptr};  // the child, when it could not be put in a job
std::atomic<bool> g_interrompu{false};

void arreterEnfant() {
  if (HANDLE j = g_travail.load())
    TerminateJobObject(j, static_cast<UINT>(STATUS_CONTROL_C_EXIT));
  else if (HANDLE p = g_processus.load())
    TerminateProcess(p, static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

// The child is a GUI program: Ctrl+C and the console's close box reach only
// us. It ends with us, and we return its status as usual.
BOOL WINAPI surInterruption(DWORD) {
  g_interrompu = true;
  arreterEnfant();
  return TRUE;
}

void ecrireErreur(const std::wstring& texte) {
  HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
  if (!h || h == INVALID_HANDLE_VALUE) return;
  DWORD n = 0, mode = 0;
  if (GetConsoleMode(h, &mode)) {
    WriteConsoleW(h, texte.data(), static_cast<DWORD>(texte.size()), &n, nullptr);
    return;
  }
  // Pipes and files get UTF-8, as the program's own messages.
  const int taille = WideCharToMultiByte(CP_UTF8, 0, texte.data(), static_cast<int>(texte.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string octets(taille > 0 ? taille : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, texte.data(), static_cast<int>(texte.size()), octets.data(), taille, nullptr,
                      nullptr);
  WriteFile(h, octets.data(), static_cast<DWORD>(octets.size()), &n, nullptr);
}

std::wstring cheminModule() {
  std::wstring chemin(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, chemin.data(), static_cast<DWORD>(chemin.size()));
    if (n == 0) return {};
    if (n < chemin.size()) {
      chemin.resize(n);
      return chemin;
    }
    chemin.resize(chemin.size() * 2);
  }
}

// What follows the program's name on our command line, as it was typed: the
// name ends as the runtime's argv[0] does (at the closing quote, or at the
// first blank), so the child reads the same arguments.
std::wstring suiteLigne() {
  const wchar_t* l = GetCommandLineW();
  if (*l == L'"') {
    ++l;
    while (*l && *l != L'"') ++l;
    if (*l) ++l;
  } else {
    while (*l && *l != L' ' && *l != L'\t') ++l;
  }
  std::wstring suite = l;
  if (!suite.empty() && suite[0] != L' ' && suite[0] != L'\t') suite.insert(0, 1, L' ');
  return suite;
}

// The child writes to these very handles, so its lines come as it prints them
// and a redirection or a pipe of ours is its too.
void heritable(DWORD quel, HANDLE* h) {
  *h = GetStdHandle(quel);
  if (*h && *h != INVALID_HANDLE_VALUE) SetHandleInformation(*h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}

HANDLE travailQuiTueEnFermant() {
  HANDLE j = CreateJobObjectW(nullptr, nullptr);
  if (!j) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limites{};
  limites.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(j, JobObjectExtendedLimitInformation, &limites, sizeof limites)) {
    CloseHandle(j);
    return nullptr;
  }
  return j;
}

}  // namespace

int main() {
  std::wstring exe = cheminModule();
  const size_t barre = exe.find_last_of(L"\\/");
  exe = (barre == std::wstring::npos ? std::wstring() : exe.substr(0, barre + 1)) + L"IL3_Setup.exe";
  const DWORD attributs = GetFileAttributesW(exe.c_str());
  if (attributs == INVALID_FILE_ATTRIBUTES || (attributs & FILE_ATTRIBUTE_DIRECTORY)) {
    ecrireErreur(L"IL3_Setup.exe introuvable \u00E0 c\u00F4t\u00E9 de IL3_Setup.com: " + exe + L"\r\n");
    return kStatutUsage;
  }

  std::wstring ligne = L"\"" + exe + L"\"" + suiteLigne();
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  heritable(STD_INPUT_HANDLE, &si.hStdInput);
  heritable(STD_OUTPUT_HANDLE, &si.hStdOutput);
  heritable(STD_ERROR_HANDLE, &si.hStdError);

  SetConsoleCtrlHandler(surInterruption, TRUE);
  // The program writes UTF-8 and, given our console's handles, does not set
  // the console's code page itself: it is set for its run, then put back.
  const UINT pageAvant = GetConsoleOutputCP();
  if (pageAvant && pageAvant != CP_UTF8) SetConsoleOutputCP(CP_UTF8);

  // Suspended until it is in the job, so that nothing it starts escapes it.
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), ligne.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                      &pi)) {
    const DWORD erreur = GetLastError();
    if (pageAvant && pageAvant != CP_UTF8) SetConsoleOutputCP(pageAvant);
    ecrireErreur(L"IL3_Setup.exe impossible \u00E0 lancer (erreur Windows " + std::to_wstring(erreur) + L"): " +
                 exe + L"\r\n");
    return kStatutUsage;
  }
  // Windows 7 nests no jobs: inside someone else's, the child is ended by hand.
  if (HANDLE j = travailQuiTueEnFermant()) {
    if (AssignProcessToJobObject(j, pi.hProcess))
      g_travail = j;
    else
      CloseHandle(j);
  }
  g_processus = pi.hProcess;
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  if (g_interrompu) arreterEnfant();

  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD statut = 1;
  GetExitCodeProcess(pi.hProcess, &statut);
  if (pageAvant && pageAvant != CP_UTF8) SetConsoleOutputCP(pageAvant);
  ExitProcess(statut);
}
