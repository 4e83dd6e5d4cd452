// Failures of event creation that tests ask for (platform/threading.h), shared by both
// backends.
#include "platform/threading_faults.h"

#include <atomic>

namespace mv {
namespace {

std::atomic<int> gFailingEvents{0};

}  // namespace

void FailNextEventCreations(int count) {
  gFailingEvents.store(count);
}

bool EventCreationMustFail() {
  int left = gFailingEvents.load();
  while (left > 0 && !gFailingEvents.compare_exchange_weak(left, left - 1)) {
  }
  return left > 0;
}

}  // namespace mv
