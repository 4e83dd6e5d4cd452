// A tree port that lets one call in at a time to another tree port: a network scan inserts
// from many threads at once, and an in-memory tree (the command line's, the tests') is not
// made for that. The window tree needs none: its calls are already messages to one thread.
#pragma once

#include <mutex>
#include <utility>

#include "platform/view_ports.h"

namespace mv {

class LockedTreePort : public TreePort {
 public:
  explicit LockedTreePort(TreePort& inner) : inner_(inner) {}

  TreeItem InsertItem(const TreeInsertRequest& request) override {
    std::lock_guard lock(mutex_);
    return inner_.InsertItem(request);
  }
  void DeleteItem(TreeItem item) override {
    std::lock_guard lock(mutex_);
    inner_.DeleteItem(item);
  }
  void DeleteAllItems() override {
    std::lock_guard lock(mutex_);
    inner_.DeleteAllItems();
  }
  std::uint32_t GetItemState(TreeItem item) override {
    std::lock_guard lock(mutex_);
    return inner_.GetItemState(item);
  }

  // Runs visit with the inner tree while no other call can come in.
  template <typename Visit>
  decltype(auto) WithTree(Visit&& visit) {
    std::lock_guard lock(mutex_);
    return std::forward<Visit>(visit)(inner_);
  }

 private:
  TreePort& inner_;
  std::mutex mutex_;
};

}  // namespace mv
