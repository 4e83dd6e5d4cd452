// Adding to and clearing the discovery tables.
#include "net/discovery_tables.h"

#include <algorithm>

namespace mv {
namespace {

// The first free slot of table, or null when it is full.
template <typename Table>
auto* FirstFreeSlot(Table& table) {
  const auto slot = std::find_if(table.begin(), table.end(),
                                 [](const auto& entry) { return entry.name.empty(); });
  return slot == table.end() ? nullptr : &*slot;
}

}  // namespace

bool DiscoveryTables::AddGroup(const std::string& name, TreeItem item) {
  if (name.empty()) return false;  // an empty name would read as a free slot
  std::lock_guard lock(addLock_);
  NetGroupEntry* slot = FirstFreeSlot(groups);
  if (slot == nullptr) return false;
  *slot = NetGroupEntry{name, item};
  return true;
}

bool DiscoveryTables::AddComputer(const std::string& name, TreeItem parentItem, TreeItem item) {
  if (name.empty()) return false;
  std::lock_guard lock(addLock_);
  NetComputerEntry* slot = FirstFreeSlot(computers);
  if (slot == nullptr) return false;
  *slot = NetComputerEntry{name, item, parentItem};
  return true;
}

bool DiscoveryTables::AddShare(const std::string& name, TreeItem parentItem, TreeItem item) {
  if (name.empty()) return false;
  std::lock_guard lock(addLock_);
  NetShareEntry* slot = FirstFreeSlot(shares);
  if (slot == nullptr) return false;
  *slot = NetShareEntry{name, item, parentItem};
  return true;
}

void DiscoveryTables::Clear() {
  std::lock_guard lock(addLock_);
  groups.fill(NetGroupEntry{});
  computers.fill(NetComputerEntry{});
  shares.fill(NetShareEntry{});
}

}  // namespace mv
