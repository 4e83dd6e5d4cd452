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

// A fresh folder under the temporary folder (or under parent), removed with its contents.
class ScratchFolder {
 public:
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
  void Explore(const std::string&) override {}
  void ShowProperties(const std::string&) override {}
  std::vector<std::string> opened;
};

// Answers the next message box or dialog owned by owner: calls inspect with it (on the helper
// thread, while the owner's thread runs the box), records its text and caption and presses
// the button. Waits at most a few seconds for the box.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer(HWND owner, int button, std::function<void(HWND)> inspect = {});
  ~MessageBoxAnswerer();
  // Runs this thread's messages (the box needs them) until done; true when a box was answered.
  bool Finish();
  // Stops looking, for a box that should not come; true when one came all the same.
  bool Stop();
  std::string text() const { return text_; }
  std::string caption() const { return caption_; }

 private:
  void Run();
  HWND owner_;
  int button_;
  std::function<void(HWND)> inspect_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::atomic<bool> answered_{false};
  std::string text_;
  std::string caption_;
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
// Polls condition, pumping this thread's messages, until it holds (true) or a minute passes.
bool WaitUntil(const std::function<bool()>& condition);

std::string WindowText(HWND window);
// The clipboard's text (CF_TEXT), empty when it holds none.
std::string ClipboardText();
RECT ClientRectOf(HWND parent, HWND control);

// A list view column's texts, top to bottom.
std::vector<std::string> Column(HWND list, int column);
void SelectRow(HWND list, int row, bool selected);

// Tree view read-back and selection.
HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT relation);
// The item at a path of texts from the root ("WG", "PC1", "05.12.2026 09:04:05"), or null.
HTREEITEM FindTreeItem(HWND tree, const std::vector<std::string>& path);
// The tree as indented lines, two blanks per level, each followed by its suffix.
std::vector<std::string> TreeLines(HWND tree,
                                   const std::function<std::string(HTREEITEM)>& suffix = {});

bool MenuItemGrey(HMENU menu, UINT command);

// A string under HKEY_CURRENT_USER, or none when the key or the value is missing; and the
// same value stored (none: deleted).
std::optional<std::string> RegistryText(const char* key, const char* value);
void SetRegistryText(const char* key, const char* value, const std::optional<std::string>& text);

}  // namespace mv::gui
