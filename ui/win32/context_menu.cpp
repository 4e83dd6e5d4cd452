// Context menus at the cursor: see context_menu.h.
#include "ui/win32/context_menu.h"

namespace mv {

void ShowContextMenu(HWND owner, HMENU menu) {
  if (menu == nullptr) return;
  POINT at{};
  GetCursorPos(&at);
  TrackPopupMenu(menu, 0, at.x, at.y, 0, owner, nullptr);
  // The platform's advice for menus of windows that are not in the foreground: without a
  // message after it, the menu may not close when the user clicks elsewhere next time.
  PostMessageA(owner, WM_NULL, 0, 0);
}

}  // namespace mv
