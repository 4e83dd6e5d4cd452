#include "query/folder_space.h"

#include <algorithm>
#include <iterator>

#include "core/parsed_entry.h"
#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {
namespace {

std::string ChildPath(std::string_view location, std::string_view name) {
  std::string path(location);
  if (!path.empty() && path.back() != kPathSeparator) path += kPathSeparator;
  path.append(name);
  return path;
}

// Calls child(name, isFolder, sizeText) for each entry of location's block, names viewing
// bytes. False when the location is not there or cannot be read; true with no call for a
// share or directory with nothing in it.
template <typename Child>
bool ForEachChild(const LoadedSnapshot& snapshot, std::string_view location, std::string& bytes,
                  Child child) {
  PathLocation found;
  if (!snapshot.ReadPathRange(location, found, bytes)) {
    // A share or a directory with nothing in it lists nothing; anything else is not there.
    FolderTotal total;
    bytes.clear();
    return snapshot.FolderTotalOf(location, total) && !snapshot.readFailed();
  }
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", at);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line = std::string_view(bytes).substr(at, end - at);
    at = end + 1;
    line = line.substr(0, line.find('\0'));
    if (line.size() <= static_cast<std::size_t>(found.nameOffset)) continue;
    const EntryFields fields =
        SplitEntryFields(line.substr(static_cast<std::size_t>(found.nameOffset)));
    const bool folder = IsDirectoryType(fields[1]);
    if (!folder && !IsFileType(fields[1])) continue;
    child(fields[0], folder, fields[2]);
  }
  return true;
}

}  // namespace

bool ListSpace(const LoadedSnapshot& snapshot, std::string_view location,
               std::vector<SpaceItem>& children) {
  children.clear();
  if (location.empty()) {
    for (const std::string& share : snapshot.shareNames()) {
      SpaceItem item{share, true, 1, {}};
      snapshot.FolderTotalOf(share, item.total);
      children.push_back(std::move(item));
    }
    return true;
  }
  std::string bytes;
  return ForEachChild(snapshot, location, bytes,
                      [&](std::string_view name, bool folder, std::string_view size) {
                        SpaceItem item{ChildPath(location, name), folder, 1, {}};
                        if (folder) {
                          snapshot.FolderTotalOf(item.path, item.total);
                        } else {
                          item.total = {FileSizeBytes(size), 1};
                        }
                        children.push_back(std::move(item));
                      });
}

bool ListSpaceNames(const LoadedSnapshot& snapshot, std::string_view location, std::string& text,
                    std::vector<SpaceName>& children) {
  children.clear();
  std::string path;
  const bool listed = ForEachChild(snapshot, location, text,
                                   [&](std::string_view name, bool folder, std::string_view size) {
                                     SpaceName child{name, folder, {}};
                                     if (folder) {
                                       path = ChildPath(location, name);
                                       snapshot.FolderTotalOf(path, child.total);
                                     } else {
                                       child.total = {FileSizeBytes(size), 1};
                                     }
                                     children.push_back(child);
                                   });
  std::sort(children.begin(), children.end(), [](const SpaceName& a, const SpaceName& b) {
    if (a.total.bytes != b.total.bytes) return a.total.bytes > b.total.bytes;
    return a.name < b.name;
  });
  return listed;
}

bool FolderSpace(const LoadedSnapshot& snapshot, std::string_view location, int depth,
                 std::vector<SpaceItem>& folders) {
  folders.clear();
  SpaceItem self{std::string(location), true, 0, {}};
  if (location.empty()) {
    for (const std::string& share : snapshot.shareNames()) {
      FolderTotal total;
      snapshot.FolderTotalOf(share, total);
      self.total.bytes += total.bytes;
      self.total.files += total.files;
    }
  } else {
    snapshot.FolderTotalOf(location, self.total);
  }
  std::vector<SpaceItem> children;
  if (!ListSpace(snapshot, location, children)) return false;
  folders.push_back(std::move(self));
  // Folders wait in a stack of their own, so depth costs no recursion.
  std::vector<SpaceItem> pending;
  for (SpaceItem& child : children) {
    if (child.isFolder && depth > 0) pending.push_back(std::move(child));
  }
  while (!pending.empty()) {
    SpaceItem folder = std::move(pending.back());
    pending.pop_back();
    if (folder.depth < depth && ListSpace(snapshot, folder.path, children)) {
      for (SpaceItem& child : children) {
        if (!child.isFolder) continue;
        child.depth = folder.depth + 1;
        pending.push_back(std::move(child));
      }
    }
    folders.push_back(std::move(folder));
  }
  SortBySpace(folders);
  return true;
}

std::string SpaceSizeText(std::uint64_t bytes) {
  static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  // One decimal, rounded, without the locale's separator.
  const auto tenths = static_cast<std::uint64_t>(value * 10 + 0.5);
  return std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10) + ' ' + kUnits[unit];
}

void SortBySpace(std::vector<SpaceItem>& items) {
  std::sort(items.begin(), items.end(), [](const SpaceItem& a, const SpaceItem& b) {
    if (a.total.bytes != b.total.bytes) return a.total.bytes > b.total.bytes;
    if (a.depth != b.depth) return a.depth < b.depth;
    return a.path < b.path;
  });
}

}  // namespace mv
