// The discovery tables: the groups, computers and shares that the last network scan found,
// tied to their items in the network tree by the items' handles.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/view_ports.h"

namespace mv {

// The tables grow with the network: every group, computer and share a scan finds has its
// entry, however many there are. A slot is free while its name is empty. Names are stored whole,
// however long: a name cut to fit a fixed field would lead the capture to a computer or share that
// does not exist.
struct NetGroupEntry {
  std::string name;  // as shown in the tree
  TreeItem item = kNoTreeItem;
};

struct NetComputerEntry {
  std::string name;  // without the leading backslashes
  TreeItem item = kNoTreeItem;
  TreeItem parentItem = kNoTreeItem;  // the group's item, or 0 at the root of the tree
};

struct NetShareEntry {
  std::string name;  // the last part of the remote name
  TreeItem item = kNoTreeItem;
  TreeItem parentItem = kNoTreeItem;  // the computer's item
};

using NetGroupTable = std::vector<NetGroupEntry>;
using NetComputerTable = std::vector<NetComputerEntry>;
using NetShareTable = std::vector<NetShareEntry>;

// The three tables and their add lock. Enumeration tasks add to them during a scan; the
// capture job and the Take Snapshots dialog read them only while no scan runs (the long
// task gate keeps the two apart), so reads take no lock.
struct DiscoveryTables {
  NetGroupTable groups;
  NetComputerTable computers;
  NetShareTable shares;

  // Each stores its entry after the last one, as one step under the add lock. Slots are
  // freed only all together by Clear, so this is the first free slot. An empty name is not
  // stored (it would read as a free slot) and answers false.
  bool AddGroup(const std::string& name, TreeItem item);
  bool AddComputer(const std::string& name, TreeItem parentItem, TreeItem item);
  bool AddShare(const std::string& name, TreeItem parentItem, TreeItem item);

  // Removes every entry.
  void Clear();

 private:
  std::mutex addLock_;
};

}  // namespace mv
