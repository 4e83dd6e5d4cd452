// The tree port over a real tree view control (the snapshot tree and the network tree).
// Every request is a SendMessage to the control, so a worker thread's request runs on the
// thread that owns the control.
#pragma once

#include <windows.h>

#include <atomic>

#include "platform/view_ports.h"

namespace mv {

class Win32TreePort final : public TreePort {
 public:
  explicit Win32TreePort(HWND tree) : tree_(tree) {}

  // Points the port at another tree control (the network tree of whichever Take Snapshots
  // dialog is open; null while none is, when nothing is inserted).
  void SetWindow(HWND tree) { tree_.store(tree); }

  TreeItem InsertItem(const TreeInsertRequest& request) override;
  void DeleteItem(TreeItem item) override;
  void DeleteAllItems() override;
  std::uint32_t GetItemState(TreeItem item) override;

  HWND window() const { return tree_.load(); }

 private:
  std::atomic<HWND> tree_;
};

}  // namespace mv
