// The tree port over a real tree view control (the snapshot tree and the network tree).
// Every request is a SendMessage to the control, so a worker thread's request runs on the
// thread that owns the control.
#pragma once

#include <windows.h>

#include "platform/view_ports.h"

namespace mv {

class Win32TreePort final : public TreePort {
 public:
  explicit Win32TreePort(HWND tree) : tree_(tree) {}

  TreeItem InsertItem(const TreeInsertRequest& request) override;
  void DeleteItem(TreeItem item) override;
  void DeleteAllItems() override;
  std::uint32_t GetItemState(TreeItem item) override;

 private:
  HWND tree_;
};

}  // namespace mv
