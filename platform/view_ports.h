// The screen as the portable layers see it. ui/ implements these over the real controls
// (worker threads reach them only through SendMessage to the owning thread); tests
// implement them in memory.
#pragma once

#include <cstdint>
#include <string>

namespace mv {

// A tree item handle, kept in the tables exactly as the tree control gives it. 0 is no
// item and, as a parent, the root of the tree.
using TreeItem = std::uintptr_t;
inline constexpr TreeItem kNoTreeItem = 0;

// Tree item state bits as the tree control keeps them.
inline constexpr std::uint32_t kTreeStateBold = 0x0010;
inline constexpr std::uint32_t kTreeStateImageMask = 0xF000;
inline constexpr std::uint32_t kTreeStateUnticked = 0x1000;  // state image 1
inline constexpr std::uint32_t kTreeStateTicked = 0x2000;    // state image 2

struct TreeInsertRequest {
  TreeItem parent = kNoTreeItem;  // inserted last among the parent's children
  std::string text;
  int image = 0;            // also the selected image
  std::uint32_t state = 0;  // kTreeState* bits; bold and the tick live here
  std::intptr_t param = 0;  // the item parameter
};

// Serves the snapshot tree of the main window and the network tree of the Take Snapshots
// dialog.
class TreePort {
 public:
  virtual ~TreePort() = default;
  // Returns the new item, or kNoTreeItem when the control refused it.
  virtual TreeItem InsertItem(const TreeInsertRequest& request) = 0;
  // Deletes the item and all its descendants.
  virtual void DeleteItem(TreeItem item) = 0;
  virtual void DeleteAllItems() = 0;
  virtual std::uint32_t GetItemState(TreeItem item) = 0;
};

enum class MessageKind {
  kInformation,  // OK, information icon
  kError,        // OK, error icon
  kQuestion,     // Yes and No, information icon
};

enum class MessageAnswer { kOk, kYes, kNo };

// Message boxes with the caption "Mirrorvault" and the status bar text.
class NoticePort {
 public:
  virtual ~NoticePort() = default;
  virtual MessageAnswer ShowMessage(const std::string& text, MessageKind kind) = 0;
  // As ShowMessage, for a text that is UTF-8 (a file path of the program) even where the
  // port's texts are in another encoding (a snapshot's names in the ANSI code page).
  virtual MessageAnswer ShowUtf8Message(const std::string& text, MessageKind kind) {
    return ShowMessage(text, kind);
  }
  virtual void SetStatusText(int part, const std::string& text) = 0;
};

}  // namespace mv
