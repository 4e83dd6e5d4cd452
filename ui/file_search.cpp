// The search of the loaded snapshot: a scan of its entry lines in file order, and the run of
// repeated searches that walks from match to match and wraps once.
#include "ui/file_search.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "core/parsed_entry.h"
#include "core/snapshot_format.h"
#include "core/text.h"
#include "ui/file_list_rows.h"
#include "ui/row_actions.h"

namespace mv {
namespace {

constexpr std::string_view kNoSnapshotText = "No snapshot is loaded.";

std::string QuotedMessage(std::string_view before, std::string_view name, std::string_view after) {
  std::string text(before);
  text += name;
  text += after;
  return text;
}

// The Type cell FillFileList gives the entry's row.
std::string_view TypeCellOf(const ParsedEntry& entry) {
  return IsDirectoryType(entry.type) ? kDirectoryTypeText : std::string_view(entry.extension);
}

bool ShowsAs(const ParsedEntry& entry, std::string_view name, std::string_view type) {
  return (IsDirectoryType(entry.type) || IsFileType(entry.type)) && entry.displayName == name &&
         TypeCellOf(entry) == type;
}

// The first line of the listed location (its bytes, read from begin) that gives the row
// (name, type); -1 for none.
std::int64_t LineShowingRow(const PathLocation& location, std::string_view bytes,
                            std::string_view name, std::string_view type) {
  const auto offset = static_cast<std::size_t>(location.nameOffset);
  std::int64_t found = -1;
  LineCutter cutter;
  cutter.Restart(static_cast<std::uint64_t>(location.begin));
  auto look = [&](std::uint64_t start, std::string_view line) {
    if (!ShowsAs(ParseEntryLine(line.substr(std::min(offset, line.size()))), name, type)) {
      return true;
    }
    found = static_cast<std::int64_t>(start);
    return false;
  };
  if (cutter.Feed(bytes, look) == LineCutter::Status::kGoOn) cutter.Finish(look);
  return found;
}

int RowShowing(FileListPort& list, const ParsedEntry& entry) {
  for (int row = 0; row < list.RowCount(); ++row) {
    if (ShowsAs(entry, list.CellText(row, kNameColumn), list.CellText(row, kTypeColumn))) {
      return row;
    }
  }
  return -1;
}

bool IsShareHeader(std::string_view line) {
  return StartsWithIgnoreCase(line, kShareNameKey);
}

// Shows the match, the entry line text of the share name: its directory listed, its row
// selected. False when the directory cannot be listed (its share section was never closed;
// remembered in unlistable so that its other matches cost nothing) or the row is not in the
// listing (a damaged file).
bool ShowMatch(SnapshotBrowser& browser, FileListPort& list, std::string_view share,
               std::string_view text, std::string& unlistable) {
  const std::string_view path = SplitEntryFields(text)[0];
  const std::size_t slash = path.rfind(kPathSeparator);
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  std::string directory(share);
  directory += kPathSeparator;
  directory += path.substr(0, nameStart);
  if (directory == unlistable) return false;
  if (browser.FillFileList(directory, "") == 0) {
    unlistable = directory;
    return false;
  }
  browser.SetNavigationPath(directory);
  const int row = RowShowing(list, ParseEntryLine(text.substr(nameStart)));
  if (row >= 0) list.SelectOnly(row);
  browser.RewriteLocation();
  return row >= 0;
}

// The first match after offset `after`, up to a line that begins at last, that can be
// shown; -1 for none, or when the file cannot be read (then reported, and the browser's
// readFailed() says so).
std::int64_t NextShownMatch(SnapshotBrowser& browser, FileListPort& list,
                            const NamePattern& pattern, std::int64_t after, std::int64_t last) {
  const LoadedSnapshot& snapshot = browser.snapshot();
  std::string unlistable;
  std::string text;
  for (std::int64_t from = after + 1;;) {
    const std::int64_t line = FindMatchingLine(snapshot, pattern, from, last, &text);
    if (line < 0) {
      if (snapshot.readFailed()) browser.ReportUnreadable();
      return -1;
    }
    std::string_view share;
    if (snapshot.ShareHeaderBefore(line, share) >= 0 &&
        ShowMatch(browser, list, share, text, unlistable)) {
      return line;
    }
    if (browser.readFailed()) return -1;  // the fill has said so
    from = line + 1;
  }
}

}  // namespace

bool ShowEntryInFolder(SnapshotBrowser& browser, FileListPort& list, std::string_view folder,
                       std::string_view name) {
  if (folder.empty()) {
    if (browser.FillFileList("", name) == 0) return false;
    browser.ClearNavigationPath();
    browser.RewriteLocation();
    for (int row = 0; row < list.RowCount(); ++row) {
      if ((list.RowState(row) & kRowSelected) != 0) {
        list.SelectOnly(row);
        return true;
      }
    }
    return false;
  }
  std::string directory(folder);
  if (directory.back() != kPathSeparator) directory += kPathSeparator;
  PathLocation location;
  std::string bytes;
  if (!browser.snapshot().ReadPathRange(directory, location, bytes) ||
      browser.FillFileList(directory, "") == 0) {
    return false;
  }
  browser.SetNavigationPath(directory);
  browser.RewriteLocation();
  // The entry of that name: its exact spelling first, else the first that differs in case.
  const auto offset = static_cast<std::size_t>(location.nameOffset);
  std::optional<ParsedEntry> found;
  LineCutter cutter;
  cutter.Restart(static_cast<std::uint64_t>(location.begin));
  auto look = [&](std::uint64_t, std::string_view line) {
    ParsedEntry entry = ParseEntryLine(line.substr(std::min(offset, line.size())));
    if (!IsDirectoryType(entry.type) && !IsFileType(entry.type)) return true;
    if (entry.fullName == name || (!found && EqualsIgnoreCase(entry.fullName, name))) {
      found = std::move(entry);
    }
    return !(found && found->fullName == name);  // on until the exact spelling
  };
  if (cutter.Feed(bytes, look) == LineCutter::Status::kGoOn) cutter.Finish(look);
  const int row = found ? RowShowing(list, *found) : -1;
  if (row >= 0) list.SelectOnly(row);
  return row >= 0;
}

std::int64_t FindMatchingLine(const LoadedSnapshot& snapshot, const NamePattern& pattern,
                              std::int64_t first, std::int64_t last, std::string* text) {
  std::int64_t found = -1;
  snapshot.ForEachLine(first, last, [&](std::int64_t start, std::string_view line) {
    const EntryFields fields = SplitEntryFields(line);
    if (!IsFileType(fields[1]) && !IsDirectoryType(fields[1])) return true;
    const std::string_view path = fields[0];
    const std::size_t slash = path.rfind(kPathSeparator);
    if (!pattern.Matches(slash == std::string_view::npos ? path : path.substr(slash + 1))) {
      return true;
    }
    // A share header whose name looks like an entry is still a header.
    if (IsShareHeader(line)) return true;
    found = start;
    if (text != nullptr) text->assign(line);
    return false;
  });
  return snapshot.readFailed() ? -1 : found;
}

std::int64_t LineOfCurrentRow(SnapshotBrowser& browser, FileListPort& list) {
  const int row = FindCurrentRow(list);
  const LoadedSnapshot& snapshot = browser.snapshot();
  PathLocation location;
  std::string bytes;
  if (browser.listedPath().empty()) {
    if (row < 0 || !snapshot.FindPathRange(list.CellText(row, kNameColumn), location)) return -1;
    return location.begin - 1;  // the share's header line, or any byte up to its first line
  }
  if (!snapshot.ReadPathRange(browser.listedPath(), location, bytes)) return -1;
  if (row >= 0) {
    const std::int64_t line = LineShowingRow(location, bytes, list.CellText(row, kNameColumn),
                                             list.CellText(row, kTypeColumn));
    if (line >= 0) return line;
  }
  return location.begin - 1;
}

bool FileSearch::Search(SnapshotBrowser& browser, FileListPort& list, NoticePort& notices,
                        std::string_view name) {
  const bool sameName = EqualsIgnoreCase(name, lastName_);
  lastName_ = name;
  if (browser.shareCount() == 0) {
    notices.ShowMessage(std::string(kNoSnapshotText), MessageKind::kInformation);
    return false;
  }
  if (name.empty()) return false;
  const NamePattern pattern(name);
  const std::int64_t current = LineOfCurrentRow(browser, list);
  if (browser.readFailed()) {
    browser.ReportUnreadable();
    lastMatch_ = -1;
    return false;
  }
  const std::int64_t size = browser.snapshot().fileSize();
  const bool goesOn = lastMatch_ >= 0 && current == lastMatch_ && sameName &&
                      runSnapshot_ == browser.info().path && runSize_ == size;
  if (!goesOn) {
    runSnapshot_ = browser.info().path;
    runSize_ = size;
    runStart_ = current;
    wrapped_ = false;
    anyMatch_ = false;
  }
  // Every line is searched once per run: after the start to the end, then from the top to
  // the start itself.
  std::int64_t match = -1;
  if (!wrapped_) {
    match = NextShownMatch(browser, list, pattern, current, size - 1);
    if (match < 0 && !browser.readFailed()) {
      wrapped_ = true;
      match = NextShownMatch(browser, list, pattern, -1, runStart_);
    }
  } else {
    match = NextShownMatch(browser, list, pattern, current, runStart_);
  }
  if (match >= 0) {
    lastMatch_ = match;
    anyMatch_ = true;
    return true;
  }
  lastMatch_ = -1;
  if (browser.readFailed()) return false;  // said already
  notices.ShowMessage(anyMatch_ ? QuotedMessage("Nothing more was found for '", name, "'.")
                                : QuotedMessage("Could not find '", name, "'."),
                      MessageKind::kInformation);
  lastMatch_ = -1;
  return false;
}

}  // namespace mv
