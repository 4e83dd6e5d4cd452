// The tray icon: see tray_icon.h.
#include "app/win32/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "res/resource_ids.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

constexpr char kTrayTip[] = "Mirrorvault";

// Kept for the life of the process, so that the icon can be deleted again.
NOTIFYICONDATAA& TrayRecord() {
  static NOTIFYICONDATAA record = [] {
    NOTIFYICONDATAA first{};
    first.cbSize = NOTIFYICONDATAA_V1_SIZE;
    return first;
  }();
  return record;
}

}  // namespace

bool SetTrayIcon(HWND window, HICON icon, bool on) {
  NOTIFYICONDATAA& record = TrayRecord();
  Shell_NotifyIconA(NIM_DELETE, &record);
  if (!on) return true;
  record = NOTIFYICONDATAA{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = window;
  record.uID = 0;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = WM_MV_TRAY;
  record.hIcon = icon;
  static_assert(sizeof kTrayTip <= sizeof record.szTip);
  std::memcpy(record.szTip, kTrayTip, sizeof kTrayTip);
  return Shell_NotifyIconA(NIM_ADD, &record) != FALSE;
}

bool ShowTrayIconAgain(HWND window, HICON icon) {
  NOTIFYICONDATAA& record = TrayRecord();
  // A change that the taskbar accepts proves the icon is there.
  if (record.hWnd == window && Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE) return true;
  return SetTrayIcon(window, icon, true);
}

bool ShowTrayBalloon(HWND window, const std::string& title, const std::string& text) {
  const NOTIFYICONDATAA& shown = TrayRecord();
  if (shown.hWnd != window || window == nullptr) return false;
  NOTIFYICONDATAW balloon{};
  balloon.cbSize = NOTIFYICONDATAW_V2_SIZE;
  balloon.hWnd = window;
  balloon.uID = shown.uID;
  balloon.uFlags = NIF_INFO;
  balloon.dwInfoFlags = NIIF_WARNING;
  // Cut to the record's fields, ending in "..." when cut.
  auto copy = [](std::wstring_view from, wchar_t* to, std::size_t room) {
    std::wstring cut(from.substr(0, std::min(from.size(), room - 1)));
    if (cut.size() < from.size() && room > 4) cut.replace(room - 4, 3, L"...");
    std::copy(cut.begin(), cut.end(), to);
    to[cut.size()] = L'\0';
  };
  copy(WideFromText(title, NameEncoding::kUtf8), balloon.szInfoTitle,
       std::size(balloon.szInfoTitle));
  copy(WideFromText(text, NameEncoding::kUtf8), balloon.szInfo, std::size(balloon.szInfo));
  return Shell_NotifyIconW(NIM_MODIFY, &balloon) != FALSE;
}

}  // namespace mv
