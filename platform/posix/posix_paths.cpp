// Path mapping of the posix backend.
#include "platform/posix/posix_paths.h"

#include "platform/file_system.h"

namespace mv {

namespace {
std::string& UncRootStorage() {
  static std::string root = ".";
  return root;
}
}  // namespace

void SetUncRoot(const std::string& root) {
  UncRootStorage() = root;
}
const std::string& UncRoot() {
  return UncRootStorage();
}

namespace posix {

AlteredNames& AlteredLinuxNames() {
  static AlteredNames names;
  return names;
}

std::string ToNativePath(const std::string& windowsPath) {
  std::string native;
  std::size_t from = 0;
  if (windowsPath.size() >= 2 && windowsPath[0] == '\\' && windowsPath[1] == '\\') {
    native = UncRoot();
    if (native.empty() || native.back() != '/') native += '/';
    from = 2;
  }
  const AlteredNames& altered = AlteredLinuxNames();
  std::string listed;
  std::size_t nameStart = native.size();  // where the current component began in native
  for (std::size_t i = from; i <= windowsPath.size(); ++i) {
    const bool end = i == windowsPath.size() || windowsPath[i] == '\\';
    // A component that stands for a name that is not UTF-8.
    if (end && !altered.empty() && native.size() > nameStart &&
        altered.Listed(windowsPath.substr(0, i), listed)) {
      native.replace(nameStart, std::string::npos, listed);
    }
    if (i == windowsPath.size()) break;
    // An escaped character belongs to its name (AppendPathComponent): a backslash stays one
    // (Linux names may hold it); a slash cannot stand in a Linux name, and no Linux listing
    // gives one.
    if (windowsPath[i] == kPathEscape && i + 1 < windowsPath.size()) {
      native += windowsPath[++i];
      continue;
    }
    native += end ? '/' : windowsPath[i];
    if (end || windowsPath[i] == '/') nameStart = native.size();
  }
  return native;
}

}  // namespace posix
}  // namespace mv
