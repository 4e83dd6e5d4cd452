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
#include "ui/win32/win32_notice_port.h"
#include "ui/win32/win32_shell_port.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

class NoShell final : public ShellPort {
 public:
  void Open(const std::string&) override {}
  void Explore(const std::string&) override {}
  void ShowProperties(const std::string&) override {}
};

NameEncoding SnapshotEncoding() {
  return MainState().browser->listEncoding();
}

// Runs one of the row actions over the window's ports. The actions speak the snapshot's text;
// the shell is handed UTF-8.
template <typename Action>
auto RunRowAction(Action action) {
  MainWindowState& s = MainState();
  SnapshotTextShell shell(ShellOfWindow(), SnapshotEncoding());
  RowActions actions(*s.browser, *s.fileList, shell, *s.notices);
  return action(actions);
}

// A typed location or search name in the snapshot's encoding; false when a character of it
// has no form there, so that it names nothing in the snapshot.
bool SnapshotTextOf(const std::wstring& typed, std::string& text) {
  return TextFromWideExactly(typed, SnapshotEncoding(), text);
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
  RunRowAction([](RowActions& actions) { actions.ActivateRow(); });
}

void OpenRowsOfWindow() {
  RunRowAction([](RowActions& actions) { actions.OpenRows(); });
}

void ExploreRowsOfWindow() {
  RunRowAction([](RowActions& actions) { actions.ExploreRows(); });
}

void ShowRowPropertiesOfWindow() {
  RunRowAction([](RowActions& actions) { actions.ShowRowProperties(); });
}

void DispatchEnterKey(HWND window) {
  HWND focus = GetFocus();
  if (focus == MainState().list) {
    const int command = EnterKeyCommand(KeyHeld(VK_CONTROL), KeyHeld(VK_MENU));
    if (command != 0) SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
  } else if (focus != nullptr && focus == GetDlgItem(window, IDC_LOCATION)) {
    const std::wstring typed = WholeWindowTextW(focus);
    std::string text;
    if (SnapshotTextOf(typed, text)) {
      RunRowAction([&](RowActions& actions) { actions.EnterLocation(text); });
      return;
    }
    const std::string shown = TextFromWide(typed, NameEncoding::kUtf8);
    Win32NoticePort(window).ShowMessage(CouldNotLocateText(shown), MessageKind::kError);
    SnapshotBrowser& browser = *MainState().browser;
    browser.SetNavigationPath(browser.listedPath());
  }
}

void CopyPathOfWindow(HWND window) {
  const std::string text = RunRowAction([](RowActions& actions) { return actions.CopyPathText(); });
  PutTextOnClipboard(window, Utf8FromText(text, SnapshotEncoding()));
}

void SearchFilesOfWindow(HWND window) {
  MainWindowState& s = MainState();
  const std::optional<std::string> name =
      ShowSearchDialog(window, Utf8FromText(s.search.lastName(), SnapshotEncoding()));
  if (!name) return;
  std::string sought;
  if (!SnapshotTextOf(WideFromText(*name, NameEncoding::kUtf8), sought)) {
    // Nothing in the snapshot can match it; said as a search that found nothing says it.
    Win32NoticePort(window).ShowMessage("Could not find '" + *name + "'.",
                                        MessageKind::kInformation);
    return;
  }
  // The match is selected in the list; the focus goes there so that Enter opens it.
  if (s.search.Search(*s.browser, *s.fileList, *s.notices, sought)) SetFocus(s.list);
}

void ShowSnapshotPropertiesOfWindow(HWND window) {
  const SnapshotBrowser& browser = *MainState().browser;
  auto texts = SnapshotPropertyTexts(browser.info(), browser.shareCount());
  // Group and computer are the snapshot's text; the file's path is UTF-8 already.
  constexpr int kGroupText = 0;
  constexpr int kComputerText = 1;
  for (const int name : {kGroupText, kComputerText}) {
    std::string& text = texts[static_cast<std::size_t>(name)];
    text = Utf8FromText(text, browser.info().encoding);
  }
  ShowSnapshotPropertiesDialog(window, texts);
}

}  // namespace mv
