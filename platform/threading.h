// Threads and manual-reset events: what the capture workers, the scan thread and the
// enumeration tasks are built from.
#pragma once

#include <functional>
#include <memory>

namespace mv {

// A manual-reset event: once set it stays set, releasing every waiter, until reset.
class ManualResetEvent {
 public:
  explicit ManualResetEvent(bool initiallySet = false);
  ~ManualResetEvent();
  ManualResetEvent(const ManualResetEvent&) = delete;
  ManualResetEvent& operator=(const ManualResetEvent&) = delete;

  // False when the platform could not make the event (out of resources): then it is never
  // set, and every wait fails at once. Check before starting a thread that waits on it.
  bool valid() const;
  void Set();
  void Reset();
  // Waits until the event is set; false when the wait failed, so that a waiting loop ends
  // instead of spinning.
  bool Wait();
  // Waits at most milliseconds; true when the event was set.
  bool WaitFor(unsigned milliseconds);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Starts a thread running body and lets it go; nothing joins it. False when the platform
// could not start a thread.
bool StartDetachedThread(std::function<void()> body);

void SleepMilliseconds(unsigned milliseconds);

// Tests only: the next `count` events made are invalid, as when the system has run out of
// handles.
void FailNextEventCreations(int count);

}  // namespace mv
