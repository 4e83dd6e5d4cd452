// The directory block index: a hash per (section, path prefix) and the byte range of the
// block that prefix starts, in an open-addressing table over entries kept in pages.
#include "core/directory_blocks.h"

#include <algorithm>
#include <cstring>
#include <limits>

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

void AddTo(FolderTotal& total, std::uint64_t bytes, std::uint64_t files) {
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
  total.bytes = bytes > kMost - total.bytes ? kMost : total.bytes + bytes;
  total.files += files;
}

// The slot a hash is looked for first: from its low 32 bits, which an entry keeps.
std::size_t Home(std::uint32_t hashLow, std::size_t mask) {
  return static_cast<std::size_t>(hashLow) & mask;
}

}  // namespace

void DirectoryBlockIndex::Clear() {
  std::vector<std::unique_ptr<Entry[]>>().swap(pages_);
  std::vector<std::unique_ptr<Weight[]>>().swap(weights_);
  std::vector<std::uint32_t>().swap(slots_);
  sectionTotals_.clear();
  sectionFirst_.clear();
  count_ = 0;
  section_ = 0;
  lastDirectory_.clear();
  chain_.clear();
  open_.clear();
}

std::size_t DirectoryBlockIndex::bytesHeld() const {
  return pages_.size() * kPageEntries * (sizeof(Entry) + sizeof(Weight)) +
         slots_.capacity() * sizeof(std::uint32_t) +
         sectionTotals_.capacity() * sizeof(FolderTotal) +
         sectionFirst_.capacity() * sizeof(std::uint32_t);
}

void DirectoryBlockIndex::Close(const Open& open, std::uint64_t at) {
  Entry& entry = At(open.entry);
  const std::uint64_t offset = (std::uint64_t{entry.offsetHigh} << 32) | entry.offsetLow;
  const std::uint64_t length = at - offset;
  entry.lengthLow = static_cast<std::uint32_t>(length);
  entry.lengthHigh = static_cast<std::uint16_t>(length >> 32);
}

void DirectoryBlockIndex::CloseAllBut(std::size_t keep, std::uint64_t at) {
  std::size_t kept = 0;
  for (const Open& open : open_) {
    if (open.prefixLength == keep) {
      open_[kept++] = open;
    } else {
      Close(open, at);
    }
  }
  open_.resize(kept);
}

void DirectoryBlockIndex::EndBlocks(std::uint64_t at) {
  for (const Open& open : open_) Close(open, at);
  open_.clear();
}

void DirectoryBlockIndex::BeginSection(int section, std::uint64_t at) {
  EndBlocks(at);
  section_ = section;
  lastDirectory_.clear();
  chain_.clear();
  if (section >= 0 && static_cast<std::size_t>(section) >= sectionFirst_.size()) {
    sectionFirst_.resize(static_cast<std::size_t>(section) + 1, static_cast<std::uint32_t>(count_));
    sectionTotals_.resize(sectionFirst_.size());
  }
}

bool DirectoryBlockIndex::AddLine(std::string_view line, std::uint64_t start,
                                  std::uint64_t fileBytes, bool isFile) {
  const std::uint64_t files = isFile ? 1 : 0;
  // Most lines lie in the same directory as the last one: they begin with its path and hold
  // no backslash after it. The block of that directory runs on; any other open one ends.
  const std::size_t known = lastDirectory_.size();
  if (known > 0 && line.size() >= known &&
      std::memcmp(line.data(), lastDirectory_.data(), known) == 0 &&
      std::memchr(line.data() + known, kPathSeparator, line.size() - known) == nullptr) {
    if (open_.size() != 1 || open_.front().prefixLength != known) CloseAllBut(known, start);
    Weight& weight = WeightAt(chain_.back());
    FolderTotal total{weight.bytes, weight.files};
    AddTo(total, fileBytes, files);
    weight.bytes = total.bytes;
    weight.files = static_cast<std::uint32_t>(total.files);
    return true;
  }
  const std::size_t last = line.rfind(kPathSeparator);
  if (last == std::string_view::npos) {
    EndBlocks(start);  // a line of the share's root
    if (section_ >= 0 && static_cast<std::size_t>(section_) < sectionTotals_.size()) {
      AddTo(sectionTotals_[static_cast<std::size_t>(section_)], fileBytes, files);
    }
    return true;
  }
  const std::string_view directory = line.substr(0, last + 1);
  // The open block of a prefix runs on when this line lies directly in it (ignoring case).
  const bool sameDirectory =
      directory.size() <= known &&
      EqualsIgnoreCase(directory, std::string_view(lastDirectory_).substr(0, directory.size()));
  CloseAllBut(sameDirectory ? directory.size() : 0, start);
  // The prefixes the last directory shares with this one are in the index already.
  std::size_t same = 0;
  while (same < directory.size() && same < known && directory[same] == lastDirectory_[same]) {
    ++same;
  }
  std::uint64_t hash = SectionSeed(section_);
  nextChain_.clear();
  for (std::size_t i = 0; i < directory.size(); ++i) {
    hash = Step(hash, directory[i]);
    if (directory[i] != kPathSeparator) continue;
    if (i < same) {
      nextChain_.push_back(chain_[nextChain_.size()]);
      continue;
    }
    if (count_ >= kMaxDirectoryBlocks) return false;
    std::uint32_t number = 0;
    if (Insert(Finish(hash), start, number)) {
      open_.push_back({number, i + 1});
      WeightAt(number).parent = nextChain_.empty() ? 0 : nextChain_.back() + 1;
    }
    nextChain_.push_back(number);
  }
  chain_.swap(nextChain_);
  lastDirectory_.assign(directory);
  Weight& weight = WeightAt(chain_.back());
  FolderTotal total{weight.bytes, weight.files};
  AddTo(total, fileBytes, files);
  weight.bytes = total.bytes;
  weight.files = static_cast<std::uint32_t>(total.files);
  return true;
}

void DirectoryBlockIndex::FinishTotals() {
  // A folder's entry is made after the one above it: from the last entry back, each total is
  // whole when it is added to its parent's.
  std::size_t section = sectionFirst_.size();
  for (std::size_t n = count_; n-- > 0;) {
    const Weight weight = WeightAt(static_cast<std::uint32_t>(n));
    if (weight.parent != 0) {
      Weight& parent = WeightAt(weight.parent - 1);
      FolderTotal total{parent.bytes, parent.files};
      AddTo(total, weight.bytes, weight.files);
      parent.bytes = total.bytes;
      parent.files = static_cast<std::uint32_t>(total.files);
      continue;
    }
    while (section > 0 && sectionFirst_[section - 1] > n) --section;
    if (section > 0) AddTo(sectionTotals_[section - 1], weight.bytes, weight.files);
  }
}

bool DirectoryBlockIndex::Lookup(std::uint64_t hash, std::uint32_t& number) const {
  if (slots_.empty()) return false;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = Home(static_cast<std::uint32_t>(hash), mask);; at = (at + 1) & mask) {
    if (slots_[at] == 0) return false;
    const Entry& entry = At(slots_[at] - 1);
    if (entry.hashLow == static_cast<std::uint32_t>(hash) &&
        entry.hashHigh == static_cast<std::uint32_t>(hash >> 32)) {
      number = slots_[at] - 1;
      return true;
    }
  }
}

bool DirectoryBlockIndex::Total(int section, std::string_view prefix, FolderTotal& total) const {
  total = FolderTotal{};
  if (prefix.empty()) {
    if (section < 0 || static_cast<std::size_t>(section) >= sectionTotals_.size()) return false;
    total = sectionTotals_[static_cast<std::size_t>(section)];
    return true;
  }
  std::uint64_t hash = SectionSeed(section);
  for (const char c : prefix) hash = Step(hash, c);
  std::uint32_t number = 0;
  if (!Lookup(Finish(hash), number)) return false;
  const Weight& weight = weights_[number / kPageEntries][number % kPageEntries];
  total = {weight.bytes, weight.files};
  return true;
}

bool DirectoryBlockIndex::Find(int section, std::string_view prefix, DirectoryBlock& block) const {
  std::uint64_t hash = SectionSeed(section);
  for (const char c : prefix) hash = Step(hash, c);
  std::uint32_t number = 0;
  if (!Lookup(Finish(hash), number)) return false;
  const Entry& entry = At(number);
  block.offset = (std::uint64_t{entry.offsetHigh} << 32) | entry.offsetLow;
  block.length = (std::uint64_t{entry.lengthHigh} << 32) | entry.lengthLow;
  return true;
}

bool DirectoryBlockIndex::Insert(std::uint64_t hash, std::uint64_t start, std::uint32_t& number) {
  if ((count_ + 1) * 4 > slots_.size() * 3) Grow();
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = Home(static_cast<std::uint32_t>(hash), mask);; at = (at + 1) & mask) {
    if (slots_[at] != 0) {
      const Entry& entry = At(slots_[at] - 1);
      if (entry.hashLow == static_cast<std::uint32_t>(hash) &&
          entry.hashHigh == static_cast<std::uint32_t>(hash >> 32)) {
        number = slots_[at] - 1;
        return false;  // an earlier line began with it
      }
      continue;
    }
    number = static_cast<std::uint32_t>(count_);
    if (number % kPageEntries == 0) {
      pages_.push_back(std::make_unique<Entry[]>(kPageEntries));
      weights_.push_back(std::make_unique<Weight[]>(kPageEntries));
    }
    Entry& entry = At(number);
    entry.hashLow = static_cast<std::uint32_t>(hash);
    entry.hashHigh = static_cast<std::uint32_t>(hash >> 32);
    entry.offsetLow = static_cast<std::uint32_t>(start);
    entry.offsetHigh = static_cast<std::uint16_t>(start >> 32);
    entry.lengthLow = 0;
    entry.lengthHigh = 0;
    WeightAt(number) = Weight{};
    slots_[at] = number + 1;
    ++count_;
    return true;
  }
}

void DirectoryBlockIndex::Grow() {
  std::vector<std::uint32_t> old(slots_.empty() ? kFirstSlots : slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const std::uint32_t slot : old) {
    if (slot == 0) continue;
    const Entry& entry = At(slot - 1);
    std::size_t at = Home(entry.hashLow, mask);
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace mv
