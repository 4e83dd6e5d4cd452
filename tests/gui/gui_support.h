// Helpers of the GUI tests: a scratch snapshots folder, the main window created in-process
// over it, its controls read back, and message boxes answered from a helper thread.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/window_shell.h"
#include "net/task_gate.h"
#include "platform/shell_port.h"
#include "res/resource_ids.h"
#include "ui/win32/main_window.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/status_line.h"
#include "ui/win32/window_text.h"

namespace mv::gui {

// A fresh folder under the temporary folder (or under parent), removed with its contents.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& parent = "");
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string Write(const std::string& name, const std::string& content) const {
    std::ofstream(path_ + "\\" + name, std::ios::binary) << content;
    return path_ + "\\" + name;
  }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(path_ + "\\" + name);
  }

 private:
  std::string path_;
};

// A snapshot file's text: header, then for each share its name and entry lines
// ("a.txt;;f;;10;;3.15.2010"), then END. Lines are joined with CR LF.
using ShareContent = std::pair<std::string, std::vector<std::string>>;
std::string SnapshotText(const std::string& computer, const std::string& group,
                         const std::string& created, const std::vector<ShareContent>& shares);

// Records what the window asks the shell to open.
class RecordingShell final : public ShellPort {
 public:
  void Open(const std::string& target) override { opened.push_back(target); }
  void Explore(const std::string&) override {}
  void ShowProperties(const std::string&) override {}
  std::vector<std::string> opened;
};

// Answers the next message box or dialog owned by owner: calls inspect with it (on the helper
// thread, while the owner's thread runs the box), records its text and caption and presses
// the button. Waits at most a few seconds for the box.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer(HWND owner, int button, std::function<void(HWND)> inspect = {})
      : owner_(owner), button_(button), inspect_(std::move(inspect)), thread_([this] { Run(); }) {}
  ~MessageBoxAnswerer() { Stop(); }
  // Runs this thread's messages (the box needs them) until done; true when a box was answered.
  bool Finish();
  // Stops looking, for a box that should not come; true when one came all the same.
  bool Stop() {
    stop_.store(true);
    return Finish();
  }
  std::string text, caption;  // the box's, once answered

 private:
  void Run();
  HWND owner_;
  int button_;
  std::function<void(HWND)> inspect_;
  std::atomic<bool> stop_{false}, done_{false}, answered_{false};
  std::thread thread_;  // last: it starts at once and reads the members above
};

// A visible dialog-class window owned by owner (with this caption, if one is given), else null.
HWND OwnedBox(HWND owner, const char* caption = nullptr);

// Presses a dialog's button; posted, so that a modal window it opens does not hold the caller.
void PressButton(HWND dialog, int button);

// A program started as a process of its own (path, then the rest of its command line); ended
// when this goes, if it still runs.
struct Process {
  explicit Process(const std::string& path, const std::string& arguments = "");
  ~Process();
  // Its unowned dialog-class window with this caption, visible or not, once it exists.
  HWND WaitForWindow(const char* caption) const;
  // Waits a few seconds for the end; STILL_ACTIVE when it runs on.
  DWORD ExitCode() const;
  PROCESS_INFORMATION info{};
};

// A path beside the test program, made whole ("..\\..\\app\\Mirrorvault.exe").
std::string BesideTests(const std::string& relativePath);

// Runs the window's pending messages (timers, posted notifications).
void PumpMessages(int milliseconds = 50);
// Polls condition, pumping this thread's messages, until it holds (true) or the time passes.
bool WaitUntil(const std::function<bool()>& condition, int seconds = 60);

// The clipboard's text (CF_UNICODETEXT) as UTF-8, empty when it holds none.
std::string ClipboardText();

// The item at a path of texts from the root ("WG", "PC1", "05.12.2026 09:04:05"), or null.
HTREEITEM FindTreeItem(HWND tree, const std::vector<std::string>& path);
// The tree as indented lines, two blanks per level, each followed by its suffix.
std::vector<std::string> TreeLines(HWND tree,
                                   const std::function<std::string(HTREEITEM)>& suffix = {});

bool MenuItemGrey(HMENU menu, UINT command);

// A cell of a list view as its display text, in UTF-8.
std::string ListCellText(HWND list, int row, int column);

// The Run entry's text; empty when there is none.
std::string RunEntry();

// The main window created for real over a scratch snapshots folder.
class MainWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    // Nothing may still address the window when the next test makes another.
    WaitUntil([] { return !LongTaskGate().Busy(); });
    if (window_ != nullptr) DestroyWindow(window_);
    PumpMessages(20);
  }

  // Creates the window over the snapshots folder as it is now; adjust changes the setup first.
  void Open(const std::function<void(MainWindowSetup&)>& adjust = {}) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    MainWindowSetup setup;
    ConnectAppShell(setup);
    setup.snapshotsDirectory = folder_.path();
    setup.helpFilePath = "C:\\Tools\\help.chm";
    setup.shell = &shell_;
    setup.exitApplication = [this] { ++exits_; };
    setup.keepIndexes = false;  // the tests count the files of the folder
    if (adjust) adjust(setup);
    SetMainWindowSetup(std::move(setup));
    window_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                 MainWindowProc, 0);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_, SW_SHOW);
    PumpMessages();
    tree_ = GetDlgItem(window_, IDC_SNAPSHOT_TREE);
    list_ = GetDlgItem(window_, IDC_FILE_LIST);
    status_ = GetDlgItem(window_, IDC_STATUS_BAR);
  }

  std::string Status(int part) { return GetStatusLineText(status_, part); }
  // A control's rectangle in the window's client area.
  RECT Rect(int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(window_, id), &r);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  void Command(int id) { SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(id), 0); }
  // Runs the command and answers the dialog it opens, which must have this caption, as
  // MessageBoxAnswerer does.
  void AnswerCommand(int id, const char* caption, int button,
                     const std::function<void(HWND)>& inspect) {
    MessageBoxAnswerer answer(window_, button, inspect);
    Command(id);
    ASSERT_TRUE(answer.Finish());
    EXPECT_EQ(answer.caption, caption);
  }
  // The file list's names, top to bottom.
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int row = 0; row < MainState().fileList->RowCount(); ++row) {
      names.push_back(MainState().fileList->CellText(row, 0));
    }
    return names;
  }
  std::string Location() { return WholeWindowText(GetDlgItem(window_, IDC_LOCATION)); }

  // Selects a tree item as a click would: the tree tells the window.
  void Select(const std::vector<std::string>& path) {
    HTREEITEM item = FindTreeItem(tree_, path);
    ASSERT_NE(item, nullptr) << path.back();
    SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  }
  // A click on a column header of the file list.
  void ClickColumn(int column) {
    NMLISTVIEW click{};
    click.hdr = {list_, IDC_FILE_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1;
    click.iSubItem = column;
    Notify(click);
  }
  // Sends a control's notification (whose header comes first) to the window.
  template <typename Note>
  void Notify(Note& note) {
    SendMessageA(window_, WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
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
