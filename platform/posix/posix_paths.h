// Windows paths onto this machine's file system: \\C\S\rest is <unc-root>/C/S/rest, and a
// backslash anywhere else is a separator too, unless escaped (AppendPathComponent).
#pragma once

#include <string>

#include "platform/altered_names.h"

namespace mv::posix {

std::string ToNativePath(const std::string& windowsPath);

// The names of this machine's that are not UTF-8, as the program sees them: listings alter
// them here, and ToNativePath leads every path through one back to it.
AlteredNames& AlteredLinuxNames();

}  // namespace mv::posix
