// Helpers of the GUI tests: a scratch snapshots folder, the main window created in-process,
// its controls read back, and message boxes answered from a helper thread.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/shell_port.h"

namespace mv::gui {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  // Under the temporary folder, or under parent.
  explicit ScratchFolder(const std::string& parent = "");
  ~ScratchFolder();
  const std::string& path() const { return path_; }
  std::string Write(const std::string& name, const std::string& content) const;
  bool Exists(const std::string& name) const;

 private:
  std::string path_;
};

// A snapshot file's text: header, then for each share its entry lines, then END. Lines are
// joined with CR LF.
struct ShareContent {
  std::string name;
  std::vector<std::string> entries;  // "a.txt;;f;;10;;3.15.2010"
};
std::string SnapshotText(const std::string& computer, const std::string& group,
                         const std::string& created, const std::vector<ShareContent>& shares);

// Records what the window asks the shell to open.
class RecordingShell final : public ShellPort {
 public:
  void Open(const std::string& target) override { opened.push_back(target); }
  std::vector<std::string> opened;
};

// Finds the next visible dialog owned by owner (a message box is one) on a helper thread
// and runs act on it there. Waits at most a few seconds for the dialog.
class OwnedDialogDriver {
 public:
  OwnedDialogDriver(HWND owner, std::function<void(HWND dialog)> act);
  ~OwnedDialogDriver();
  // Runs this thread's messages (a dialog of another thread may need its owner's) until the
  // helper is done; true when a dialog was found and acted on.
  bool Finish();
  // Stops looking, for a dialog that should not come; true when one came all the same.
  bool Stop();

 private:
  void Run();
  HWND owner_;
  std::function<void(HWND)> act_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::atomic<bool> found_{false};
  std::thread thread_;
};

// Answers the next message box owned by owner: records its text and caption and presses the
// button.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer(HWND owner, int button);
  bool Finish() { return driver_.Finish(); }
  bool Stop() { return driver_.Stop(); }
  std::string text() const { return text_; }
  std::string caption() const { return caption_; }

 private:
  std::string text_;
  std::string caption_;
  OwnedDialogDriver driver_;  // last: its thread writes the texts above
};

// Presses a dialog's button from a helper thread; posted, so that a button that opens a
// modal window does not hold the caller.
void PressButton(HWND dialog, int button);

// Runs the window's pending messages (timers, posted notifications).
void PumpMessages(int milliseconds = 50);

std::string WindowText(HWND window);
RECT ClientRectOf(HWND parent, HWND control);

// List view read-back.
int RowCount(HWND list);
std::string CellText(HWND list, int row, int column);
std::vector<std::string> Column(HWND list, int column);
void SelectRow(HWND list, int row, bool selected);

// Tree view read-back and selection.
HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT relation);
std::string TreeText(HWND tree, HTREEITEM item);
bool TreeExpanded(HWND tree, HTREEITEM item);
// The item at a path of texts from the root ("WG", "PC1", "05.12.2026 09:04:05"), or null.
HTREEITEM FindTreeItem(HWND tree, const std::vector<std::string>& path);
// The tree as indented lines, two blanks per level.
std::vector<std::string> TreeLines(HWND tree);

bool MenuItemGrey(HMENU menu, UINT command);

// A registry string as stored, or none when the key or the value is missing.
std::optional<std::string> RegistryText(const char* key, const char* value);
// Deletes a value under HKEY_CURRENT_USER (missing is fine), or stores text there.
void SetRegistryText(const char* key, const char* value, const std::optional<std::string>& text);

}  // namespace mv::gui
