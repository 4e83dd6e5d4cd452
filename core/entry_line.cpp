// Formatting of entry lines: the relative path, the type letter, the 64-bit size in decimal
// and the creation date in UTC as month.day.year without leading zeros.
#include "core/entry_line.h"

#include <charconv>

#include "core/snapshot_format.h"
#include "core/text.h"
#include "platform/utf8_text.h"

namespace mv {
namespace {

template <typename Number>
void AppendDecimal(std::string& out, Number value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// What stands in a written name in place of a character the format cannot hold.
constexpr char kAlteredCharacter = '?';

}  // namespace

bool ReplaceUnwritable(std::string& text, std::size_t from) {
  bool replaced = ReplaceInvalidUtf8(text, from);
  for (std::size_t at = from; at < text.size(); ++at) {
    if (text[at] == '\r' || text[at] == '\n') {
      text[at] = kAlteredCharacter;
      replaced = true;
    }
  }
  return replaced;
}

bool AppendWrittenName(std::string& out, std::string_view listed, bool inShareRoot) {
  const std::size_t start = out.size();
  out.append(listed);
  bool altered = ReplaceUnwritable(out, start);
  for (std::size_t at = start; at < out.size(); ++at) {
    if (out[at] == kPathSeparator) {
      out[at] = kAlteredCharacter;
      altered = true;
    }
  }
  if (inShareRoot && StartsWithIgnoreCase(listed, kShareNameKey)) {
    out[start + kShareNameKey.find(':')] = kAlteredCharacter;
    altered = true;
  }
  return altered;
}

bool AppendWrittenChildPath(std::string& out, std::string_view parent, std::string_view listed) {
  out.append(parent);
  if (!parent.empty()) out += kPathSeparator;
  return AppendWrittenName(out, listed, parent.empty());
}

bool FormatEntryLine(std::string& line, std::string_view writtenPath, const DirEntry& entry) {
  line.clear();
  const bool nameAltered = AppendWrittenChildPath(line, writtenPath, entry.name);
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

bool WriteEntryLine(SnapshotOutput& out, std::string_view writtenPath, const DirEntry& entry,
                    std::string& line) {
  const bool nameAltered = FormatEntryLine(line, writtenPath, entry);
  WriteLine(out, line);
  return nameAltered;
}

}  // namespace mv
