// Huge pages on Windows need a privilege that users do not hold: buffers keep normal pages.
#include "platform/memory_advice.h"

namespace mv {

void AdviseHugePages(void*, std::size_t) {}

}  // namespace mv
