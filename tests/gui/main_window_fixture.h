// The main window created for real over a scratch snapshots folder, for the GUI tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "gui_support.h"
#include "res/resource_ids.h"
#include "ui/main_window.h"
#include "ui/main_window_state.h"
#include "ui/status_line.h"

namespace mv::gui {

inline const bool kCommonControls = [] {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  return InitCommonControlsEx(&init) != FALSE;
}();

class MainWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (window_ != nullptr) DestroyWindow(window_);
    PumpMessages(20);
  }

  // Creates the window over the snapshots folder as it is now; adjust changes the setup first.
  void Open(const std::function<void(MainWindowSetup&)>& adjust = {}) {
    ASSERT_TRUE(kCommonControls);
    MainWindowSetup setup;
    setup.snapshotsDirectory = folder_.path();
    setup.helpFilePath = "C:\\Tools\\help.chm";
    setup.shell = &shell_;
    setup.exitApplication = [this] { ++exits_; };
    if (adjust) adjust(setup);
    SetMainWindowSetup(std::move(setup));
    window_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                 MainWindowProc, 0);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_, SW_SHOW);
    PumpMessages();
    tree_ = GetDlgItem(window_, IDC_SNAPSHOT_TREE);
    list_ = GetDlgItem(window_, IDC_FILE_LIST);
    status_ = GetDlgItem(window_, IDC_STATUS_BAR);
  }

  std::string Status(int part) { return GetStatusLineText(status_, part); }
  RECT Rect(int id) { return ClientRectOf(window_, GetDlgItem(window_, id)); }
  void Command(int id) { SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(id), 0); }
  std::string Location() { return WindowText(GetDlgItem(window_, IDC_LOCATION)); }

  // Selects a tree item as a click would: the tree tells the window.
  void Select(const std::vector<std::string>& path) {
    HTREEITEM item = FindTreeItem(tree_, path);
    ASSERT_NE(item, nullptr) << path.back();
    SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  }
  // A click on a column header of the file list.
  void ClickColumn(int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list_;
    click.hdr.idFrom = IDC_FILE_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageA(window_, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&click));
  }

  ScratchFolder folder_;
  RecordingShell shell_;
  int exits_ = 0;
  HWND window_ = nullptr;
  HWND tree_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
};

}  // namespace mv::gui
