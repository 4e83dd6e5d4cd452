// One entry line of a snapshot file: path;;type;;size;;month.day.year; and how a listed name
// is written into it. Every walk of a share turns listed entries into lines and written paths
// here, so that a name the format cannot hold is altered alike wherever it stands.
#pragma once

#include <string>
#include <string_view>

#include "core/snapshot_output.h"
#include "platform/file_system.h"

namespace mv {

// Replaces what no line of a snapshot holds, in text from position `from` on, by '?': each
// CR and LF (a line break inside a name would end its line early and let the rest of the
// name pass for lines of its own), and each byte that belongs to no UTF-8 character (names
// come as UTF-8 from the ports; any other byte would be read as something else). True when
// any was replaced.
bool ReplaceUnwritable(std::string& text, std::size_t from = 0);

// Appends the listed name as the snapshot holds it. A name the format cannot hold is
// altered: what ReplaceUnwritable replaces becomes '?', so does a backslash (the format's path
// separator; Windows names never hold one, Samba and Linux names may), and a name in the share root
// that begins with the share key ("SHARENAME: ", ignoring case) gets '?' for the key's colon, so
// that neither its line nor the lines below it pass for a share header. True when altered.
bool AppendWrittenName(std::string& out, std::string_view listed, bool inShareRoot);

// The written relative path of the subdirectory `listed` of the directory whose written
// relative path is parent (empty: the share root), appended to out. True when the name was
// altered (it was counted at its own line then).
bool AppendWrittenChildPath(std::string& out, std::string_view parent, std::string_view listed);

// Replaces line with the entry line (without its line end) of entry, which lies in the
// directory whose written relative path is writtenPath (empty: the share root). Never cut,
// whatever the length of the path or the name. True when the entry's name was altered
// (AppendWrittenName).
bool FormatEntryLine(std::string& line, std::string_view writtenPath, const DirEntry& entry);

// Formats the entry line of entry into the scratch text line and writes it. True when the
// entry's name was altered (FormatEntryLine).
bool WriteEntryLine(SnapshotOutput& out, std::string_view writtenPath, const DirEntry& entry,
                    std::string& line);

}  // namespace mv
