// Whether two paths lead to one file: the same file seen through another name, a link or a
// second hard link counts as the same, by the file system's identity of the file (device
// and inode, or volume and file index), not by comparing the names.
#pragma once

#include <string>

namespace mv {

// True when both paths name an existing file and it is one file. False when either cannot
// be reached (a file not yet made is no other file).
bool IsSameFile(const std::string& first, const std::string& second);

}  // namespace mv
