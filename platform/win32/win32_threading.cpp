// Threads and manual-reset events on Windows: CreateEventA and CreateThread.
#include <windows.h>

#include "platform/threading.h"
#include "platform/threading_faults.h"
#include "platform/win32/escaped_exception.h"

namespace mv {

struct ManualResetEvent::Impl {
  HANDLE event = nullptr;
};

ManualResetEvent::ManualResetEvent(bool initiallySet) : impl_(std::make_unique<Impl>()) {
  if (!EventCreationMustFail()) {
    impl_->event = CreateEventA(nullptr, TRUE, initiallySet ? TRUE : FALSE, nullptr);
  }
}
ManualResetEvent::~ManualResetEvent() {
  if (impl_->event != nullptr) CloseHandle(impl_->event);
}

bool ManualResetEvent::valid() const {
  return impl_->event != nullptr;
}
void ManualResetEvent::Set() {
  if (valid()) SetEvent(impl_->event);
}
void ManualResetEvent::Reset() {
  if (valid()) ResetEvent(impl_->event);
}
bool ManualResetEvent::Wait() {
  return valid() && WaitForSingleObject(impl_->event, INFINITE) == WAIT_OBJECT_0;
}
bool ManualResetEvent::WaitFor(unsigned milliseconds) {
  return valid() && WaitForSingleObject(impl_->event, milliseconds) == WAIT_OBJECT_0;
}

namespace {
DWORD WINAPI RunThreadBody(LPVOID parameter) {
  const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
  RunGuarded([&] { (*body)(); });
  return 0;
}
}  // namespace

bool StartDetachedThread(std::function<void()> body) {
  auto* owned = new std::function<void()>(std::move(body));
  const HANDLE thread = CreateThread(nullptr, 0, RunThreadBody, owned, 0, nullptr);
  if (thread == nullptr) {
    delete owned;
    return false;
  }
  CloseHandle(thread);
  return true;
}

void SleepMilliseconds(unsigned milliseconds) {
  Sleep(milliseconds);
}

}  // namespace mv
