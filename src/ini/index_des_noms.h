// Names of one file (its sections, or the keys of one section) to what they
// lead to, compared folded. Each call hashes its name once and hands the hash
// on: a run looks a thousand names up and inserts most of them right after.
// Open addressing over entries kept in insertion order; with `Stable`, an
// entry stays where it is while others are added.
#pragma once

#include <cstdint>
#include <deque>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "ini/profile_text.h"

namespace ini {

template <class T, bool Stable = false>
class IndexDesNoms {
 public:
  struct Entree {
    size_t hash;
    std::string_view nom;  // a view into the text that holds the name
    T valeur;
  };
  static constexpr uint32_t kAucune = UINT32_MAX;

  static size_t Hash(std::string_view nom) { return FoldedHash{}(nom); }

  // The entry's number, or kAucune.
  uint32_t Trouver(std::string_view nom, size_t hash) const {
    if (places_.empty()) return kAucune;
    const size_t masque = places_.size() - 1;
    for (size_t i = hash & masque;; i = (i + 1) & masque) {
      const uint32_t p = places_[i];
      if (p == 0) return kAucune;
      const Entree& e = entrees_[p - 1];
      if (e.hash == hash && FoldedEqual{}(e.nom, nom)) return p - 1;
    }
  }

  // The entry of `nom`, made (its value default) when there is none; whether it was made.
  std::pair<uint32_t, bool> Inserer(std::string_view nom, size_t hash) {
    if (const uint32_t n = Trouver(nom, hash); n != kAucune) return {n, false};
    return {Ajouter(nom, hash), true};
  }
  // The entry of a name that Trouver just missed.
  uint32_t Ajouter(std::string_view nom, size_t hash) {
    if ((entrees_.size() + 1) * 2 > places_.size()) Agrandir();
    entrees_.push_back({hash, nom, T{}});
    placer(static_cast<uint32_t>(entrees_.size()));
    return static_cast<uint32_t>(entrees_.size() - 1);
  }

  Entree& operator[](uint32_t n) { return entrees_[n]; }
  const Entree& operator[](uint32_t n) const { return entrees_[n]; }
  size_t size() const { return entrees_.size(); }
  void clear() {
    entrees_.clear();
    places_.clear();
  }

 private:
  void placer(uint32_t numeroPlusUn) {
    const size_t masque = places_.size() - 1;
    size_t i = entrees_[numeroPlusUn - 1].hash & masque;
    while (places_[i] != 0) i = (i + 1) & masque;
    places_[i] = numeroPlusUn;
  }
  void Agrandir() {
    places_.assign(places_.empty() ? 32 : places_.size() * 2, 0);
    for (uint32_t n = 1; n <= entrees_.size(); ++n) placer(n);
  }

  std::conditional_t<Stable, std::deque<Entree>, std::vector<Entree>> entrees_;
  std::vector<uint32_t> places_;  // 0: free; else an entry's number plus one
};

}  // namespace ini
