// Failures of event creation and thread start that tests ask for (platform/threading.h),
// shared by both backends.
#include "platform/threading_faults.h"

#include <atomic>

namespace mv {
namespace {

std::atomic<int> gFailingEvents{0};
std::atomic<int> gFailingThreads{0};

bool TakeOne(std::atomic<int>& count) {
  int left = count.load();
  while (left > 0 && !count.compare_exchange_weak(left, left - 1)) {
  }
  return left > 0;
}

}  // namespace

void FailNextEventCreations(int count) {
  gFailingEvents.store(count);
}
void FailNextThreadStarts(int count) {
  gFailingThreads.store(count);
}
bool EventCreationMustFail() {
  return TakeOne(gFailingEvents);
}
bool ThreadStartMustFail() {
  return TakeOne(gFailingThreads);
}

}  // namespace mv
