// The long-task gate: a flag and a wanted scan under one mutex.
#include "net/task_gate.h"

namespace mv {

void TaskGate::NoteScanWanted() {
  std::lock_guard lock(mutex_);
  scanWanted_ = true;
}

void TaskGate::EnterScan() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !held_; });
  held_ = true;
  scanWanted_ = false;
}

CaptureRefusal TaskGate::TryEnterCaptureOrSayWhy() {
  std::lock_guard lock(mutex_);
  if (held_) return CaptureRefusal::kTaskEnding;
  if (scanWanted_) return CaptureRefusal::kScanPending;
  held_ = true;
  return CaptureRefusal::kNone;
}

void TaskGate::Leave() {
  {
    std::lock_guard lock(mutex_);
    held_ = false;
  }
  changed_.notify_all();
}

bool TaskGate::Busy() {
  std::lock_guard lock(mutex_);
  return held_ || scanWanted_;
}

void TaskGate::WaitUntilFree() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !held_ && !scanWanted_; });
}

TaskGate& LongTaskGate() {
  static TaskGate* const gate = new TaskGate();
  return *gate;
}

}  // namespace mv
