// The discovery tables: the groups, computers and shares that the last network scan found,
// tied to their items in the network tree by the items' handles.
#pragma once

#include <array>
#include <mutex>
#include <string>

#include "platform/view_ports.h"

namespace mv {

inline constexpr int kMaxGroups = 32;
inline constexpr int kMaxComputers = 512;
inline constexpr int kMaxShares = 4096;

// A slot is free while its name is empty. Names are stored whole, however long: a name cut
// to fit a fixed field would lead the capture to a computer or share that does not exist.
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

using NetGroupTable = std::array<NetGroupEntry, kMaxGroups>;
using NetComputerTable = std::array<NetComputerEntry, kMaxComputers>;
using NetShareTable = std::array<NetShareEntry, kMaxShares>;

// The three tables and their add lock. Enumeration tasks add to them during a scan; the
// capture job and the Take Snapshots dialog read them only while no scan runs (the long
// task gate keeps the two apart), so reads take no lock.
struct DiscoveryTables {
  NetGroupTable groups;
  NetComputerTable computers;
  NetShareTable shares;

  // Each stores its entry in the first free slot, searched from slot 0, as one step under
  // the add lock. A full table stores nothing (the tree item stays) and answers false.
  bool AddGroup(const std::string& name, TreeItem item);
  bool AddComputer(const std::string& name, TreeItem parentItem, TreeItem item);
  bool AddShare(const std::string& name, TreeItem parentItem, TreeItem item);

  // Empties every slot.
  void Clear();

 private:
  std::mutex addLock_;
};

}  // namespace mv
