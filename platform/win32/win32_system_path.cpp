// Port paths to wide-character system paths, and system names back to UTF-8.
#include "platform/win32/win32_system_path.h"

#include <windows.h>

#include "platform/extended_path.h"

namespace mv::win32 {

std::wstring WideFromUtf8(std::string_view text) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
  }
  return wide;
}

std::wstring SystemPath(const std::string& path) {
  return WideFromUtf8(ExtendedLengthPath(path));
}

std::string Utf8FromWide(const wchar_t* text, bool* altered) {
  if (text == nullptr) text = L"";
  // Strict first; a text that fails it is converted again with replacements.
  DWORD flags = WC_ERR_INVALID_CHARS;
  int length = WideCharToMultiByte(CP_UTF8, flags, text, -1, nullptr, 0, nullptr, nullptr);
  if (altered != nullptr) *altered = length <= 0;
  if (length <= 0) {
    flags = 0;
    length = WideCharToMultiByte(CP_UTF8, flags, text, -1, nullptr, 0, nullptr, nullptr);
  }
  if (length <= 1) return {};
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, flags, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.pop_back();  // the NUL
  return utf8;
}

}  // namespace mv::win32
