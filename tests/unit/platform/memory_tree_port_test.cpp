// The in-memory tree port: deletion of subtrees and handles that went stale. The order on
// screen, states and parameters are read back by the library and scan tests.
#include <gtest/gtest.h>

#include "platform/memory/memory_tree_port.h"

namespace mv {
namespace {

TEST(MemoryTreePort, DeletesWholeSubtreesAndStaleHandlesFindNothing) {
  MemoryTreePort tree;
  const TreeItem a = tree.InsertItem({kNoTreeItem, "a", 0, 0, -1});
  const TreeItem a1 = tree.InsertItem({a, "a1", 1, 0, 7});
  tree.InsertItem({a1, "a1x", 2, 0, 8});
  const TreeItem b = tree.InsertItem({kNoTreeItem, "b", 0, 0, -1});
  tree.DeleteItem(a);
  EXPECT_EQ(tree.size(), 1u);
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
