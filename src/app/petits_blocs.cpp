// The program's small blocks (names, values, lines, list and map nodes: a run
// makes thousands of them, a few dozen bytes each) come from chunks of one size
// class each and go back to that class's free list, so that taking and giving
// back one costs a few instructions instead of the C library's bookkeeping.
// Larger blocks, and every block once the reserved region is used up, are the
// C library's. The program is single-threaded; the window is a program of its
// own and keeps the C library's allocator.
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr size_t kPas = 16;                   // every class a multiple of the alignment new guarantees
constexpr size_t kClasses = 16;               // up to 256 bytes
constexpr size_t kChunk = size_t{1} << 16;    // one class per 64 KiB
constexpr size_t kRegion = size_t{1} << 28;   // reserved, not committed: pages are taken as they are touched
constexpr size_t kChunks = kRegion / kChunk;

struct Libre {
  Libre* suivant;
};

struct Tas {
  char* base = nullptr;       // the region, reserved at the first block
  bool indisponible = false;  // the region could not be reserved: the C library serves everything
  size_t chunksPris = 0;
  Libre* libres[kClasses] = {};
  char* courant[kClasses] = {};  // the unused rest of each class's latest chunk
  char* fin[kClasses] = {};
  unsigned char classeDuChunk[kChunks] = {};
};
// Zero-initialised storage: usable before any constructor of the program runs.
Tas g_tas;

bool reserver() {
  if (g_tas.indisponible) return false;
  void* p = ::mmap(nullptr, kRegion, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) {
    g_tas.indisponible = true;
    return false;
  }
  g_tas.base = static_cast<char*>(p);
  return true;
}

void* prendre(size_t taille) {
  if (taille == 0) taille = 1;
  if (taille > kPas * kClasses) return nullptr;
  const size_t c = (taille - 1) / kPas;
  if (Libre* l = g_tas.libres[c]) {
    g_tas.libres[c] = l->suivant;
    return l;
  }
  const size_t octets = (c + 1) * kPas;
  if (!g_tas.courant[c] || octets > static_cast<size_t>(g_tas.fin[c] - g_tas.courant[c])) {
    if (!g_tas.base && !reserver()) return nullptr;
    if (g_tas.chunksPris == kChunks) return nullptr;
    const size_t n = g_tas.chunksPris++;
    g_tas.classeDuChunk[n] = static_cast<unsigned char>(c);
    g_tas.courant[c] = g_tas.base + n * kChunk;
    g_tas.fin[c] = g_tas.courant[c] + kChunk;
  }
  void* p = g_tas.courant[c];
  g_tas.courant[c] += octets;
  return p;
}

void rendre(void* p) {
  if (!p) return;
  const char* o = static_cast<const char*>(p);
  if (g_tas.base && o >= g_tas.base && o < g_tas.base + kRegion) {
    const size_t c = g_tas.classeDuChunk[static_cast<size_t>(o - g_tas.base) / kChunk];
    Libre* l = static_cast<Libre*>(p);
    l->suivant = g_tas.libres[c];
    g_tas.libres[c] = l;
    return;
  }
  std::free(p);
}

void* allouer(size_t taille) {
  if (void* p = prendre(taille)) return p;
  for (;;) {
    if (void* p = std::malloc(taille ? taille : 1)) return p;
    std::new_handler h = std::get_new_handler();
    if (!h) throw std::bad_alloc();
    h();
  }
}

}  // namespace

void* operator new(size_t taille) { return allouer(taille); }
void* operator new[](size_t taille) { return allouer(taille); }
void* operator new(size_t taille, const std::nothrow_t&) noexcept {
  try {
    return allouer(taille);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t taille, const std::nothrow_t&) noexcept {
  try {
    return allouer(taille);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { rendre(p); }
void operator delete[](void* p) noexcept { rendre(p); }
void operator delete(void* p, size_t) noexcept { rendre(p); }
void operator delete[](void* p, size_t) noexcept { rendre(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { rendre(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { rendre(p); }
