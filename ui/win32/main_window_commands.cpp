// The main window's commands, notifications and close box.
#include <windows.h>

#include <commctrl.h>

#include "platform/shell_port.h"
#include "res/resource_ids.h"
#include "ui/win32/about_dialog.h"
#include "ui/win32/context_menu.h"
#include "ui/win32/find_window.h"
#include "ui/win32/main_window_compare.h"
#include "ui/win32/main_window_rows.h"
#include "ui/win32/main_window_shell.h"
#include "ui/win32/main_window_snapshots.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/schedules_window.h"
#include "ui/win32/settings_dialog.h"
#include "ui/win32/take_snapshots_dialog.h"
#include "ui/win32/tree_walk.h"

namespace mv {
namespace {

constexpr char kRemoveQuestion[] = "Are you sure want to delete selected snapshots?";

void OpenInShell(const std::string& target) {
  ShellOfWindow().Open(target);
}

// An entry of the Compare or Space window opened in the file list, its row selected; a share
// opens the share list at the share.
bool OpenEntryInWindow(const CompareEntry& entry) {
  if (entry.name.empty()) return OpenSnapshotAtEntry(entry.snapshotPath, "", entry.share);
  const std::string folder = entry.folder.empty() ? entry.share : entry.share + "\\" + entry.folder;
  return OpenSnapshotAtEntry(entry.snapshotPath, folder, entry.name);
}

void RemoveSelectedSnapshots(HWND window) {
  MainWindowState& s = MainState();
  const auto selected = static_cast<TreeItem>(SendMessageA(s.tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (selected == kNoTreeItem) return;
  if (s.notices->ShowMessage(kRemoveQuestion, MessageKind::kQuestion) != MessageAnswer::kYes) {
    return;
  }
  RemoveSnapshotItemOfWindow(selected);
  (void)window;
}

}  // namespace

void OnMainCommand(HWND window, int command) {
  MainWindowState& s = MainState();
  switch (command) {
    case IDOK:  // the Enter key
      DispatchEnterKey(window);
      break;
    case IDM_OPEN:
      OpenRowsOfWindow();
      break;
    case IDM_EXPLORE:
      ExploreRowsOfWindow();
      break;
    case IDM_FILE_PROPERTIES:
      ShowRowPropertiesOfWindow();
      break;
    case IDM_COPY_PATH:
      CopyPathOfWindow(window);
      break;
    case IDM_SEARCH:
      SearchFilesOfWindow(window);
      break;
    case IDM_SNAPSHOT_PROPERTIES:
      ShowSnapshotPropertiesOfWindow(window);
      break;
    case IDM_EXIT:
      if (s.setup.exitApplication) s.setup.exitApplication();
      break;
    case IDM_TAKE_SNAPSHOT:
      ShowTakeSnapshotsDialog(window);
      // New snapshot files appear in the tree once the dialog has closed.
      RebuildSnapshotTreeOfWindow();
      break;
    case IDM_REMOVE:
      RemoveSelectedSnapshots(window);
      break;
    case IDM_SCHEDULES:
      ShowSchedulesWindow(window);
      break;
    case IDM_FIND_IN_SNAPSHOTS:
      ShowFindWindow(window, MainWindowFindSetup());
      break;
    case IDM_SETTINGS:
      ShowSettingsDialog(window);
      break;
    case IDM_ABOUT:
      ShowAboutDialog(window, s.setup.shell, s.setup.webPages);
      break;
    case IDM_EXPAND_ALL:
      ExpandOrCollapseTree(s.tree, true);
      break;
    case IDM_COLLAPSE_ALL:
      ExpandOrCollapseTree(s.tree, false);
      break;
    case IDM_HELP:
      OpenInShell(s.setup.helpFilePath);
      break;
    case IDM_CONTACT_SUPPORT:
    case IDM_FEEDBACK:
      OpenInShell(s.setup.webPages.supportPage);
      break;
    case IDM_WEB_SITE:
      OpenInShell(s.setup.webPages.webSite);
      break;
    case IDM_COMPARE:
      CompareSelectedSnapshot(window, OpenEntryInWindow);
      break;
    case IDM_SHOW_SPACE:
      ShowSpaceOfWindow(window, OpenEntryInWindow);
      break;
    case IDM_SHOW_GROWTH:
      ShowGrowthOfWindow(window);
      break;
    case IDM_EXPORT:
      ExportSelectedSnapshot(window);
      break;
    default:
      // Esc (command 2) and the commands of dialogs still to come are ignored.
      break;
  }
}

bool OnMainNotify(HWND window, const NMHDR& header, LPARAM lParam) {
  MainWindowState& s = MainState();
  const UINT code = header.code;
  if (header.idFrom == IDC_SNAPSHOT_TREE) {
    if (code == NM_RCLICK) ShowContextMenu(window, s.treeMenu);
    if (code == TVN_KEYDOWN && reinterpret_cast<const NMTVKEYDOWN*>(lParam)->wVKey == VK_DELETE) {
      SendMessageA(window, WM_COMMAND, IDM_REMOVE, 0);
    }
    if (code == TVN_SELCHANGEDA || code == TVN_SELCHANGEDW) {
      OpenSelectedSnapshot();
    }
  } else if (header.idFrom == IDC_FILE_LIST) {
    if (code == NM_RCLICK) ShowContextMenu(window, s.listMenu);
    if (code == LVN_GETDISPINFOA) {
      s.fileList->FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOA*>(lParam));
    }
    if (code == LVN_GETDISPINFOW) {
      s.fileList->FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
    }
    if (code == LVN_ITEMCHANGED) ShowRowDetails(reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem);
    // A range of rows selected at once (Shift and a click) is told as one change.
    if (code == LVN_ODSTATECHANGED) {
      ShowRowDetails(reinterpret_cast<const NMLVODSTATECHANGE*>(lParam)->iTo);
    }
    if (code == NM_DBLCLK) ActivateRowOfWindow();
    if (code == LVN_COLUMNCLICK) {
      SortByColumnClick(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
    }
    // Typing a name in the list: the control keeps no texts, so the rows are searched here.
    if (code == LVN_ODFINDITEMA || code == LVN_ODFINDITEMW) {
      const int row = code == LVN_ODFINDITEMA
                          ? s.fileList->FindRow(*reinterpret_cast<const NMLVFINDITEMA*>(lParam))
                          : s.fileList->FindRow(*reinterpret_cast<const NMLVFINDITEMW*>(lParam));
      SetWindowLongPtrA(window, DWLP_MSGRESULT, row);
      return true;
    }
  }
  return false;
}

void OnMainClose(HWND window) {
  // With the tray icon on, closing only hides the window; the icon brings it back. Without
  // the icon the window would be out of reach: it closes as with the setting off.
  MainWindowState& s = MainState();
  if (TrayIconShown(window)) {
    ShowWindow(window, SW_HIDE);
  } else if (s.setup.exitApplication) {
    s.setup.exitApplication();
  }
}

}  // namespace mv
