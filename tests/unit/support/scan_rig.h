// An in-memory tree safe to call from many threads, and a network browser over it and an
// in-memory network, with short pauses, for the tests of the scan and of the capture job.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "capture/activity_state.h"
#include "net/network_browser.h"
#include "net/task_gate.h"
#include "platform/locked_tree_port.h"
#include "platform/memory/in_memory_network.h"
#include "platform/memory/memory_tree_port.h"

namespace mv::test {

// Ticks, children by text and refused inserts: what the tests read back and change.
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
  // The texts of the children of the item at path.
  std::vector<std::string> Texts(const std::string& path) {
    std::vector<std::string> texts;
    for (const TreeItem child : Children(FindPath(path))) texts.push_back(Get(child).text);
    return texts;
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

inline constexpr ScanTiming kFastScan{0, 1};

// The sample network of the end-to-end tests and the demo.
inline NetworkDescription SampleNetwork() {
  NetworkDescription description;
  std::string error;
  EXPECT_TRUE(ParseNetworkDescription(
      "group WORKGROUP\n computer PC1\n  share Docs\n  share Music\n computer PC2\n"
      "  share Public\ngroup OFFICE\n computer SERVER\n  share Projects\n  share Backup\n",
      description, error));
  return description;
}

struct ScanRig {
  InMemoryNetwork network;
  MemoryTree tree;
  TaskGate gate;
  std::unique_ptr<NetworkBrowser> browser;

  // Scans the in-memory network, or another one (the system's) when given.
  explicit ScanRig(ScanTiming timing = kFastScan, NetworkPort* other = nullptr) {
    SetActivityState(kIdle);
    browser = std::make_unique<NetworkBrowser>(tree, other ? *other : network, gate, timing);
    browser->StartScanThread();
  }
  ~ScanRig() { browser->Shutdown(); }

  // Calls onCall at every look of a task at the network, and notes a look after the scan
  // ended (a task that outlived it) in lateCall.
  std::atomic<bool> lateCall{false};
  void WatchCalls(InMemoryNetwork::Hook onCall = nullptr) {
    network.SetHook([this, onCall](InMemoryNetwork::HookPoint point, InMemoryNetwork::Node node) {
      if (browser->CompletedScans() > 0) lateCall = true;
      if (onCall) onCall(point, node);
    });
  }

  // Runs one scan to its end.
  void Scan() {
    const int before = browser->CompletedScans();
    browser->RequestScan();
    gate.WaitUntilFree();
    ASSERT_EQ(browser->CompletedScans(), before + 1);
    ASSERT_EQ(GetActivityState(), kIdle);
  }

  // Every table entry stands for one tree item of its kind, with its text and under its
  // parent, and no item is stored twice. Returns the number of entries.
  int CheckTablesMatchTree() {
    std::set<TreeItem> seen;
    int entries = 0;
    const DiscoveryTables& tables = browser->tables();
    auto check = [&](const std::string& name, TreeItem item, TreeItem parent, int image) {
      if (name.empty()) return;
      ++entries;
      EXPECT_TRUE(seen.insert(item).second) << name << " stored twice";
      const MemoryTree::Item shown = tree.Get(item);
      EXPECT_EQ(shown.text, name);
      EXPECT_EQ(shown.parent, parent);
      EXPECT_EQ(shown.image, image);
    };
    for (const auto& g : tables.groups) check(g.name, g.item, kNoTreeItem, 0);
    for (const auto& c : tables.computers) check(c.name, c.item, c.parentItem, 1);
    for (const auto& s : tables.shares) check(s.name, s.item, s.parentItem, 2);
    EXPECT_EQ(static_cast<std::size_t>(entries), tree.Size()) << "tree items without entries";
    return entries;
  }
};

}  // namespace mv::test
