// The status bar and the activity view over it: see status_line.h.
#include "ui/win32/status_line.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "res/resource_ids.h"
#include "ui/win32/background_threads.h"
#include "ui/win32/owner_thread.h"
#include "ui/win32/window_text.h"

namespace mv {

HWND CreateStatusLine(HWND parent) {
  HWND bar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", parent, IDC_STATUS_BAR);
  int edges[2] = {kStatusPartEdges[0], kStatusPartEdges[1]};
  SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  SendMessageA(bar, SB_SETMINHEIGHT, 0, 0);
  return bar;
}

void StatusLineView::SetStatusText(int part, const std::string& text) {
  // SendMessage delivers on the bar's thread and returns after it; the text stays valid.
  const std::wstring wide = WideFromText(text, NameEncoding::kUtf8);
  SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(wide.c_str()));
}

void StatusLineView::EnableTakeSnapshotsButton(bool enabled) {
  RunOnTakeSnapshotsDialog(
      [&](HWND dialog) { EnableWindow(GetDlgItem(dialog, IDC_TAKE_SNAPSHOTS), enabled); });
}

void StatusLineView::SetCancelButtonCaption(const std::string& caption) {
  RunOnTakeSnapshotsDialog(
      [&](HWND dialog) { SetWindowTextUtf8(GetDlgItem(dialog, IDCANCEL), caption); });
}

void StatusLineView::EnableMenuCommand(int command, bool enabled) {
  HMENU menu = networkMenu_.load();
  if (menu == nullptr) return;
  RunOnOwnerThread(mainWindow_, [&] {
    EnableMenuItem(menu, static_cast<UINT>(command),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  });
}

std::string GetStatusLineText(HWND statusBar, int part) {
  const LRESULT info = SendMessageW(statusBar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
  std::vector<wchar_t> text(static_cast<std::size_t>(LOWORD(info)) + 1, L'\0');
  SendMessageW(statusBar, SB_GETTEXTW, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(text.data()));
  return TextFromWide(text.data(), NameEncoding::kUtf8);
}

}  // namespace mv
