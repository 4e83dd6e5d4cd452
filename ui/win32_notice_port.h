// The notice port over message boxes owned by the main window and its status bar.
#pragma once

#include <windows.h>

#include <atomic>

#include "platform/view_ports.h"

namespace mv {

inline constexpr char kMessageCaption[] = "Mirrorvault";

class Win32NoticePort final : public NoticePort {
 public:
  explicit Win32NoticePort(HWND owner) : owner_(owner) {}

  // The window that owns the boxes from now on (a Take Snapshots dialog while it is open).
  void SetOwner(HWND owner) { owner_.store(owner); }

  MessageAnswer ShowMessage(const std::string& text, MessageKind kind) override;
  // Goes through the activity view's status line, like every other status text.
  void SetStatusText(int part, const std::string& text) override;

 private:
  std::atomic<HWND> owner_;
};

}  // namespace mv
