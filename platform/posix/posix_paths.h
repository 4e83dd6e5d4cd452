// Windows paths onto this machine's file system: \\C\S\rest is <unc-root>/C/S/rest, and a
// backslash anywhere else is a separator too, unless escaped (AppendPathComponent).
#pragma once

#include <string>

namespace mv::posix {

std::string ToNativePath(const std::string& windowsPath);

// A name of this machine's that is not UTF-8 reaches the program altered ('?' for each stray
// byte). A folder's is remembered under the path the program forms for it (its parent's path
// and the altered name, as AppendPathComponent appends it), so that ToNativePath leads that
// path, and every path below it, back to the folder. Two names altered alike in one folder
// share a path: the later one is reached by it.
void RememberAlteredFolder(std::string programPath, std::string nativeName);

}  // namespace mv::posix
