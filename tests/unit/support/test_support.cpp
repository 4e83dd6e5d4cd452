// Scratch folders and file helpers for the unit tests, on both backends.
#include "test_support.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace mv::test {
namespace fs = std::filesystem;

namespace {
std::atomic<int> gCounter{0};
constexpr char kSeparator = fs::path::preferred_separator;
}  // namespace

ScratchDir::ScratchDir() {
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  std::random_device random;
  for (;;) {
    const fs::path candidate =
        base / ("mvtest-" + std::to_string(random() % 1000000) + "-" + std::to_string(gCounter++));
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.string();
      return;
    }
  }
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string ScratchDir::Join(const std::string& relative) const {
  std::string out = path_ + kSeparator;
  for (char c : relative) out += (c == '/') ? kSeparator : c;
  return out;
}

void WriteTextFile(const std::string& path, const std::string& contents) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << contents;
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

}  // namespace mv::test
