// What the fuzz targets share: a broken invariant is a finding, reported as a crash.
#pragma once

#include <cstdlib>

namespace mv::fuzz {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace mv::fuzz
