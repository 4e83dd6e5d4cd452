// The shell port over ShellExecuteExW and the shell's object-properties entry
// (SHObjectProperties, shell32 export number 178). Paths and addresses are UTF-8.
#pragma once

#include <windows.h>

#include <string>

#include "core/snapshot_format.h"
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

// Hands another shell port paths made of a snapshot's text (row paths, the folder shown) as
// UTF-8, the form every shell port takes.
class SnapshotTextShell final : public ShellPort {
 public:
  SnapshotTextShell(ShellPort& shell, NameEncoding encoding) : shell_(shell), encoding_(encoding) {}

  void Open(const std::string& target) override;
  void Explore(const std::string& folder) override;
  void ShowProperties(const std::string& path) override;

 private:
  ShellPort& shell_;
  NameEncoding encoding_;
};

}  // namespace mv
