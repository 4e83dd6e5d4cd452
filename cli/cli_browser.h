// The snapshot browser over in-memory ports, for the subcommands that read a snapshot: the
// file list is a vector, messages go to the error stream.
#pragma once

#include <ostream>
#include <string>

#include "platform/memory/memory_file_list.h"
#include "platform/view_ports.h"
#include "ui/snapshot_browser.h"

namespace mv::cli {

// Exit code of a snapshot file the loader refuses.
inline constexpr int kExitCorrupted = 2;

// Writes every message on the error stream and remembers that one was shown.
class StreamNotices final : public NoticePort {
 public:
  explicit StreamNotices(std::ostream& err) : err_(err) {}
  MessageAnswer ShowMessage(const std::string& text, MessageKind kind) override;
  void SetStatusText(int, const std::string&) override {}
  bool shown() const { return shown_; }

 private:
  std::ostream& err_;
  bool shown_ = false;
};

struct CliBrowser {
  explicit CliBrowser(std::ostream& err);

  // Loads the snapshot and opens its share list, as the main window does on a selection.
  // A refused file writes "Could not open '<path>'." and "The file is corrupted." on err.
  bool Open(const std::string& path);

  MemoryFileList list;
  MemoryBrowserControls controls;
  StreamNotices notices;
  SnapshotBrowser browser;
};

}  // namespace mv::cli
