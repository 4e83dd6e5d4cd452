// The search of the loaded snapshot: a scan of its entry lines in file order, and the run of
// repeated searches that walks from match to match and wraps once.
#include "ui/file_search.h"

#include <algorithm>
#include <cstddef>
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

// The first line of the listed location that gives the row (name, type); -1 for none.
int LineShowingRow(const LoadedSnapshot& snapshot, const PathLocation& location,
                   std::string_view name, std::string_view type) {
  const auto offset = static_cast<std::size_t>(location.nameOffset);
  for (int i = location.firstLine; i <= location.lastLine; ++i) {
    const std::string_view line = snapshot.Line(i);
    if (ShowsAs(ParseEntryLine(line.substr(std::min(offset, line.size()))), name, type)) return i;
  }
  return -1;
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

// Shows the match on line of the share whose header is on line header: its directory listed,
// its row selected. False when the directory cannot be listed (its share section was never
// closed; remembered in unlistable so that its other matches cost nothing) or the row is not
// in the listing (a damaged file).
bool ShowMatch(SnapshotBrowser& browser, FileListPort& list, int header, int line,
               std::string& unlistable) {
  const LoadedSnapshot& snapshot = browser.snapshot();
  const std::string_view path = SplitEntryFields(snapshot.Line(line))[0];
  const std::size_t slash = path.rfind(kPathSeparator);
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  std::string directory(snapshot.Line(header).substr(kShareNameKey.size()));
  directory += kPathSeparator;
  directory += path.substr(0, nameStart);
  if (directory == unlistable) return false;
  if (browser.FillFileList(directory, "") == 0) {
    unlistable = directory;
    return false;
  }
  browser.SetNavigationPath(directory);
  const int row = RowShowing(list, ParseEntryLine(snapshot.Line(line).substr(nameStart)));
  if (row >= 0) list.SelectOnly(row);
  browser.RewriteLocation();
  return row >= 0;
}

// The first match after line `after`, up to line last, that can be shown; -1 for none. One
// pass: the share of each match is followed while scanning, never searched for again.
int NextShownMatch(SnapshotBrowser& browser, FileListPort& list, const NamePattern& pattern,
                   int after, int last) {
  const LoadedSnapshot& snapshot = browser.snapshot();
  int header = std::min(after, snapshot.lineCount() - 1);
  while (header >= 0 && !IsShareHeader(snapshot.Line(header))) --header;
  int followed = after + 1;  // lines before this one have been looked at for share headers
  std::string unlistable;
  for (int from = after + 1;;) {
    const int line = FindMatchingLine(snapshot, pattern, from, last);
    if (line < 0) return -1;
    for (; followed < line; ++followed) {
      if (IsShareHeader(snapshot.Line(followed))) header = followed;
    }
    if (header >= 0 && ShowMatch(browser, list, header, line, unlistable)) return line;
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
  if (!browser.FindListing(directory, location) || browser.FillFileList(directory, "") == 0) {
    return false;
  }
  browser.SetNavigationPath(directory);
  browser.RewriteLocation();
  const LoadedSnapshot& snapshot = browser.snapshot();
  const auto offset = static_cast<std::size_t>(location.nameOffset);
  std::optional<ParsedEntry> found;
  for (int i = location.firstLine; i <= location.lastLine && (!found || found->fullName != name);
       ++i) {
    const std::string_view line = snapshot.Line(i);
    ParsedEntry entry = ParseEntryLine(line.substr(std::min(offset, line.size())));
    if (!IsDirectoryType(entry.type) && !IsFileType(entry.type)) continue;
    if (entry.fullName == name || (!found && EqualsIgnoreCase(entry.fullName, name))) {
      found = std::move(entry);
    }
  }
  const int row = found ? RowShowing(list, *found) : -1;
  if (row >= 0) list.SelectOnly(row);
  return row >= 0;
}

int FindMatchingLine(const LoadedSnapshot& snapshot, const NamePattern& pattern, int first,
                     int last) {
  last = std::min(last, snapshot.lineCount() - 1);
  for (int i = std::max(first, 0); i <= last; ++i) {
    const std::string_view line = snapshot.Line(i);
    const EntryFields fields = SplitEntryFields(line);
    if (!IsFileType(fields[1]) && !IsDirectoryType(fields[1])) continue;
    const std::string_view path = fields[0];
    const std::size_t slash = path.rfind(kPathSeparator);
    if (!pattern.Matches(slash == std::string_view::npos ? path : path.substr(slash + 1))) continue;
    // A share header whose name looks like an entry is still a header.
    if (!IsShareHeader(line)) return i;
  }
  return -1;
}

int LineOfCurrentRow(SnapshotBrowser& browser, FileListPort& list) {
  const int row = FindCurrentRow(list);
  PathLocation location;
  if (browser.listedPath().empty()) {
    if (row < 0 || !browser.FindListing(list.CellText(row, kNameColumn), location)) return -1;
    return location.firstLine - 1;  // the share's header line
  }
  if (!browser.FindListing(browser.listedPath(), location)) return -1;
  if (row >= 0) {
    const int line = LineShowingRow(browser.snapshot(), location, list.CellText(row, kNameColumn),
                                    list.CellText(row, kTypeColumn));
    if (line >= 0) return line;
  }
  return location.firstLine - 1;
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
  const int current = LineOfCurrentRow(browser, list);
  const int lineCount = browser.snapshot().lineCount();
  const bool goesOn = lastMatch_ >= 0 && current == lastMatch_ && sameName &&
                      runSnapshot_ == browser.info().path && runLineCount_ == lineCount;
  if (!goesOn) {
    runSnapshot_ = browser.info().path;
    runLineCount_ = lineCount;
    runStart_ = current;
    wrapped_ = false;
    anyMatch_ = false;
  }
  // Every line is searched once per run: after the start to the end, then from the top to
  // the start itself.
  int match = -1;
  if (!wrapped_) {
    match = NextShownMatch(browser, list, pattern, current, lineCount - 1);
    if (match < 0) {
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
  notices.ShowMessage(anyMatch_ ? QuotedMessage("Nothing more was found for '", name, "'.")
                                : QuotedMessage("Could not find '", name, "'."),
                      MessageKind::kInformation);
  lastMatch_ = -1;
  return false;
}

}  // namespace mv
