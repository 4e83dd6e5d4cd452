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

std::string ToNativePath(const std::string& windowsPath) {
  std::string native;
  std::size_t from = 0;
  if (windowsPath.size() >= 2 && windowsPath[0] == '\\' && windowsPath[1] == '\\') {
    native = UncRoot();
    if (native.empty() || native.back() != '/') native += '/';
    from = 2;
  }
  for (std::size_t i = from; i < windowsPath.size(); ++i) {
    // An escaped character belongs to its name (AppendPathComponent): a backslash stays one
    // (Linux names may hold it); a slash cannot stand in a Linux name, and no Linux listing
    // gives one.
    if (windowsPath[i] == kPathEscape && i + 1 < windowsPath.size()) {
      native += windowsPath[++i];
      continue;
    }
    native += windowsPath[i] == '\\' ? '/' : windowsPath[i];
  }
  return native;
}

}  // namespace posix
}  // namespace mv
