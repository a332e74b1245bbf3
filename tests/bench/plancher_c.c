/* The physical floor of a first general run: the four final files, taken from
 * a finished run, written once each into a folder, durably (temporary file,
 * flush, rename), then the folder flushed once, by a process with nothing to
 * start but the C library.
 *
 *   plancher_c MODELE DESTINATION FICHIER... */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static char octets[1 << 20];

static int copier(const char* modele, const char* destination, const char* nom) {
  char source[4096], tmp[4096], final[4096];
  snprintf(source, sizeof source, "%s/%s", modele, nom);
  snprintf(tmp, sizeof tmp, "%s/.%s.tmp", destination, nom);
  snprintf(final, sizeof final, "%s/%s", destination, nom);
  const int in = open(source, O_RDONLY | O_CLOEXEC);
  if (in < 0) return -1;
  ssize_t n = 0, lu;
  while ((lu = read(in, octets + n, sizeof octets - (size_t)n)) > 0) n += lu;
  close(in);
  if (lu < 0) return -1;
  const int out = open(tmp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) return -1;
  const int ok = write(out, octets, (size_t)n) == n && fsync(out) == 0;
  close(out);
  return ok && rename(tmp, final) == 0 ? 0 : -1;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fputs("usage: plancher_c MODELE DESTINATION FICHIER...\n", stderr);
    return 2;
  }
  for (int i = 3; i < argc; ++i)
    if (copier(argv[1], argv[2], argv[i]) != 0) {
      perror(argv[i]);
      return 1;
    }
  const int d = open(argv[2], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d < 0 || fsync(d) != 0) return 1;
  close(d);
  return 0;
}
