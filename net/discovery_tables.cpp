// Adding to and clearing the discovery tables.
#include "net/discovery_tables.h"

namespace mv {

bool DiscoveryTables::AddGroup(const std::string& name, TreeItem item) {
  if (name.empty()) return false;  // an empty name would read as a free slot
  std::lock_guard lock(addLock_);
  groups.push_back(NetGroupEntry{name, item});
  return true;
}

bool DiscoveryTables::AddComputer(const std::string& name, TreeItem parentItem, TreeItem item) {
  if (name.empty()) return false;
  std::lock_guard lock(addLock_);
  computers.push_back(NetComputerEntry{name, item, parentItem});
  return true;
}

bool DiscoveryTables::AddShare(const std::string& name, TreeItem parentItem, TreeItem item) {
  if (name.empty()) return false;
  std::lock_guard lock(addLock_);
  shares.push_back(NetShareEntry{name, item, parentItem});
  return true;
}

void DiscoveryTables::Clear() {
  std::lock_guard lock(addLock_);
  groups.clear();
  computers.clear();
  shares.clear();
}

}  // namespace mv
