// The main window's row actions and snapshot dialogs: see main_window_rows.h. Decisions are
// ui/row_actions.h's and ui/file_search.h's; this file reads keys and focus and opens
// the dialogs.
#include "ui/win32/main_window_rows.h"

#include "res/resource_ids.h"
#include "ui/row_actions.h"
#include "ui/snapshot_properties.h"
#include "ui/win32/clipboard.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/search_dialog.h"
#include "ui/win32/snapshot_properties_dialog.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

class NoShell final : public ShellPort {
 public:
  void Open(const std::string&) override {}
  void Explore(const std::string&) override {}
  void ShowProperties(const std::string&) override {}
};

RowActions ActionsOfWindow() {
  MainWindowState& s = MainState();
  return RowActions(*s.browser, *s.fileList, ShellOfWindow(), *s.notices);
}

// Down as the thread's input stood when the message being handled was sent: not as the
// keyboard is now, nor "pressed at some time since the last query".
bool KeyHeld(int key) {
  return GetKeyState(key) < 0;
}

}  // namespace

ShellPort& ShellOfWindow() {
  static NoShell none;
  ShellPort* shell = MainState().setup.shell;
  return shell != nullptr ? *shell : none;
}

void ActivateRowOfWindow() {
  ActionsOfWindow().ActivateRow();
}

void OpenRowsOfWindow() {
  ActionsOfWindow().OpenRows();
}

void ExploreRowsOfWindow() {
  ActionsOfWindow().ExploreRows();
}

void ShowRowPropertiesOfWindow() {
  ActionsOfWindow().ShowRowProperties();
}

void DispatchEnterKey(HWND window) {
  HWND focus = GetFocus();
  if (focus == MainState().list) {
    const int command = EnterKeyCommand(KeyHeld(VK_CONTROL), KeyHeld(VK_MENU));
    if (command != 0) SendMessageA(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
  } else if (focus != nullptr && focus == GetDlgItem(window, IDC_LOCATION)) {
    ActionsOfWindow().EnterLocation(WholeWindowText(focus));
  }
}

void CopyPathOfWindow(HWND window) {
  PutTextOnClipboard(window, ActionsOfWindow().CopyPathText());
}

void SearchFilesOfWindow(HWND window) {
  MainWindowState& s = MainState();
  const std::optional<std::string> name = ShowSearchDialog(window, s.search.lastName());
  if (!name) return;
  // The match is selected in the list; the focus goes there so that Enter opens it.
  if (s.search.Search(*s.browser, *s.fileList, *s.notices, *name)) SetFocus(s.list);
}

void ShowSnapshotPropertiesOfWindow(HWND window) {
  const SnapshotBrowser& browser = *MainState().browser;
  ShowSnapshotPropertiesDialog(window, SnapshotPropertyTexts(browser.info(), browser.shareCount()));
}

}  // namespace mv
