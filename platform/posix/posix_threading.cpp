// Threads and manual-reset events on Linux, over the standard library.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/threading.h"
#include "platform/threading_faults.h"

namespace mv {

struct ManualResetEvent::Impl {
  std::mutex mutex;
  std::condition_variable changed;
  bool set = false;
  bool valid = true;
};

ManualResetEvent::ManualResetEvent(bool initiallySet) : impl_(std::make_unique<Impl>()) {
  impl_->set = initiallySet;
  impl_->valid = !EventCreationMustFail();
}

bool ManualResetEvent::valid() const {
  return impl_->valid;
}
ManualResetEvent::~ManualResetEvent() = default;

void ManualResetEvent::Set() {
  // Notified under the lock: a waiter that sees the event set may destroy it at once (as a
  // Win32 event handle may be closed), so Set must not touch it after the unlock.
  std::lock_guard lock(impl_->mutex);
  impl_->set = true;
  impl_->changed.notify_all();
}

void ManualResetEvent::Reset() {
  std::lock_guard lock(impl_->mutex);
  impl_->set = false;
}

bool ManualResetEvent::Wait() {
  if (!impl_->valid) return false;
  std::unique_lock lock(impl_->mutex);
  impl_->changed.wait(lock, [this] { return impl_->set; });
  return true;
}

bool ManualResetEvent::WaitFor(unsigned milliseconds) {
  if (!impl_->valid) return false;
  std::unique_lock lock(impl_->mutex);
  return impl_->changed.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                 [this] { return impl_->set; });
}

bool StartDetachedThread(std::function<void()> body) {
  try {
    std::thread(std::move(body)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

void SleepMilliseconds(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace mv
