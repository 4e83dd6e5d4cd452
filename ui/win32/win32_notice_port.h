// The notice port over message boxes owned by the main window and its status bar.
#pragma once

#include <windows.h>

#include "core/snapshot_format.h"
#include "platform/view_ports.h"

namespace mv {

inline constexpr char kMessageCaption[] = "Mirrorvault";

class Win32NoticePort final : public NoticePort {
 public:
  // Texts are UTF-8 unless SetTextEncoding says otherwise.
  explicit Win32NoticePort(HWND owner) : owner_(owner) {}

  // The encoding of the texts handed to the port: the main window's browser, search and row
  // actions speak in the loaded snapshot's.
  void SetTextEncoding(NameEncoding encoding) { encoding_ = encoding; }

  MessageAnswer ShowMessage(const std::string& text, MessageKind kind) override;
  MessageAnswer ShowUtf8Message(const std::string& text, MessageKind kind) override;
  // Goes through the activity view's status line, like every other status text.
  void SetStatusText(int part, const std::string& text) override;

 private:
  MessageAnswer Show(const std::string& text, NameEncoding encoding, MessageKind kind);

  HWND owner_;
  NameEncoding encoding_ = NameEncoding::kUtf8;
};

}  // namespace mv
