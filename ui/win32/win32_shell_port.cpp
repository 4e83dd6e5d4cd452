// ShellExecuteA and the object-properties entry behind the shell port: see win32_shell_port.h.
#include "ui/win32/win32_shell_port.h"

#include <shellapi.h>

namespace mv {
namespace {

constexpr WORD kObjectPropertiesOrdinal = 178;
constexpr DWORD kObjectIsFilePath = 0x2;  // SHOP_FILEPATH

void Execute(const char* verb, const std::string& target) {
  ShellExecuteA(nullptr, verb, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

Win32ShellPort::Win32ShellPort() {
  HMODULE shell = LoadLibraryA("shell32.dll");
  if (shell == nullptr) return;
  const FARPROC entry = GetProcAddress(shell, MAKEINTRESOURCEA(kObjectPropertiesOrdinal));
  // Through a plain function pointer type, the cast the compiler accepts between entry types.
  objectProperties_ = reinterpret_cast<ObjectPropertiesEntry>(reinterpret_cast<void (*)()>(entry));
}

void Win32ShellPort::Open(const std::string& target) {
  Execute("open", target);
}

void Win32ShellPort::Explore(const std::string& folder) {
  Execute("explore", folder);
}

void Win32ShellPort::ShowProperties(const std::string& path) {
  if (objectProperties_ == nullptr) return;
  const std::wstring wide = AnsiToWide(path);
  objectProperties_(nullptr, kObjectIsFilePath, wide.c_str(), nullptr);
}

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace mv
