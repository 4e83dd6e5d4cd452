#include "query/space_history.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "core/library_snapshots.h"
#include "core/loaded_snapshot.h"
#include "core/snapshot_library.h"
#include "core/text.h"
#include "query/export_file.h"
#include "query/folder_space.h"

namespace mv {
namespace {

constexpr std::string_view kCacheMagic = "Mirrorvault totals 1";
constexpr std::size_t kCacheFields = 8;

struct CachedTotal {
  FileStamp stamp;
  FolderTotal total;
  std::uint64_t folders = 0;
};

// Cache lines: name, volume, index, size, written, bytes, files, folders; TAB-separated.
// A line that is not of that shape is passed over.
std::map<std::string, CachedTotal, std::less<>> ReadCache(FileSystem& fileSystem,
                                                          const std::string& path) {
  std::map<std::string, CachedTotal, std::less<>> cache;
  std::vector<char> bytes;
  if (fileSystem.ReadWholeExclusive(path, kMaxTotalsCacheBytes, bytes) != IoError::kNone) {
    return cache;
  }
  const std::string_view text(bytes.data(), bytes.empty() ? 0 : bytes.size() - 1);
  std::size_t at = 0;
  bool first = true;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (first) {
      if (line != kCacheMagic) return cache;
      first = false;
      continue;
    }
    std::string_view fields[kCacheFields];
    std::size_t from = 0, count = 0;
    for (; count < kCacheFields && from <= line.size(); ++count) {
      std::size_t cut = line.find('\t', from);
      if (cut == std::string_view::npos) cut = line.size();
      fields[count] = line.substr(from, cut - from);
      from = cut + 1;
    }
    if (count != kCacheFields || from <= line.size() || fields[0].empty()) continue;
    std::uint64_t numbers[kCacheFields - 1] = {};
    bool ok = true;
    for (std::size_t f = 1; f < kCacheFields && ok; ++f) {
      const char* const last = fields[f].data() + fields[f].size();
      const auto [ptr, error] = std::from_chars(fields[f].data(), last, numbers[f - 1]);
      ok = error == std::errc() && ptr == last && !fields[f].empty();
    }
    if (!ok) continue;
    CachedTotal& entry = cache[std::string(fields[0])];
    entry.stamp = {numbers[0], numbers[1], numbers[2], numbers[3]};
    entry.total = {numbers[4], numbers[5]};
    entry.folders = numbers[6];
  }
  return cache;
}

// A name the cache can hold on one line of its own.
bool FitsCacheLine(std::string_view name) {
  return !name.empty() && name.find_first_of("\t\r\n") == std::string_view::npos;
}

bool WriteCache(FileSystem& fileSystem, const std::string& path,
                const std::map<std::string, CachedTotal, std::less<>>& cache) {
  return WriteWholeFile(fileSystem, path, [&](ByteSink& sink) {
           std::string text(kCacheMagic);
           text += '\n';
           for (const auto& [name, entry] : cache) {
             text += name;
             for (const std::uint64_t number :
                  {entry.stamp.volume, entry.stamp.index, entry.stamp.size, entry.stamp.written,
                   entry.total.bytes, entry.total.files, entry.folders}) {
               text += '\t';
               text += std::to_string(number);
             }
             text += '\n';
           }
           return sink.Write(text);
         }) == IoError::kNone;
}

// The folders below a folder, at any depth: each is listed once.
std::uint64_t FoldersBelow(const LoadedSnapshot& snapshot, const std::string& folder) {
  std::vector<SpaceItem> folders;
  if (!FolderSpace(snapshot, folder, std::numeric_limits<int>::max(), folders)) return 0;
  return folders.empty() ? 0 : folders.size() - 1;
}

}  // namespace

HistoryResult ComputerHistory(FileSystem& fileSystem, const std::string& directory,
                              const HistoryRequest& request) {
  HistoryResult result;
  SnapshotChoice choice;
  choice.computer = request.computer;
  choice.group = request.group;
  const std::vector<LibrarySnapshot> library = ListLibrarySnapshots(fileSystem, directory);
  std::vector<LibrarySnapshot> snapshots = ChooseSnapshots(library, choice);
  std::reverse(snapshots.begin(), snapshots.end());  // the list is newest first

  const std::string cachePath = SnapshotFilePath(directory, kTotalsCacheName);
  const bool wholeSnapshots = !request.folder;
  auto cache = wholeSnapshots ? ReadCache(fileSystem, cachePath)
                              : std::map<std::string, CachedTotal, std::less<>>{};
  bool cacheChanged = false;
  std::size_t done = 0;
  for (const LibrarySnapshot& snapshot : snapshots) {
    if (request.progress) request.progress(done++, snapshots.size());
    CaptureTotal capture;
    capture.fileName = snapshot.fileName;
    capture.dateText = snapshot.dateText;
    IoError error = IoError::kNone;
    std::unique_ptr<InputFile> file = fileSystem.OpenExclusive(snapshot.path, error);
    if (file == nullptr) {
      result.unreadable.push_back(snapshot.fileName + ": " + DescribeIoError(error));
      continue;
    }
    const FileStamp stamp = file->stamp();
    file.reset();  // the loader opens it for itself
    if (wholeSnapshots) {
      const auto cached = cache.find(snapshot.fileName);
      if (cached != cache.end() && cached->second.stamp == stamp) {
        capture.present = true;
        capture.total = cached->second.total;
        capture.folders = cached->second.folders;
        result.captures.push_back(std::move(capture));
        continue;
      }
    }
    LoadedSnapshot loaded;
    const LoadResult load = loaded.Load(fileSystem, snapshot.path);
    ++result.read;
    if (load != LoadResult::kAccepted) {
      result.unreadable.push_back(snapshot.fileName + ": " + DescribeLoadResult(load));
      continue;
    }
    if (wholeSnapshots) {
      std::vector<SpaceItem> self;
      FolderSpace(loaded, "", 0, self);
      capture.present = true;
      capture.total = self.empty() ? FolderTotal{} : self.front().total;
      capture.folders = static_cast<std::uint64_t>(loaded.info().directoryCount);
      // Only a file that is still the one read is cached.
      if (loaded.fileSize() == static_cast<std::int64_t>(stamp.size) &&
          FitsCacheLine(snapshot.fileName)) {
        cache[snapshot.fileName] = {stamp, capture.total, capture.folders};
        cacheChanged = true;
      }
    } else {
      const std::string folder = request.folder(loaded.info().encoding);
      capture.present = loaded.FolderTotalOf(folder, capture.total);
      if (capture.present) capture.folders = FoldersBelow(loaded, folder);
    }
    result.captures.push_back(std::move(capture));
  }
  if (request.progress) request.progress(done, snapshots.size());
  if (wholeSnapshots) {
    // Entries of files that are gone leave with the next write.
    std::set<std::string_view> listed;
    for (const LibrarySnapshot& snapshot : library) listed.insert(snapshot.fileName);
    for (auto at = cache.begin(); at != cache.end();) {
      if (listed.count(at->first) != 0) {
        ++at;
      } else {
        at = cache.erase(at);
        cacheChanged = true;
      }
    }
    if (cacheChanged) result.cacheSaved = WriteCache(fileSystem, cachePath, cache);
  }
  return result;
}

}  // namespace mv
