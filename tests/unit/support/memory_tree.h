// A tree control held in memory behind the TreePort, safe to call from many threads: what
// the network and capture tests read the scan's results from and tick items in.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/view_ports.h"

namespace mv::test {

class MemoryTree : public TreePort {
 public:
  struct Item {
    TreeItem parent = kNoTreeItem;
    std::string text;
    int image = 0;
    std::uint32_t state = 0;
    std::vector<TreeItem> children;
  };

  TreeItem InsertItem(const TreeInsertRequest& request) override {
    std::lock_guard lock(mutex_);
    ++inserts_;
    if (refuseInserts_) return kNoTreeItem;
    if (request.parent != kNoTreeItem && items_.count(request.parent) == 0) return kNoTreeItem;
    const TreeItem item = nextItem_++;
    items_[item] = Item{request.parent, request.text, request.image, request.state, {}};
    ChildrenOf(request.parent).push_back(item);
    return item;
  }

  void DeleteItem(TreeItem item) override {
    std::lock_guard lock(mutex_);
    const auto found = items_.find(item);
    if (found == items_.end()) return;
    auto& siblings = ChildrenOf(found->second.parent);
    std::erase(siblings, item);
    DeleteSubtree(item);
  }

  void DeleteAllItems() override {
    std::lock_guard lock(mutex_);
    items_.clear();
    roots_.clear();
  }

  std::uint32_t GetItemState(TreeItem item) override {
    std::lock_guard lock(mutex_);
    const auto found = items_.find(item);
    return found == items_.end() ? 0 : found->second.state;
  }

  // Ticks or unticks an item, as a click on its box would.
  void SetTicked(TreeItem item, bool ticked) {
    std::lock_guard lock(mutex_);
    std::uint32_t& state = items_.at(item).state;
    state = (state & ~kTreeStateImageMask) | (ticked ? kTreeStateTicked : kTreeStateUnticked);
  }

  // Makes every later insert fail, as a control that ran out of memory would.
  void RefuseInserts() {
    std::lock_guard lock(mutex_);
    refuseInserts_ = true;
  }

  Item Get(TreeItem item) {
    std::lock_guard lock(mutex_);
    return items_.at(item);
  }
  std::vector<TreeItem> Children(TreeItem parent) {
    std::lock_guard lock(mutex_);
    return ChildrenOf(parent);
  }
  std::size_t Size() {
    std::lock_guard lock(mutex_);
    return items_.size();
  }
  int InsertCalls() {
    std::lock_guard lock(mutex_);
    return inserts_;
  }
  // The first child of parent whose text is text, or 0.
  TreeItem Find(TreeItem parent, const std::string& text) {
    std::lock_guard lock(mutex_);
    for (const TreeItem child : ChildrenOf(parent)) {
      if (items_.at(child).text == text) return child;
    }
    return kNoTreeItem;
  }

 private:
  std::vector<TreeItem>& ChildrenOf(TreeItem parent) {
    return parent == kNoTreeItem ? roots_ : items_.at(parent).children;
  }
  void DeleteSubtree(TreeItem item) {
    for (const TreeItem child : items_.at(item).children) DeleteSubtree(child);
    items_.erase(item);
  }

  std::mutex mutex_;
  std::map<TreeItem, Item> items_;
  std::vector<TreeItem> roots_;
  TreeItem nextItem_ = 1;
  int inserts_ = 0;
  bool refuseInserts_ = false;
};

}  // namespace mv::test
