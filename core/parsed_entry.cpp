// Parsing of entry lines: the four fields (a name may hold ";;"), the extension cut at the
// last dot.
#include "core/parsed_entry.h"

#include <array>
#include <cstddef>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {
bool IsFileType(std::string_view type) {
  return EqualsIgnoreCase(type, kTypeFile);
}
bool IsDirectoryType(std::string_view type) {
  return EqualsIgnoreCase(type, kTypeDirectory);
}

namespace {

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// month.day.year, each in digits.
bool IsDateField(std::string_view text) {
  const std::size_t first = text.find(kDateSeparator);
  if (first == std::string_view::npos) return false;
  const std::size_t second = text.find(kDateSeparator, first + 1);
  if (second == std::string_view::npos) return false;
  return AllDigits(text.substr(0, first)) &&
         AllDigits(text.substr(first + 1, second - first - 1)) &&
         AllDigits(text.substr(second + 1));
}

// The last three fields when they are what the writer writes (kind, size, date): then the
// name is everything before them, ";;" inside it included.
bool SplitFromTheRight(std::string_view text, EntryFields& fields) {
  std::size_t end = text.size();
  for (std::size_t f = kEntryFieldCount - 1; f > 0; --f) {
    if (end < kFieldSeparator.size()) return false;
    const std::size_t cut = text.rfind(kFieldSeparator, end - kFieldSeparator.size());
    if (cut == std::string_view::npos) return false;
    fields[f] = text.substr(cut + kFieldSeparator.size(), end - cut - kFieldSeparator.size());
    end = cut;
  }
  fields[0] = text.substr(0, end);
  return (IsFileType(fields[1]) || IsDirectoryType(fields[1])) && AllDigits(fields[2]) &&
         IsDateField(fields[3]);
}

// Any other line is cut at each ";;" from the left; further fields are ignored.
void SplitFromTheLeft(std::string_view text, EntryFields& fields) {
  fields = {};
  std::size_t from = 0;
  for (std::size_t f = 0; f < kEntryFieldCount; ++f) {
    const std::size_t cut = text.find(kFieldSeparator, from);
    fields[f] = text.substr(from, cut == std::string_view::npos ? cut : cut - from);
    if (cut == std::string_view::npos) break;
    from = cut + kFieldSeparator.size();
  }
}

ParsedEntry FromFields(const EntryFields& fields) {
  ParsedEntry entry;
  const std::string_view name = fields[0];
  entry.fullName = name;
  entry.displayName = name;
  entry.type = fields[1];
  if (IsFileType(fields[1])) {
    // A dot in first position starts a name (".profile"), it does not mark an extension.
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot >= 1) {
      entry.displayName = name.substr(0, dot);
      for (const char c : name.substr(dot + 1)) entry.extension += AsciiLower(c);
    }
    entry.sizeText = fields[2];
  }
  entry.dateText = fields[3];
  return entry;
}

}  // namespace

EntryFields SplitEntryFields(std::string_view text) {
  EntryFields fields;
  if (!SplitFromTheRight(text, fields)) SplitFromTheLeft(text, fields);
  return fields;
}

ParsedEntry ParseEntryLine(std::string_view text) {
  return FromFields(SplitEntryFields(text));
}

ParsedEntry ParseBareName(std::string_view name) {
  EntryFields fields{};
  fields[0] = name;
  return FromFields(fields);
}

}  // namespace mv
