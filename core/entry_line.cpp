// Formatting of entry lines: the relative path, the type letter, the 64-bit size in decimal
// and the creation date in UTC as month.day.year without leading zeros.
#include "core/entry_line.h"

#include <charconv>

#include "core/snapshot_format.h"

namespace mv {
namespace {

template <typename Number>
void AppendDecimal(std::string& out, Number value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

bool ReplaceLineBreaksIn(std::string& text, std::size_t from, std::size_t to) {
  bool replaced = false;
  for (std::size_t at = from; at < to; ++at) {
    if (text[at] == '\r' || text[at] == '\n') {
      text[at] = '?';
      replaced = true;
    }
  }
  return replaced;
}

}  // namespace

std::string_view RelativeDirectoryPath(std::string_view directoryPath) {
  // Past the two leading backslashes and the computer name's first character, the first
  // backslash ends the computer name and the second one ends the share root.
  if (directoryPath.size() <= 3) return {};
  const std::size_t computerEnd = directoryPath.find(kPathSeparator, 3);
  if (computerEnd == std::string_view::npos) return {};
  const std::size_t rootEnd = directoryPath.find(kPathSeparator, computerEnd + 1);
  if (rootEnd == std::string_view::npos) return {};
  return directoryPath.substr(rootEnd + 1);
}

bool ReplaceLineBreaks(std::string& text, std::size_t from) {
  return ReplaceLineBreaksIn(text, from, text.size());
}

bool FormatEntryLine(std::string& line, std::string_view relativePath, const DirEntry& entry) {
  line.clear();
  if (!relativePath.empty()) {
    line.append(relativePath);
    line += kPathSeparator;
  }
  const std::size_t nameStart = line.size();
  line.append(entry.name);
  const bool nameAltered = ReplaceLineBreaks(line, nameStart);
  // A directory above whose name held one was counted at its own line.
  ReplaceLineBreaksIn(line, 0, nameStart);
  line.append(kFieldSeparator);
  line.append((entry.attributes & kAttrDirectory) != 0 ? kTypeDirectory : kTypeFile);
  line.append(kFieldSeparator);
  AppendDecimal(line, entry.size);
  line.append(kFieldSeparator);
  AppendDecimal(line, entry.created.month);
  line += kDateSeparator;
  AppendDecimal(line, entry.created.day);
  line += kDateSeparator;
  AppendDecimal(line, entry.created.year);
  return nameAltered;
}

bool WriteEntryLine(SnapshotOutput& out, std::string_view directoryPath, const DirEntry& entry,
                    std::string& line) {
  const bool nameAltered = FormatEntryLine(line, RelativeDirectoryPath(directoryPath), entry);
  WriteLine(out, line);
  return nameAltered;
}

}  // namespace mv
