// One entry line of a snapshot cut into what the file list shows: name, kind, extension,
// size and date. Also takes the name of a row apart when given a bare name.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mv {

struct ParsedEntry {
  std::string displayName;  // Name column: a file's name without its last extension
  std::string fullName;     // the whole name
  std::string type;         // "f" or "d" as written (any case); empty for a bare name
  std::string extension;    // a file's text after its last "." (not a leading one), lower case
  std::string sizeText;     // a file's size as written; empty for a directory
  std::string dateText;     // month.day.year as written
};

inline constexpr std::size_t kEntryFieldCount = 4;
// Name (with its directory path), kind, size and date, as views into the line.
using EntryFields = std::array<std::string_view, kEntryFieldCount>;

// The one reader of entry lines. When the last three fields are what a writer writes (kind
// "f" or "d" in any case, size in digits, date as digits.digits.digits), the name is
// everything before them, so names holding ";;" read back whole. Any other line is cut at
// each ";;" from the left, further fields ignored; missing fields are empty.
EntryFields SplitEntryFields(std::string_view text);

// SplitEntryFields(text)[1], the kind, without the work of the other fields; size, when
// given, takes SplitEntryFields(text)[2].
std::string_view EntryKind(std::string_view text, std::string_view* size = nullptr);

// An entry line into what the file list shows. Names, extensions and sizes are kept whole,
// however long: the live path of a row is built back from its Name and Type cells, so a
// shortened cell would name another file.
ParsedEntry ParseEntryLine(std::string_view text);

// A row's Name text taken whole as the name (type empty), ";;" and all.
ParsedEntry ParseBareName(std::string_view name);

// A file's size field as a number for totals: a plain number, else 0 (as the list sorts a
// size it cannot read), at most the largest 64-bit value.
std::uint64_t FileSizeBytes(std::string_view size);

// True for type "f" and "d" respectively, ignoring case.
bool IsFileType(std::string_view type);
bool IsDirectoryType(std::string_view type);

}  // namespace mv
