// Huge pages on Linux: transparent huge pages, asked for per range with madvise.
#include <sys/mman.h>

#include <cstdint>

#include "platform/memory_advice.h"

namespace mv {

void AdviseHugePages(void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t aligned = (begin + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned + kHugePage <= begin + bytes) {
    madvise(reinterpret_cast<void*>(aligned), begin + bytes - aligned, MADV_HUGEPAGE);
  }
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace mv
