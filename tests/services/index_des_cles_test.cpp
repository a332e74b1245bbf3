// The report's index of keys: every key found again, however many share a
// hash, across the growths of its table.
#include <gtest/gtest.h>

#include "services/index_des_cles.h"

namespace {

TEST(IndexDesCles, FindsEveryKeyWhateverTheHashesShare) {
  for (const size_t hashes : {1, 3, 1000}) {  // one hash for all, a few, all distinct
    journal::IndexDesCles index;
    for (size_t i = 0; i < 1000; ++i) index.Ajouter(i % hashes * 0x9E3779B97F4A7C15ULL, i % 2 == 0, i);
    for (size_t i = 0; i < 1000; ++i) {
      const auto* p = index.Trouver(i % hashes * 0x9E3779B97F4A7C15ULL,
                                    [i](const journal::IndexDesCles::Place& q) { return q.index == i; });
      ASSERT_NE(p, nullptr) << hashes << " " << i;
      EXPECT_EQ(p->ajoutee, i % 2 == 0);
    }
    EXPECT_EQ(index.Trouver(12345, [](const journal::IndexDesCles::Place&) { return false; }), nullptr);
  }
  EXPECT_EQ(journal::IndexDesCles().Trouver(0, [](const journal::IndexDesCles::Place&) { return true; }), nullptr);
}

}  // namespace
