// The search of the Find in All Snapshots window: see find_in_snapshots.h.
#include "ui/find_in_snapshots.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "core/snapshot_format.h"
#include "core/text.h"
#include "query/indexed_find.h"
#include "query/snapshot_scan.h"

namespace mv {
namespace {

bool HasName(const std::vector<FindScope>& scopes, FindScope::Kind kind, std::string_view name) {
  return std::any_of(scopes.begin(), scopes.end(), [&](const FindScope& scope) {
    return scope.kind == kind && EqualsIgnoreCase(scope.name, name);
  });
}

// Digits as a number of any length: fewer significant digits is less.
int CompareDigits(std::string_view a, std::string_view b) {
  const auto significant = [](std::string_view digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : digits.substr(first);
  };
  a = significant(a);
  b = significant(b);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

// month.day.year as a number that orders by date; 0 for a text of another form.
std::int64_t DateKey(std::string_view text) {
  std::int64_t parts[3] = {0, 0, 0};
  std::size_t part = 0;
  for (const char c : text) {
    if (c == '.' && part < 2) {
      ++part;
    } else if (c >= '0' && c <= '9' && parts[part] < 100000) {
      parts[part] = parts[part] * 10 + (c - '0');
    } else {
      return 0;
    }
  }
  return part == 2 ? (parts[2] * 100 + parts[0]) * 100 + parts[1] : 0;
}

// "dd.MM.yyyy HH:mm:ss" in the order that sorts by time: yyyyMMdd, then the time as written.
std::string SnapshotTimeKey(std::string_view text) {
  if (text.size() < 10) return std::string(text);
  std::string key(text.substr(6, 4));
  key += text.substr(3, 2);
  key += text.substr(0, 2);
  key += text.substr(10);
  return key;
}

}  // namespace

std::vector<FindScope> ScopesOfLibrary(const std::vector<LibrarySnapshot>& library) {
  std::vector<FindScope> scopes{FindScope{}};
  for (const LibrarySnapshot& snapshot : library) {
    if (!snapshot.group.empty() && !HasName(scopes, FindScope::Kind::kGroup, snapshot.group)) {
      scopes.push_back({FindScope::Kind::kGroup, snapshot.group});
    }
  }
  for (const LibrarySnapshot& snapshot : library) {
    if (!HasName(scopes, FindScope::Kind::kComputer, snapshot.computer)) {
      scopes.push_back({FindScope::Kind::kComputer, snapshot.computer});
    }
  }
  return scopes;
}

std::vector<LibrarySnapshot> SnapshotsToSearch(const std::vector<LibrarySnapshot>& library,
                                               const FindChoices& choices) {
  SnapshotChoice choice;
  choice.latestOnly = choices.newestOnly && choices.show == FindShow::kEveryHit;
  std::vector<LibrarySnapshot> chosen = ChooseSnapshots(library, choice);
  if (choices.scope.kind == FindScope::Kind::kAll) return chosen;
  std::erase_if(chosen, [&](const LibrarySnapshot& snapshot) {
    const std::string& name =
        choices.scope.kind == FindScope::Kind::kGroup ? snapshot.group : snapshot.computer;
    return !EqualsIgnoreCase(name, choices.scope.name);
  });
  return chosen;
}

// Turns the engine's reports into the pending batch, on the search's thread.
class FindSearch::Report final : public FindReport {
 public:
  explicit Report(FindSearch& search) : search_(search) {}

  void Found(const LibrarySnapshot& snapshot, std::string_view computer, NameEncoding encoding,
             const std::vector<FoundEntry>& hits) override {
    std::vector<FindHit> made = Made(computer, hits, withHits_);
    std::unique_lock lock(search_.mutex_);
    FindBatch& batch = search_.pending_;
    ++batch.searched;
    if (!made.empty()) {
      ++withHits_;
      batch.snapshots.push_back(
          {snapshot.path, snapshot.dateText, std::string(computer), encoding});
      Append(batch, made);
    }
    search_.Changed(lock);
  }

  // The snapshot Found last had hits: these belong to it.
  void FoundMore(const LibrarySnapshot&, std::string_view computer, NameEncoding,
                 const std::vector<FoundEntry>& hits) override {
    std::vector<FindHit> made = Made(computer, hits, withHits_ - 1);
    std::unique_lock lock(search_.mutex_);
    Append(search_.pending_, made);
    search_.Changed(lock);
  }

  void Skipped(const LibrarySnapshot& snapshot, std::string_view reason) override {
    std::unique_lock lock(search_.mutex_);
    ++search_.pending_.searched;
    search_.pending_.unreadable.push_back(snapshot.path + ": " + std::string(reason));
    search_.Changed(lock);
  }

 public:
  static std::vector<FindHit> Made(std::string_view computer, const std::vector<FoundEntry>& hits,
                                   std::uint32_t snapshot) {
    std::vector<FindHit> made;
    made.reserve(hits.size());
    for (const FoundEntry& entry : hits) {
      FindHit hit;
      const std::size_t slash = entry.path.rfind(kPathSeparator);
      const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
      hit.name = entry.path.substr(nameStart);
      hit.folder = entry.share;
      if (nameStart > 0) {
        hit.folder += kPathSeparator;
        hit.folder.append(entry.path, 0, nameStart - 1);
      }
      AppendLivePath(hit.liveFolder, computer, entry.share,
                     std::string_view(entry.path).substr(0, nameStart == 0 ? 0 : nameStart - 1));
      hit.isDirectory = entry.isDirectory;
      if (!entry.isDirectory) hit.size = entry.size;
      hit.created = entry.created;
      hit.snapshot = snapshot;
      made.push_back(std::move(hit));
    }
    return made;
  }

 private:
  static void Append(FindBatch& batch, std::vector<FindHit>& made) {
    if (batch.hits.empty()) {
      batch.hits = std::move(made);
    } else {
      std::move(made.begin(), made.end(), std::back_inserter(batch.hits));
    }
  }

  FindSearch& search_;
  std::uint32_t withHits_ = 0;
};

// Each entry once, with the captures that held it: its hit stands in its last capture.
class FindSearch::Histories final : public HistoryReport {
 public:
  Histories(FindSearch& search, bool gone) : search_(search), gone_(gone) {}

  void Seen(const EntryHistory& history) override {
    std::unique_lock lock(search_.mutex_);
    FindBatch& batch = search_.pending_;
    auto [at, added] = shown_.try_emplace(history.last, static_cast<std::uint32_t>(shown_.size()));
    if (added) {
      batch.snapshots.push_back(
          {history.last->path, history.last->dateText, history.computer, history.encoding});
    }
    std::vector<FindHit> made = Report::Made(history.computer, {history.entry}, at->second);
    FindHit& hit = made.front();
    hit.seen = EntryPresentText(history);
    if (gone_) hit.seen = "last seen " + history.last->dateText + ", " + hit.seen;
    hit.captures = history.captures;
    batch.hits.push_back(std::move(hit));
    search_.Changed(lock);
  }

  void Skipped(const LibrarySnapshot& snapshot, std::string_view reason) override {
    std::unique_lock lock(search_.mutex_);
    search_.pending_.unreadable.push_back(snapshot.path + ": " + std::string(reason));
    search_.Changed(lock);
  }

 private:
  FindSearch& search_;
  bool gone_;
  std::unordered_map<const LibrarySnapshot*, std::uint32_t> shown_;
};

FindSearch::FindSearch(FileSystem& fileSystem, std::vector<LibrarySnapshot> snapshots,
                       const FindChoices& choices, std::function<void()> notify)
    : notify_(std::move(notify)), total_(snapshots.size()) {
  FindRequest request;
  request.pattern = choices.name;
  request.kinds = choices.kinds;
  request.stop = &stop_;
  request.threadsReading = &threadsReading_;
  thread_ =
      std::thread([this, &fileSystem, list = std::move(snapshots), request, choices]() mutable {
        Run(fileSystem, std::move(list), std::move(request), std::move(choices));
      });
}

FindSearch::~FindSearch() {
  Stop();
  if (thread_.joinable()) thread_.join();
}

void FindSearch::Run(FileSystem& fileSystem, std::vector<LibrarySnapshot> snapshots,
                     FindRequest request, FindChoices choices) {
  if (choices.show != FindShow::kEveryHit) {
    Histories report(*this, choices.show == FindShow::kGone);
    FindHistories(fileSystem, choices.directory, snapshots, request,
                  choices.show == FindShow::kGone, report);
  } else if (!choices.directory.empty()) {
    Report report(*this);
    FindWithIndexes(fileSystem, choices.directory, snapshots, request, report);
  } else {
    Report report(*this);
    FindInSnapshots(fileSystem, snapshots, request, report);
  }
  std::unique_lock lock(mutex_);
  // Each entry once reports entries, not snapshots: they were all looked at.
  if (choices.show != FindShow::kEveryHit && !stop_.load()) pending_.searched = total_;
  pending_.finished = true;
  notified_ = false;  // the end is told even when a batch is still waiting
  Changed(lock);
}

void FindSearch::Changed(std::unique_lock<std::mutex>& lock) {
  if (notified_) return;
  notified_ = true;
  lock.unlock();
  if (notify_) notify_();
}

FindBatch FindSearch::Take() {
  std::lock_guard lock(mutex_);
  FindBatch batch = std::move(pending_);
  pending_ = FindBatch{};
  pending_.searched = batch.searched;
  pending_.finished = batch.finished;
  notified_ = false;
  return batch;
}

void FindBatch::Append(FindBatch&& later) {
  std::move(later.snapshots.begin(), later.snapshots.end(), std::back_inserter(snapshots));
  std::move(later.hits.begin(), later.hits.end(), std::back_inserter(hits));
  searched = std::max(searched, later.searched);
  std::move(later.unreadable.begin(), later.unreadable.end(), std::back_inserter(unreadable));
  finished = finished || later.finished;
}

void FindResults::Clear() {
  *this = FindResults{};
}

void FindResults::Add(FindBatch&& batch) {
  std::move(batch.snapshots.begin(), batch.snapshots.end(), std::back_inserter(snapshots_));
  const std::size_t first = hits_.size();
  std::move(batch.hits.begin(), batch.hits.end(), std::back_inserter(hits_));
  const auto middle = static_cast<std::ptrdiff_t>(order_.size());
  for (std::size_t i = first; i < hits_.size(); ++i) order_.push_back(i);
  if (sortColumn_ >= 0) {
    const auto before = [this](std::size_t a, std::size_t b) { return Before(a, b); };
    std::stable_sort(order_.begin() + middle, order_.end(), before);
    std::inplace_merge(order_.begin(), order_.begin() + middle, order_.end(), before);
  }
  searched_ = std::max(searched_, batch.searched);
  std::move(batch.unreadable.begin(), batch.unreadable.end(), std::back_inserter(unreadable_));
}

FindResults::Cell FindResults::CellOf(std::size_t row, int column) const {
  const FindHit& hit = Hit(row);
  const FindHitSnapshot& snapshot = snapshots_[hit.snapshot];
  switch (column) {
    case kFindName:
      return {hit.name, snapshot.encoding};
    case kFindFolder:
      return {hit.liveFolder, snapshot.encoding};
    case kFindSize:
      return {hit.size, NameEncoding::kUtf8};
    case kFindCreated:
      return {hit.created, NameEncoding::kUtf8};
    case kFindSnapshot:
      return {snapshot.dateText, NameEncoding::kUtf8};
    case kFindComputer:
      return {snapshot.computer, snapshot.encoding};
    case kFindSeen:
      return {hit.seen, NameEncoding::kUtf8};
    default:
      return {};
  }
}

bool FindResults::Before(std::size_t a, std::size_t b) const {
  const FindHit& x = hits_[a];
  const FindHit& y = hits_[b];
  int order = 0;
  switch (sortColumn_) {
    case kFindName:
      order = CompareIgnoreCase(x.name, y.name);
      break;
    case kFindFolder:
      order = CompareIgnoreCase(x.liveFolder, y.liveFolder);
      break;
    case kFindSize:
      // Folders before files, then by size.
      order =
          x.isDirectory != y.isDirectory ? (x.isDirectory ? -1 : 1) : CompareDigits(x.size, y.size);
      break;
    case kFindCreated: {
      const std::int64_t dx = DateKey(x.created);
      const std::int64_t dy = DateKey(y.created);
      order = dx == dy ? 0 : (dx < dy ? -1 : 1);
      break;
    }
    case kFindSnapshot:
      order = SnapshotTimeKey(snapshots_[x.snapshot].dateText)
                  .compare(SnapshotTimeKey(snapshots_[y.snapshot].dateText));
      break;
    case kFindComputer:
      order = CompareIgnoreCase(snapshots_[x.snapshot].computer, snapshots_[y.snapshot].computer);
      break;
    case kFindSeen:
      order = x.captures == y.captures ? 0 : (x.captures < y.captures ? -1 : 1);
      break;
    default:
      break;
  }
  if (order == 0) return a < b;  // in the order found
  return descending_ ? order > 0 : order < 0;
}

void FindResults::ClickColumn(int column) {
  if (column < 0 || column >= kFindColumnCount) return;
  descending_ = column == sortColumn_ && !descending_;
  sortColumn_ = column;
  std::stable_sort(order_.begin(), order_.end(),
                   [this](std::size_t a, std::size_t b) { return Before(a, b); });
}

std::string FindResults::ProgressText(std::size_t total, bool finished, bool stopped) const {
  std::string text = !finished ? "Searching... " : (stopped ? "Stopped: " : "Done: ");
  text += std::to_string(searched_) + " of " + std::to_string(total) + " snapshots, " +
          std::to_string(hits_.size()) + " found";
  if (!unreadable_.empty()) {
    text += ", " + std::to_string(unreadable_.size()) + " could not be read (";
    for (std::size_t i = 0; i < unreadable_.size() && i < kNamedUnreadable; ++i) {
      if (i > 0) text += "; ";
      text += unreadable_[i];
    }
    if (unreadable_.size() > kNamedUnreadable) {
      text += "; " + std::to_string(unreadable_.size() - kNamedUnreadable) + " more";
    }
    text += ")";
  }
  text += ".";
  return text;
}

}  // namespace mv
