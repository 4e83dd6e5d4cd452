// Path mapping of the posix backend.
#include "platform/posix/posix_paths.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

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
namespace {

struct AlteredFolders {
  std::mutex mutex;
  std::unordered_map<std::string, std::string> nativeNames;  // program path -> native name
  std::atomic<bool> any{false};
};

AlteredFolders& Altered() {
  static AlteredFolders folders;
  return folders;
}

}  // namespace

void RememberAlteredFolder(std::string programPath, std::string nativeName) {
  AlteredFolders& altered = Altered();
  std::lock_guard lock(altered.mutex);
  altered.nativeNames[std::move(programPath)] = std::move(nativeName);
  altered.any = true;
}

std::string ToNativePath(const std::string& windowsPath) {
  std::string native;
  std::size_t from = 0;
  if (windowsPath.size() >= 2 && windowsPath[0] == '\\' && windowsPath[1] == '\\') {
    native = UncRoot();
    if (native.empty() || native.back() != '/') native += '/';
    from = 2;
  }
  AlteredFolders& altered = Altered();
  std::unique_lock lock(altered.mutex, std::defer_lock);
  if (altered.any) lock.lock();
  std::size_t nameStart = native.size();  // where the current component began in native
  for (std::size_t i = from; i <= windowsPath.size(); ++i) {
    const bool end = i == windowsPath.size() || windowsPath[i] == '\\';
    if (end && lock.owns_lock() && native.size() > nameStart) {
      // A component that stands for a folder whose own name is not UTF-8.
      const auto found = altered.nativeNames.find(windowsPath.substr(0, i));
      if (found != altered.nativeNames.end()) {
        native.replace(nameStart, std::string::npos, found->second);
      }
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
