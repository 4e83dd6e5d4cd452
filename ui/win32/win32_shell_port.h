// The shell port over ShellExecuteA and the shell's object-properties entry (SHObjectProperties,
// shell32 export number 178).
#pragma once

#include <windows.h>

#include <string>

#include "platform/shell_port.h"

namespace mv {

class Win32ShellPort final : public ShellPort {
 public:
  // Looks the object-properties entry up once; start-up makes the port before the window.
  Win32ShellPort();

  void Open(const std::string& target) override;
  void Explore(const std::string& folder) override;
  // Does nothing where the shell has no object-properties entry.
  void ShowProperties(const std::string& path) override;

  bool hasObjectProperties() const { return objectProperties_ != nullptr; }

 private:
  using ObjectPropertiesEntry = BOOL(WINAPI*)(HWND, DWORD, PCWSTR, PCWSTR);
  ObjectPropertiesEntry objectProperties_ = nullptr;
};

// An ANSI text in UTF-16, converted whole (the property sheet takes paths of any length the
// shell accepts). Empty when the text is empty or cannot be converted.
std::wstring AnsiToWide(const std::string& text);

}  // namespace mv
