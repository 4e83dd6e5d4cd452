// A tree port kept in memory: mirrorvault-cli prints the snapshot and network trees from it,
// and the tests read back what the portable layers inserted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/view_ports.h"

namespace mv {

class MemoryTreePort final : public TreePort {
 public:
  struct Node {
    TreeItem item = kNoTreeItem;
    TreeItem parent = kNoTreeItem;
    std::string text;
    int image = 0;
    std::uint32_t state = 0;
    std::intptr_t param = 0;
    std::vector<TreeItem> children;  // in insertion order, which is the order on screen
  };

  TreeItem InsertItem(const TreeInsertRequest& request) override;
  void DeleteItem(TreeItem item) override;
  void DeleteAllItems() override;
  std::uint32_t GetItemState(TreeItem item) override;

  // Replaces an item's state bits, as a click on its tick box does; unknown items are left.
  void SetItemState(TreeItem item, std::uint32_t state);

  // The item's node, or null when there is no such item (deleted or never made).
  const Node* Find(TreeItem item) const;
  // The children of parent in order on screen; kNoTreeItem gives the top-level items.
  const std::vector<TreeItem>& Children(TreeItem parent) const;
  std::size_t size() const { return nodes_.size(); }

  // Visits every item in order on screen (each item before its children), with its depth
  // below the top level (0 for a top-level item).
  void Walk(const std::function<void(const Node& node, int depth)>& visit) const;

 private:
  void Erase(TreeItem item);
  void WalkFrom(const std::vector<TreeItem>& items, int depth,
                const std::function<void(const Node&, int)>& visit) const;

  std::unordered_map<TreeItem, Node> nodes_;
  std::vector<TreeItem> roots_;
  TreeItem lastItem_ = kNoTreeItem;  // handles are never reused, so a stale one finds nothing
};

}  // namespace mv
