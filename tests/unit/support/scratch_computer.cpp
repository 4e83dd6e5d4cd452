// Made-up computers and shares on the file system the platform backend maps UNC paths to.
#include "scratch_computer.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/file_system.h"
#include "test_support.h"

namespace mv::test {
namespace fs = std::filesystem;

namespace {

constexpr char kSeparator = fs::path::preferred_separator;
std::atomic<int> gComputers{0};

#ifdef _WIN32
// Wine hands the Unix environment on: the prefix's dosdevices\unc folder through drive Z:.
std::string UncFolder() {
  const char* prefix = std::getenv("WINEPREFIX");
  std::string unix;
  if (prefix != nullptr && *prefix != '\0') {
    unix = prefix;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
    unix = std::string(home) + "/.wine";
  } else {
    return {};
  }
  std::string folder = "Z:";
  for (char c : unix + "/dosdevices/unc") folder += c == '/' ? '\\' : c;
  return folder;
}
#else
// One scratch UNC root for the whole test process.
std::string UncFolder() {
  static ScratchDir root;
  SetUncRoot(root.path());
  return root.path();
}
#endif

}  // namespace

bool ScratchComputer::Available() {
  return !UncFolder().empty();
}

// The random piece keeps the names of test processes that share a Wine prefix apart.
ScratchComputer::ScratchComputer()
    : name_("MVT" + std::to_string(std::random_device()() % 1000000) + "X" +
            std::to_string(gComputers++)) {
  folder_ = UncFolder() + kSeparator + name_;
  std::error_code ec;
  fs::create_directories(folder_, ec);
}

ScratchComputer::~ScratchComputer() {
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

std::string ScratchComputer::AddShare(const std::string& share) {
  const std::string path = folder_ + kSeparator + share;
  std::error_code ec;
  fs::create_directories(path, ec);
  return path;
}

std::string ScratchComputer::Join(const std::string& share, const std::string& relative) const {
  std::string path = folder_ + kSeparator + share + kSeparator;
  for (char c : relative) path += c == '/' ? kSeparator : c;
  return path;
}

}  // namespace mv::test
