// The general button's first run through the Windows profile functions, timed
// from inside: prints the mean time of one run in milliseconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/sequence_generale.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  const int tours = argc > 1 ? std::atoi(argv[1]) : 3;
  const std::string racine = "C:\\il3-bench\\";
  const char* fichiers[] = {"Kv_Sys.ini", "IL3_Systeme.ini", "KV_Mus.ini", "KV_Pub.ini"};
  CreateDirectoryA(racine.c_str(), nullptr);
  CreateDirectoryA((racine + "Config").c_str(), nullptr);
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  double total = 0;
  for (int i = 0; i < tours; ++i) {
    for (const char* n : fichiers) DeleteFileA((racine + "Config\\" + n).c_str());
    QueryPerformanceCounter(&t0);
    settings::EcrireParametresGeneraux(EntreesDeBanc(racine));
    QueryPerformanceCounter(&t1);
    total += double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(f.QuadPart);
  }
  std::printf("%.3f\n", total / tours);
  return 0;
}
