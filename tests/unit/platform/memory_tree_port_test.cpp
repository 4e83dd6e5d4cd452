// The in-memory tree port: order on screen, deletion of subtrees, handles that went stale.
#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_tree_port.h"

namespace mv {
namespace {

std::string Render(const MemoryTreePort& tree) {
  std::string text;
  tree.Walk([&](const MemoryTreePort::Node& node, int depth) {
    text += std::string(2 * static_cast<std::size_t>(depth), ' ') + node.text + "\n";
  });
  return text;
}

TEST(MemoryTreePort, InsertsLastUnderTheParentAndDeletesWholeSubtrees) {
  MemoryTreePort tree;
  const TreeItem a = tree.InsertItem({kNoTreeItem, "a", 0, 0, -1});
  const TreeItem b = tree.InsertItem({kNoTreeItem, "b", 0, 0, -1});
  const TreeItem a1 = tree.InsertItem({a, "a1", 1, kTreeStateBold, 7});
  tree.InsertItem({a1, "a1x", 2, 0, 8});
  tree.InsertItem({a, "a2", 1, 0, 9});
  EXPECT_EQ(Render(tree), "a\n  a1\n    a1x\n  a2\nb\n");
  EXPECT_EQ(tree.GetItemState(a1), kTreeStateBold);
  EXPECT_EQ(tree.Find(a1)->param, 7);

  tree.DeleteItem(a1);
  EXPECT_EQ(Render(tree), "a\n  a2\nb\n");
  EXPECT_EQ(tree.size(), 3u);
  // A deleted item is gone for good: its handle finds nothing and takes no children.
  EXPECT_EQ(tree.Find(a1), nullptr);
  EXPECT_EQ(tree.InsertItem({a1, "orphan", 0, 0, 0}), kNoTreeItem);
  tree.DeleteItem(a1);

  tree.DeleteAllItems();
  EXPECT_EQ(tree.size(), 0u);
  EXPECT_TRUE(tree.Children(kNoTreeItem).empty());
  EXPECT_NE(tree.InsertItem({kNoTreeItem, "c", 0, 0, 0}), b);
}

}  // namespace
}  // namespace mv
