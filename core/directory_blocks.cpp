// The directory block index: a hash per (section, path prefix) and the first line that
// begins with that prefix, in an open-addressing table.
#include "core/directory_blocks.h"

#include <cstring>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325u;
constexpr std::uint64_t kFnvPrime = 0x100000001b3u;
constexpr std::size_t kFirstSlots = 1024;

std::uint64_t SectionSeed(int section) {
  return (kFnvOffset ^ static_cast<std::uint64_t>(static_cast<std::uint32_t>(section))) * kFnvPrime;
}

std::uint64_t Step(std::uint64_t hash, char c) {
  return (hash ^ static_cast<unsigned char>(AsciiLower(c))) * kFnvPrime;
}

// The running hash spread over all bits (the table takes its low bits), never 0.
std::uint64_t Finish(std::uint64_t hash) {
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdu;
  hash ^= hash >> 33;
  return hash == 0 ? 1 : hash;
}

}  // namespace

void DirectoryBlockIndex::Clear() {
  std::vector<Slot>().swap(slots_);
  count_ = 0;
  section_ = 0;
  lastDirectory_.clear();
}

void DirectoryBlockIndex::BeginSection(int section) {
  section_ = section;
  lastDirectory_.clear();
}

void DirectoryBlockIndex::AddLine(std::string_view line, int lineNumber) {
  // Most lines lie in the same directory as the last one: they begin with its path and hold
  // no backslash after it.
  const std::size_t known = lastDirectory_.size();
  if (line.size() >= known && std::memcmp(line.data(), lastDirectory_.data(), known) == 0 &&
      std::memchr(line.data() + known, kPathSeparator, line.size() - known) == nullptr) {
    return;
  }
  const std::size_t last = line.rfind(kPathSeparator);
  if (last == std::string_view::npos) return;
  const std::string_view directory = line.substr(0, last + 1);
  // The prefixes the last directory shares with this one are in the index already.
  std::size_t same = 0;
  while (same < directory.size() && same < known && directory[same] == lastDirectory_[same]) {
    ++same;
  }
  std::uint64_t hash = SectionSeed(section_);
  for (std::size_t i = 0; i < directory.size(); ++i) {
    hash = Step(hash, directory[i]);
    if (directory[i] == kPathSeparator && i >= same) Insert(Finish(hash), lineNumber);
  }
  lastDirectory_.assign(directory);
}

int DirectoryBlockIndex::FirstLineOf(int section, std::string_view prefix) const {
  if (slots_.empty()) return -1;
  std::uint64_t hash = SectionSeed(section);
  for (const char c : prefix) hash = Step(hash, c);
  hash = Finish(hash);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.hash == 0) return -1;
    if (slot.hash == hash) return slot.line;
  }
}

void DirectoryBlockIndex::Insert(std::uint64_t hash, int lineNumber) {
  if ((count_ + 1) * 4 > slots_.size() * 3) Grow();
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (slot.hash == hash) return;  // an earlier line began with it
    if (slot.hash == 0) {
      slot = {hash, lineNumber};
      ++count_;
      return;
    }
  }
}

void DirectoryBlockIndex::Grow() {
  std::vector<Slot> old(slots_.empty() ? kFirstSlots : slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.hash == 0) continue;
    std::size_t at = static_cast<std::size_t>(slot.hash) & mask;
    while (slots_[at].hash != 0) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace mv
