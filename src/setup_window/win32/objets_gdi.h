// Ownership of the window's GDI objects and icons: each is released exactly
// once, when its owner goes.
#pragma once

#include <utility>

#include "setup_window/win32/api_fenetre.h"

namespace fenetre::win32 {

template <typename Poignee, auto Liberer>
class Possede {
 public:
  Possede() = default;
  explicit Possede(Poignee h) : h_(h) {}
  ~Possede() { reset(); }
  Possede(Possede&& autre) noexcept : h_(std::exchange(autre.h_, nullptr)) {}
  Possede& operator=(Possede&& autre) noexcept {
    if (this != &autre) {
      reset();
      h_ = std::exchange(autre.h_, nullptr);
    }
    return *this;
  }
  Possede(const Possede&) = delete;
  Possede& operator=(const Possede&) = delete;

  Poignee get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void reset(Poignee h = nullptr) {
    if (h_) Liberer(h_);
    h_ = h;
  }

 private:
  Poignee h_ = nullptr;
};

inline void LibererObjet(HGDIOBJ h) { DeleteObject(h); }
inline void LibererIcone(HICON h) { DestroyIcon(h); }

using Police = Possede<HFONT, LibererObjet>;
using Pinceau = Possede<HBRUSH, LibererObjet>;
using Icone = Possede<HICON, LibererIcone>;

}  // namespace fenetre::win32
