// Synchronous hand-over of work to a window's owner thread: see owner_thread.h.
#include "ui/win32/owner_thread.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace mv {
namespace {

// Registered rather than a WM_APP number, which another program's message could share.
UINT HandOverMessage() {
  static const UINT message = RegisterWindowMessageA("Mirrorvault.RunOnOwnerThread");
  return message;
}

// Work handed over and not yet run, by ticket. A ticket is never reused.
struct PendingWork {
  std::mutex mutex;
  std::map<std::uint64_t, const std::function<void()>*> byTicket;
  std::uint64_t lastTicket = 0;
};

PendingWork& Pending() {
  static PendingWork* const pending = new PendingWork();  // worker threads outlive main
  return *pending;
}

}  // namespace

void RunOnOwnerThread(HWND window, const std::function<void()>& work) {
  if (window == nullptr || GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
    work();
    return;
  }
  PendingWork& pending = Pending();
  std::uint64_t ticket = 0;
  {
    std::lock_guard lock(pending.mutex);
    ticket = ++pending.lastTicket;
    pending.byTicket.emplace(ticket, &work);
  }
  // The ticket travels in both parameters, so that it stays whole on 32 bits.
  SendMessageA(window, HandOverMessage(), static_cast<WPARAM>(ticket >> 32),
               static_cast<LPARAM>(ticket & 0xFFFFFFFFu));
  // Not delivered (the window is gone): the ticket must not run later.
  std::lock_guard lock(pending.mutex);
  pending.byTicket.erase(ticket);
}

bool HandleRunOnOwnerThread(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != HandOverMessage()) return false;
  const std::uint64_t ticket = (static_cast<std::uint64_t>(wParam & 0xFFFFFFFFu) << 32) |
                               (static_cast<std::uint64_t>(lParam) & 0xFFFFFFFFu);
  const std::function<void()>* work = nullptr;
  {
    PendingWork& pending = Pending();
    std::lock_guard lock(pending.mutex);
    const auto found = pending.byTicket.find(ticket);
    if (found == pending.byTicket.end()) return true;
    work = found->second;
    pending.byTicket.erase(found);  // runs once
  }
  (*work)();
  return true;
}

}  // namespace mv
