// Parsing of entry lines: fields split at ";;", the extension cut at the last dot.
#include "core/parsed_entry.h"

#include <array>
#include <cstddef>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr std::size_t kFieldCount = 4;

}  // namespace

bool IsFileType(std::string_view type) {
  return EqualsIgnoreCase(type, kTypeFile);
}
bool IsDirectoryType(std::string_view type) {
  return EqualsIgnoreCase(type, kTypeDirectory);
}

ParsedEntry ParseEntryLine(std::string_view text) {
  std::array<std::string_view, kFieldCount> fields{};
  std::size_t from = 0;
  for (std::size_t f = 0; f < kFieldCount; ++f) {
    const std::size_t cut = text.find(kFieldSeparator, from);
    fields[f] = text.substr(from, cut == std::string_view::npos ? cut : cut - from);
    if (cut == std::string_view::npos) break;
    from = cut + kFieldSeparator.size();
  }

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

}  // namespace mv
