// Synchronous hand-over of work to a window's owner thread: see owner_thread.h.
#include "ui/win32/owner_thread.h"

namespace mv {

void RunOnOwnerThread(HWND window, const std::function<void()>& work) {
  if (window == nullptr || GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
    work();
    return;
  }
  SendMessageA(window, kRunOnOwnerThreadMessage, 0,
               reinterpret_cast<LPARAM>(const_cast<std::function<void()>*>(&work)));
}

void HandleRunOnOwnerThread(LPARAM lParam) {
  const auto* work = reinterpret_cast<const std::function<void()>*>(lParam);
  if (work != nullptr) (*work)();
}

}  // namespace mv
