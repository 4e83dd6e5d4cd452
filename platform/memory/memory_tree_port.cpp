// The in-memory tree port: items in a map by handle, children in insertion order.
#include "platform/memory/memory_tree_port.h"

#include <algorithm>

namespace mv {

TreeItem MemoryTreePort::InsertItem(const TreeInsertRequest& request) {
  std::vector<TreeItem>* siblings = &roots_;
  if (request.parent != kNoTreeItem) {
    auto parent = nodes_.find(request.parent);
    // The tree control refuses a parent it does not know.
    if (parent == nodes_.end()) return kNoTreeItem;
    siblings = &parent->second.children;
  }
  const TreeItem item = ++lastItem_;
  siblings->push_back(item);
  Node& node = nodes_[item];
  node.item = item;
  node.parent = request.parent;
  node.text = request.text;
  node.image = request.image;
  node.state = request.state;
  node.param = request.param;
  return item;
}

void MemoryTreePort::DeleteItem(TreeItem item) {
  auto found = nodes_.find(item);
  if (found == nodes_.end()) return;
  std::vector<TreeItem>& siblings =
      found->second.parent == kNoTreeItem ? roots_ : nodes_.at(found->second.parent).children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), item));
  Erase(item);
}

void MemoryTreePort::Erase(TreeItem item) {
  auto found = nodes_.find(item);
  const std::vector<TreeItem> children = std::move(found->second.children);
  nodes_.erase(found);
  for (TreeItem child : children) Erase(child);
}

void MemoryTreePort::DeleteAllItems() {
  nodes_.clear();
  roots_.clear();
}

std::uint32_t MemoryTreePort::GetItemState(TreeItem item) {
  const Node* node = Find(item);
  return node == nullptr ? 0 : node->state;
}

void MemoryTreePort::SetItemState(TreeItem item, std::uint32_t state) {
  auto found = nodes_.find(item);
  if (found != nodes_.end()) found->second.state = state;
}

const MemoryTreePort::Node* MemoryTreePort::Find(TreeItem item) const {
  auto found = nodes_.find(item);
  return found == nodes_.end() ? nullptr : &found->second;
}

const std::vector<TreeItem>& MemoryTreePort::Children(TreeItem parent) const {
  static const std::vector<TreeItem> kNone;
  if (parent == kNoTreeItem) return roots_;
  const Node* node = Find(parent);
  return node == nullptr ? kNone : node->children;
}

void MemoryTreePort::Walk(const std::function<void(const Node& node, int depth)>& visit) const {
  WalkFrom(roots_, 0, visit);
}

void MemoryTreePort::WalkFrom(const std::vector<TreeItem>& items, int depth,
                              const std::function<void(const Node&, int)>& visit) const {
  for (TreeItem item : items) {
    const Node& node = nodes_.at(item);
    visit(node, depth);
    WalkFrom(node.children, depth + 1, visit);
  }
}

}  // namespace mv
