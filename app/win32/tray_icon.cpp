// The tray icon: see tray_icon.h.
#include "app/win32/tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "res/resource_ids.h"

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

}  // namespace mv
