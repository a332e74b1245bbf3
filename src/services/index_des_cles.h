// The keys of one settings file that the report already holds.
#pragma once

#include <cstddef>
#include <vector>


namespace journal {

// The keys of one file already reported, by the hash of their folded names:
// added or changed, and where. Open addressing in one array, so that the
// thousand keys of a run cost no allocation each; the entry itself tells two
// names of one hash apart.
class IndexDesCles {
 public:
  struct Place {
    size_t hash = 0;
    bool ajoutee = false;
    size_t index = kLibre;
  };
  // The first place of hash `h` that `meme` accepts; null when none does.
  template <class Meme>
  Place* Trouver(size_t h, Meme meme) {
    if (places_.empty()) return nullptr;
    for (size_t i = h & (places_.size() - 1);; i = (i + 1) & (places_.size() - 1)) {
      Place& p = places_[i];
      if (p.index == kLibre) return nullptr;
      if (p.hash == h && meme(p)) return &p;
    }
  }
  // How many of the file's added and changed keys the index holds: keys known
  // to be new are reported without it, and it catches up when a lookup comes.
  size_t ajouteesCouvertes = 0, modifieesCouvertes = 0;

  void Ajouter(size_t h, bool ajoutee, size_t index) {
    if (2 * (occupees_ + 1) > places_.size()) agrandir();
    size_t i = h & (places_.size() - 1);
    while (places_[i].index != kLibre) i = (i + 1) & (places_.size() - 1);
    places_[i] = {h, ajoutee, index};
    ++occupees_;
  }

 private:
  static constexpr size_t kLibre = static_cast<size_t>(-1);
  void agrandir() {
    std::vector<Place> anciennes(places_.empty() ? 512 : 2 * places_.size());
    anciennes.swap(places_);
    occupees_ = 0;
    for (const Place& p : anciennes)
      if (p.index != kLibre) Ajouter(p.hash, p.ajoutee, p.index);
  }
  std::vector<Place> places_;  // a power of two, at most half full
  size_t occupees_ = 0;
};

}  // namespace journal
