// Message boxes and status text behind the notice port: see win32_notice_port.h.
#include "ui/win32/win32_notice_port.h"

#include "capture/activity_state.h"
#include "ui/win32/window_text.h"

namespace mv {

MessageAnswer Win32NoticePort::ShowMessage(const std::string& text, MessageKind kind) {
  return Show(text, encoding_, kind);
}

MessageAnswer Win32NoticePort::ShowUtf8Message(const std::string& text, MessageKind kind) {
  return Show(text, NameEncoding::kUtf8, kind);
}

MessageAnswer Win32NoticePort::Show(const std::string& text, NameEncoding encoding,
                                    MessageKind kind) {
  UINT style = MB_OK | MB_ICONINFORMATION;
  if (kind == MessageKind::kError) style = MB_OK | MB_ICONERROR;
  if (kind == MessageKind::kQuestion) style = MB_YESNO | MB_ICONINFORMATION;
  const std::wstring wide = WideFromText(text, encoding);
  const std::wstring caption = WideFromText(kMessageCaption, NameEncoding::kUtf8);
  int answer = MessageBoxW(owner_, wide.c_str(), caption.c_str(), style);
  // An owner destroyed just before the box was asked for makes it fail; the user still
  // learns what happened, from a box of its own.
  if (answer == 0 && owner_ != nullptr)
    answer = MessageBoxW(nullptr, wide.c_str(), caption.c_str(), style);
  switch (answer) {
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
    default:
      return MessageAnswer::kOk;
  }
}

void Win32NoticePort::SetStatusText(int part, const std::string& text) {
  mv::SetStatusText(part, Utf8FromText(text, encoding_));
}

}  // namespace mv
