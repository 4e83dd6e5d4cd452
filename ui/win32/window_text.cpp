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
  return TextFromWide(WholeWindowTextW(window), NameEncoding::kUtf8);
}

void SetWindowTextUtf8(HWND window, std::string_view text) {
  SetWindowTextW(window, WideFromText(text, NameEncoding::kUtf8).c_str());
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
  std::string narrow;
  TextFromWideExactly(text, encoding, narrow);
  return narrow;
}

bool TextFromWideExactly(std::wstring_view text, NameEncoding encoding, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  if (text.size() > static_cast<std::size_t>(INT_MAX)) return false;
  const UINT codePage = CodePageOf(encoding);
  // UTF-8 holds every character (an unpaired surrogate becomes U+FFFD); an ANSI code page
  // tells whether it had to put its default character, and fits nothing by a likeness.
  const DWORD flags = encoding == NameEncoding::kUtf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* defaultUsed = encoding == NameEncoding::kUtf8 ? nullptr : &usedDefault;
  const int size = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return false;
  out.assign(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), needed, nullptr, defaultUsed);
  return usedDefault == FALSE;
}

std::string Utf8FromText(std::string_view text, NameEncoding encoding) {
  if (encoding == NameEncoding::kUtf8) return std::string(text);
  return TextFromWide(WideFromText(text, encoding), NameEncoding::kUtf8);
}

}  // namespace mv
