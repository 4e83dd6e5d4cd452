// The notice port over message boxes owned by the main window and its status bar.
#pragma once

#include <windows.h>

#include "platform/view_ports.h"

namespace mv {

inline constexpr char kMessageCaption[] = "Mirrorvault";

class Win32NoticePort final : public NoticePort {
 public:
  explicit Win32NoticePort(HWND owner) : owner_(owner) {}

  MessageAnswer ShowMessage(const std::string& text, MessageKind kind) override;
  // Goes through the activity view's status line, like every other status text.
  void SetStatusText(int part, const std::string& text) override;

 private:
  HWND owner_;
};

}  // namespace mv
