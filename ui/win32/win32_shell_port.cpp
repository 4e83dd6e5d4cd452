// ShellExecuteExW and the object-properties entry behind the shell port: see
// win32_shell_port.h.
#include "ui/win32/win32_shell_port.h"

#include <shellapi.h>

#include "ui/win32/window_text.h"

namespace mv {
namespace {

constexpr WORD kObjectPropertiesOrdinal = 178;
constexpr DWORD kObjectIsFilePath = 0x2;  // SHOP_FILEPATH

void Execute(const wchar_t* verb, const std::string& target) {
  const std::wstring wide = WideFromText(target, NameEncoding::kUtf8);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.lpVerb = verb;
  info.lpFile = wide.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExW(&info);
}

}  // namespace

Win32ShellPort::Win32ShellPort() {
  HMODULE shell = LoadLibraryW(L"shell32.dll");
  if (shell == nullptr) return;
  const FARPROC entry = GetProcAddress(shell, MAKEINTRESOURCEA(kObjectPropertiesOrdinal));
  // Through a plain function pointer type, the cast the compiler accepts between entry types.
  objectProperties_ = reinterpret_cast<ObjectPropertiesEntry>(reinterpret_cast<void (*)()>(entry));
}

void Win32ShellPort::Open(const std::string& target) {
  Execute(L"open", target);
}

void Win32ShellPort::Explore(const std::string& folder) {
  Execute(L"explore", folder);
}

void Win32ShellPort::ShowProperties(const std::string& path) {
  if (objectProperties_ == nullptr) return;
  const std::wstring wide = WideFromText(path, NameEncoding::kUtf8);
  objectProperties_(nullptr, kObjectIsFilePath, wide.c_str(), nullptr);
}

void SnapshotTextShell::Open(const std::string& target) {
  shell_.Open(Utf8FromText(target, encoding_));
}

void SnapshotTextShell::Explore(const std::string& folder) {
  shell_.Explore(Utf8FromText(folder, encoding_));
}

void SnapshotTextShell::ShowProperties(const std::string& path) {
  shell_.ShowProperties(Utf8FromText(path, encoding_));
}

}  // namespace mv
