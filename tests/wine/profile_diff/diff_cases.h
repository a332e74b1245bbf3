// The cases of the differential test. A case's name starts with how its
// outcome is compared:
//   x-  reads and final file byte for byte;
//   w-  reads byte for byte, files after both are put in Wine's canonical form
//       (the case starts from a file that is not in that form);
//   k-  a known point where Wine differs from Windows: run and shown, never failed.
#pragma once

#include <cstdint>
#include <vector>

#include "diff_script.h"

namespace profile_diff {

std::vector<Case> CuratedCases();
// `count` random cases of each kind (canonical files, wild files), reproducible from `seed`.
std::vector<Case> RandomCases(uint32_t seed, int count);

}  // namespace profile_diff
