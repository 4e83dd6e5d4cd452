// Windows paths onto this machine's file system: \\C\S\rest is <unc-root>/C/S/rest, and a
// backslash anywhere else is a separator too, unless escaped (AppendPathComponent).
#pragma once

#include <string>

namespace mv::posix {

std::string ToNativePath(const std::string& windowsPath);

}  // namespace mv::posix
