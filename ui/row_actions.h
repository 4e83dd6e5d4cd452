// What the user does with file list rows and the location field: moving through the loaded
// snapshot, or handing the live UNC path a row stands for to the shell with a verb.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_list_port.h"
#include "platform/shell_port.h"
#include "platform/view_ports.h"
#include "ui/snapshot_browser.h"

namespace mv {

enum class RowKind { kShare, kDirectory, kFile };

// By the Type text: "<SHARE>", "<DIR>" (the ".." row too), ignoring case; anything else is a
// file row.
RowKind ClassifyRow(std::string_view typeText);

// The name of a row's live object: the Name text, and for a file row "." and the Type text
// after it (so a file without extension ends in ".").
std::string RowFileName(std::string_view name, std::string_view typeText);

// The current row: the first focused row, else the first selected one; -1 for none.
int FindCurrentRow(FileListPort& list);

// The command Enter stands for in the file list with these keys held: Open with neither,
// Explore with Ctrl, Properties with Alt; 0 (nothing) with both.
int EnterKeyCommand(bool ctrlHeld, bool altHeld);

// A typed location read against the snapshot's computer.
struct TypedLocation {
  enum class Kind {
    kNavigate,  // show navigationPath
    kIgnore,    // just \\computer: nothing happens
    kUnknown,   // another computer or not a location: "Could not locate"
  };
  Kind kind = Kind::kUnknown;
  std::string navigationPath;  // "" or components each followed by one backslash
};
// \\computer\rest, the prefix compared ignoring case; runs of backslashes after the leading
// two count as one.
TypedLocation ReadTypedLocation(std::string_view text, std::string_view computer);

// The row actions of one main window over its browser, list, shell and message boxes. Row
// paths are \\computer\navigation path\row file name, kept whole however long.
class RowActions {
 public:
  RowActions(SnapshotBrowser& browser, FileListPort& list, ShellPort& shell, NoticePort& notices)
      : browser_(browser), list_(list), shell_(shell), notices_(notices) {}

  // Double click: the current row's share or directory is entered (".." goes up), its file
  // opened. Nothing without a current row.
  void ActivateRow();
  // "Open": every selected file is opened in list order up to the first selected share or
  // directory, which is then entered; with nothing selected the folder shown is opened.
  void OpenRows();
  // "Explore": each selected share or directory is explored, each selected file gives its
  // folder; with nothing selected the folder shown is opened.
  void ExploreRows();
  // "Properties...": the property sheet of the current row, or of the folder shown.
  void ShowRowProperties();
  // Enter in the location field with its text. The field keeps the text as typed.
  void EnterLocation(const std::string& text);
  // "Copy Path": the row path of every selected row, one a line, or the folder shown.
  std::string CopyPathText();

 private:
  std::string RowPath(int row);
  // The selected rows in list order.
  std::vector<int> SelectedRows();
  bool IsContainerRow(int row);
  // Enters a share or directory row by its Name text taken whole.
  void EnterRow(int row);

  SnapshotBrowser& browser_;
  FileListPort& list_;
  ShellPort& shell_;
  NoticePort& notices_;
};

}  // namespace mv
