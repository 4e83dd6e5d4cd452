// A control's text read whole and text conversions: see window_text.h.
#include "ui/win32/window_text.h"

#include <climits>
#include <vector>

namespace mv {
namespace {

UINT CodePageOf(NameEncoding encoding) {
  return encoding == NameEncoding::kUtf8 ? CP_UTF8 : CP_ACP;
}

}  // namespace

std::string WholeWindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  return std::string(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

std::wstring WholeWindowTextW(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  return std::wstring(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

std::wstring WideFromText(std::string_view text, NameEncoding encoding) {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return std::wstring();
  const UINT codePage = CodePageOf(encoding);
  const int size = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), needed);
  return wide;
}

std::string TextFromWide(std::wstring_view text, NameEncoding encoding) {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return std::string();
  const UINT codePage = CodePageOf(encoding);
  const int size = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, narrow.data(), needed, nullptr, nullptr);
  return narrow;
}

}  // namespace mv
