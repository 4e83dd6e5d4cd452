// An in-memory tree safe to call from many threads, with what the network and capture tests
// read back and change: ticks, children by text, refused inserts.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "platform/locked_tree_port.h"
#include "platform/memory/memory_tree_port.h"

namespace mv::test {

class MemoryTree : public LockedTreePort {
 public:
  using Item = MemoryTreePort::Node;

  MemoryTree() : LockedTreePort(tree_) {}

  TreeItem InsertItem(const TreeInsertRequest& request) override {
    return WithTree([&](TreePort&) {
      ++insertCalls_;
      return refuseInserts_ ? kNoTreeItem : tree_.InsertItem(request);
    });
  }

  // Ticks or unticks an item, as a click on its box would.
  void SetTicked(TreeItem item, bool ticked) {
    WithTree([&](TreePort&) {
      const std::uint32_t state = tree_.Find(item)->state & ~kTreeStateImageMask;
      tree_.SetItemState(item, state | (ticked ? kTreeStateTicked : kTreeStateUnticked));
    });
  }
  // Makes every later insert fail, as a control that ran out of memory would.
  void RefuseInserts() {
    WithTree([&](TreePort&) { refuseInserts_ = true; });
  }

  Item Get(TreeItem item) {
    return WithTree([&](TreePort&) { return *tree_.Find(item); });
  }
  std::vector<TreeItem> Children(TreeItem parent) {
    return WithTree([&](TreePort&) { return tree_.Children(parent); });
  }
  std::size_t Size() {
    return WithTree([&](TreePort&) { return tree_.size(); });
  }
  int InsertCalls() {
    return WithTree([&](TreePort&) { return insertCalls_; });
  }
  // The item at path ("GROUP/COMPUTER/SHARE", "" for the root), or 0.
  TreeItem FindPath(const std::string& path) {
    TreeItem item = kNoTreeItem;
    std::istringstream names(path);
    for (std::string name; std::getline(names, name, '/');) item = Find(item, name);
    return item;
  }
  // The first child of parent whose text is text, or 0.
  TreeItem Find(TreeItem parent, const std::string& text) {
    return WithTree([&](TreePort&) {
      for (const TreeItem child : tree_.Children(parent)) {
        if (tree_.Find(child)->text == text) return child;
      }
      return kNoTreeItem;
    });
  }

 private:
  MemoryTreePort tree_;
  int insertCalls_ = 0;
  bool refuseInserts_ = false;
};

}  // namespace mv::test
