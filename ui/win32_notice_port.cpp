// Message boxes and status text behind the notice port: see win32_notice_port.h.
#include "ui/win32_notice_port.h"

#include "capture/activity_state.h"

namespace mv {

MessageAnswer Win32NoticePort::ShowMessage(const std::string& text, MessageKind kind) {
  UINT style = MB_OK | MB_ICONINFORMATION;
  if (kind == MessageKind::kError) style = MB_OK | MB_ICONERROR;
  if (kind == MessageKind::kQuestion) style = MB_YESNO | MB_ICONINFORMATION;
  switch (MessageBoxA(owner_.load(), text.c_str(), kMessageCaption, style)) {
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
    default:
      return MessageAnswer::kOk;
  }
}

void Win32NoticePort::SetStatusText(int part, const std::string& text) {
  mv::SetStatusText(part, text);
}

}  // namespace mv
