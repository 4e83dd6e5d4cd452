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

  void Set();
  void Reset();
  void Wait();
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

}  // namespace mv
