// One entry line of a snapshot file: path;;type;;size;;month.day.year.
#pragma once

#include <string>
#include <string_view>

#include "core/snapshot_output.h"
#include "platform/file_system.h"

namespace mv {

// The part of a directory path "\\COMPUTER\SHARE\rest" below the share root ("rest"), or
// empty when the path is the share root itself.
std::string_view RelativeDirectoryPath(std::string_view directoryPath);

// Replaces each CR and LF of text from position `from` on by '?': a line break inside a name
// would end its line early and let the rest of the name pass for lines of its own. True
// when any was replaced.
bool ReplaceLineBreaks(std::string& text, std::size_t from = 0);

// Replaces line with the entry line (without its line end) of entry, which lies in the
// directory relativePath below the share root (empty: in the root). Never cut, whatever
// the length of the path or the name; line breaks in the path and the name become '?'.
// True when the entry's own name held one.
bool FormatEntryLine(std::string& line, std::string_view relativePath, const DirEntry& entry);

// Formats the entry line of entry, listed in directoryPath, into the scratch text line and
// writes it. True when the entry's name had to be altered (FormatEntryLine).
bool WriteEntryLine(SnapshotOutput& out, std::string_view directoryPath, const DirEntry& entry,
                    std::string& line);

}  // namespace mv
