// One entry line of a snapshot cut into what the file list shows: name, kind, extension,
// size and date. Also takes the name of a row apart when given a bare name.
#pragma once

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

// Cuts text at each ";;" into name, type, size and date (further fields are ignored). Names,
// extensions and sizes are kept whole, however long: the live path of a row is built back
// from its Name and Type cells, so a shortened cell would name another file.
ParsedEntry ParseEntryLine(std::string_view text);

// True for type "f" and "d" respectively, ignoring case.
bool IsFileType(std::string_view type);
bool IsDirectoryType(std::string_view type);

}  // namespace mv
