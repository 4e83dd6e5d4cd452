// What the Linux backends share (the local one and the SMB one): errno in the platform's
// error vocabulary, UTC dates of Unix times, and Windows listing patterns.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "platform/io_error.h"

namespace mv::posix {

IoError FromErrno(int error);

// The calendar date and time in UTC of seconds since 1970.
UtcDateTime ToUtc(std::int64_t seconds);

// Cuts a listing pattern at its last separator into the folder (still a Windows path, "."
// when there is none) and the last component. "*.*" becomes "*": on Windows it matches
// every name, with or without a dot.
void SplitListingPattern(const std::string& pattern, std::string& folder, std::string& glob);

// Whether name matches the last component of a pattern, ignoring case. As on Windows, a
// wildcard matches a leading dot too.
bool MatchesListingGlob(const std::string& glob, const char* name);

}  // namespace mv::posix
