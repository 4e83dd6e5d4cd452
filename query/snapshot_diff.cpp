// Comparing two snapshots by a bounded merge: every entry of a share both hold becomes a
// record (share, path, kind, place in its file, size, created date); each side's records are
// sorted in batches of a bounded size, a batch that does not fit beside the others going
// to a temporary file as a sorted run; the runs of each side are merged into one ordered
// stream, and the two streams walked side by side pair entries of one key, first with first.
#include "query/snapshot_diff.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <map>
#include <new>
#include <random>
#include <system_error>
#include <utility>

#include "core/snapshot_format.h"
#include "core/text.h"
#include "query/snapshot_scan.h"

namespace mv {
namespace {

// A path's bytes as they sort: the backslash before every other byte, so that a directory's
// content follows it directly, and ASCII letters folded. No line text holds a NUL, so 0 is
// the backslash's alone.
unsigned char Rank(char c) {
  return c == kPathSeparator ? 0 : static_cast<unsigned char>(AsciiLower(c));
}

int ComparePaths(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t k = 0; k < n; ++k) {
    if (a[k] == b[k]) continue;
    const unsigned char x = Rank(a[k]), y = Rank(b[k]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::uint64_t SizeOf(std::string_view text) {
  std::uint64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

void AddSaturating(std::uint64_t& total, std::uint64_t amount) {
  total = amount > UINT64_MAX - total ? UINT64_MAX : total + amount;
}

// One entry of a share both snapshots hold. Its texts view into the storage of whoever holds
// it: a batch, a run's buffer or a group.
struct Record {
  std::uint32_t share = 0;  // among the shares both hold, in the order of their names
  bool isDirectory = false;
  std::uint64_t place = 0;  // the entry's number in its file, counted from 0
  std::string_view path, size, created;
};

// The order of records in a sorted run: share, path, kind, place.
bool RecordBefore(const Record& a, const Record& b) {
  if (a.share != b.share) return a.share < b.share;
  if (const int c = ComparePaths(a.path, b.path); c != 0) return c < 0;
  if (a.isDirectory != b.isDirectory) return !a.isDirectory;
  return a.place < b.place;
}

// Records as bytes: a head of fixed size, then the path, the size and the created date.
constexpr std::size_t kHeadBytes = 4 + 1 + 8 + 4 + 4 + 4;

void AppendRecord(const Record& r, std::string& out) {
  char head[kHeadBytes];
  const auto pathLength = static_cast<std::uint32_t>(r.path.size());
  const auto sizeLength = static_cast<std::uint32_t>(r.size.size());
  const auto createdLength = static_cast<std::uint32_t>(r.created.size());
  std::memcpy(head, &r.share, 4);
  head[4] = r.isDirectory ? 1 : 0;
  std::memcpy(head + 5, &r.place, 8);
  std::memcpy(head + 13, &pathLength, 4);
  std::memcpy(head + 17, &sizeLength, 4);
  std::memcpy(head + 21, &createdLength, 4);
  out.append(head, kHeadBytes);
  out.append(r.path);
  out.append(r.size);
  out.append(r.created);
}

// The bytes a record at data takes, of which available are there; 0 when its head is not.
std::size_t RecordBytes(const char* data, std::size_t available) {
  if (available < kHeadBytes) return 0;
  std::uint32_t lengths[3];
  std::memcpy(lengths, data + 13, 12);
  return kHeadBytes + std::size_t{lengths[0]} + lengths[1] + lengths[2];
}

Record ReadRecord(const char* data) {
  Record r;
  std::uint32_t lengths[3];
  std::memcpy(&r.share, data, 4);
  r.isDirectory = data[4] != 0;
  std::memcpy(&r.place, data + 5, 8);
  std::memcpy(lengths, data + 13, 12);
  const char* text = data + kHeadBytes;
  r.path = {text, lengths[0]};
  r.size = {text + lengths[0], lengths[1]};
  r.created = {text + lengths[0] + lengths[1], lengths[2]};
  return r;
}

// The temporary file the runs of both sides go to, one after the other, read back while
// they are merged. Removed when the comparison ends.
class SpillFile {
 public:
  explicit SpillFile(FileSystem& fs) : fs_(fs) {}
  void SetFolder(std::string folder) { folder_ = std::move(folder); }
  ~SpillFile() {
    if (file_ == nullptr) return;
    file_.reset();  // closed without waiting for the medium: nothing keeps it
    fs_.Remove(path_);
  }
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  // Appends bytes; false (error set) when the file cannot be made or written.
  bool Append(std::string_view bytes) {
    if (file_ == nullptr && !Open()) return false;
    error = file_->Write(bytes.data(), bytes.size());
    size_ += bytes.size();
    return error == IoError::kNone;
  }
  std::uint64_t size() const { return size_; }

  // Reads up to size bytes at offset; got is fewer only at the end of the file.
  bool ReadAt(std::uint64_t offset, char* data, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
      std::size_t part = 0;
      error = file_->ReadBack(offset + got, data + got, size - got, part);
      if (error != IoError::kNone) return false;
      if (part == 0) break;
      got += part;
    }
    return true;
  }
  const std::string& path() const { return path_; }
  IoError error = IoError::kNone;

 private:
  bool Open() {
    std::random_device random;
    static constexpr char kHex[] = "0123456789abcdef";
    for (int attempt = 0; attempt < 4 && file_ == nullptr; ++attempt) {
      path_ = folder_;
      // The separator the folder is written with.
      const char separator = folder_.find('\\') != std::string::npos ? '\\' : '/';
      if (!path_.empty() && path_.back() != '\\' && path_.back() != '/') path_ += separator;
      path_ += "mirrorvault-compare-";
      for (int i = 0; i < 2; ++i) {
        const unsigned bits = random();
        for (int shift = 0; shift < 32; shift += 4) path_ += kHex[(bits >> shift) & 0xF];
      }
      path_ += ".tmp";
      file_ = fs_.CreateNew(path_, error);
    }
    return file_ != nullptr;
  }

  FileSystem& fs_;
  std::string folder_;
  std::string path_;
  std::unique_ptr<OutputFile> file_;
  std::uint64_t size_ = 0;
};

// Records in memory, sorted on demand; what no longer fits goes to the spill file.
class Batch {
 public:
  // Room for records of up to limit bytes in all, taken once: a batch that grew by doubling
  // would hold its old and its new storage at one moment.
  void Reserve(std::size_t limit) {
    bytesRoom_ = limit - limit / 4;
    itemsRoom_ = std::max<std::size_t>(limit / 4 / sizeof(Item), 1);
    bytes_.reserve(bytesRoom_);
    items_.reserve(itemsRoom_);
  }
  // Whether r would go beyond the room; never for an empty batch, which takes any record.
  bool WouldOverflow(const Record& r) const {
    const std::size_t bytes = kHeadBytes + r.path.size() + r.size.size() + r.created.size();
    return !items_.empty() && (items_.size() == itemsRoom_ || bytes_.size() + bytes > bytesRoom_);
  }
  void Add(const Record& r) {
    Item item;
    item.at = bytes_.size();
    item.share = r.share;
    for (std::size_t i = 0; i < 16; ++i) {
      const unsigned char byte = i < r.path.size() ? Rank(r.path[i]) : 0;
      std::uint64_t& half = i < 8 ? item.high : item.low;
      half = half << 8 | byte;
    }
    AppendRecord(r, bytes_);
    items_.push_back(item);
  }
  bool empty() const { return items_.empty(); }

  void Sort() {
    std::sort(items_.begin(), items_.end(), [&](const Item& a, const Item& b) {
      if (a.share != b.share) return a.share < b.share;
      if (a.high != b.high) return a.high < b.high;
      if (a.low != b.low) return a.low < b.low;
      return RecordBefore(ReadRecord(bytes_.data() + a.at), ReadRecord(bytes_.data() + b.at));
    });
  }
  std::size_t count() const { return items_.size(); }
  // The record of the sorted order's place i.
  const char* At(std::size_t i) const { return bytes_.data() + items_[i].at; }
  std::size_t BytesAt(std::size_t i) const {
    return RecordBytes(At(i), bytes_.size() - items_[i].at);
  }
  // Empties the batch, keeping its room for the next one.
  void Clear() {
    bytes_.clear();
    items_.clear();
  }

 private:
  // The first 16 bytes of the path as they sort, as two numbers: most paths differ there,
  // so the sort seldom reads the records.
  struct Item {
    std::uint64_t high = 0, low = 0;
    std::size_t at = 0;  // in bytes_
    std::uint32_t share = 0;
  };
  std::string bytes_;
  std::vector<Item> items_;
  std::size_t bytesRoom_ = 0, itemsRoom_ = 1;
};

// A sorted run: a stretch of the spill file, read through a buffer, or a batch in memory.
class RunReader {
 public:
  RunReader(SpillFile& file, std::uint64_t begin, std::uint64_t end, std::size_t bufferBytes)
      : file_(&file), at_(begin), end_(end), bufferBytes_(bufferBytes) {}
  explicit RunReader(const Batch& batch) : batch_(&batch) {}

  // The next record, valid until the next call; false at the end or when a read fails.
  bool Next(Record& record) {
    if (batch_ != nullptr) {
      if (index_ >= batch_->count()) return false;
      record = ReadRecord(batch_->At(index_++));
      return true;
    }
    position_ += used_;
    used_ = 0;
    const auto need = [&] {
      return RecordBytes(buffered_.data() + position_, buffered_.size() - position_);
    };
    std::size_t bytes = need();
    if (bytes == 0 || bytes > buffered_.size() - position_) {
      // Refilled once the buffer is used up: what is left moves to its front.
      buffered_.erase(0, position_);
      position_ = 0;
      while ((bytes == 0 || bytes > buffered_.size()) && at_ < end_) {
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(std::max(bufferBytes_, bytes) - buffered_.size(), end_ - at_));
        const std::size_t from = buffered_.size();
        buffered_.resize(from + want);
        std::size_t got = 0;
        if (!file_->ReadAt(at_, buffered_.data() + from, want, got) || got != want) {
          failed = true;
          return false;
        }
        at_ += got;
        bytes = need();
      }
      if (bytes == 0 || bytes > buffered_.size()) {
        failed = !buffered_.empty();  // a run never ends inside a record
        return false;
      }
    }
    record = ReadRecord(buffered_.data() + position_);
    used_ = bytes;
    return true;
  }
  bool failed = false;

 private:
  SpillFile* file_ = nullptr;
  std::uint64_t at_ = 0, end_ = 0;
  std::size_t bufferBytes_ = 0;
  std::string buffered_;
  std::size_t position_ = 0;  // in buffered_, of the record handed out last
  std::size_t used_ = 0;      // its bytes
  const Batch* batch_ = nullptr;
  std::size_t index_ = 0;
};

// One side's records in order: its runs merged, the one whose next record comes first
// taken each time.
class SideStream {
 public:
  void AddRun(std::unique_ptr<RunReader> run) { runs_.push_back(std::move(run)); }
  std::size_t runCount() const { return runs_.size(); }

  // Reads the first record of every run.
  void Start() {
    heads_.resize(runs_.size());
    for (std::size_t i = 0; i < runs_.size(); ++i) {
      if (runs_[i]->Next(heads_[i])) heap_.push_back(i);
      failed_ = failed_ || runs_[i]->failed;
    }
    std::make_heap(heap_.begin(), heap_.end(), Later{this});
  }
  // The next record, valid until Pop.
  bool Peek(Record& record) const {
    if (heap_.empty()) return false;
    record = heads_[heap_.front()];
    return true;
  }
  void Pop() {
    std::pop_heap(heap_.begin(), heap_.end(), Later{this});
    const std::size_t run = heap_.back();
    if (runs_[run]->Next(heads_[run])) {
      std::push_heap(heap_.begin(), heap_.end(), Later{this});
    } else {
      failed_ = failed_ || runs_[run]->failed;
      heap_.pop_back();
    }
  }
  bool failed() const { return failed_; }

 private:
  // The heap's order: the run whose head comes first stands on top.
  struct Later {
    const SideStream* side;
    bool operator()(std::size_t a, std::size_t b) const {
      return RecordBefore(side->heads_[b], side->heads_[a]);
    }
  };

  std::vector<std::unique_ptr<RunReader>> runs_;
  std::vector<Record> heads_;
  std::vector<std::size_t> heap_;
  bool failed_ = false;
};

// A record copied out of its stream, for the entries of one path gathered at once.
struct HeldRecord {
  std::uint64_t place = 0;
  bool isDirectory = false;
  std::string path, size, created;
  void Take(const Record& r) {
    place = r.place;
    isDirectory = r.isDirectory;
    path.assign(r.path);
    size.assign(r.size);
    created.assign(r.created);
  }
};

// Share names ignoring case: where each stands in the two snapshots.
struct ShareMatch {
  std::string oldName, newName;
  std::vector<const ShareSection*> oldSections, newSections;
  bool inOld = false, inNew = false;
  std::uint32_t index = 0;  // among the shares both hold
};

class Comparer {
 public:
  Comparer(FileSystem& fs, const CodePageDecoder& ansiNames, const DiffOptions& options,
           DiffReport& report, DiffSummary& summary, DiffFailure& failure)
      : fs_(fs),
        decoder_(ansiNames),
        options_(options),
        report_(report),
        summary_(summary),
        failure_(failure),
        spill_(fs) {}

  bool Run(const std::string& oldPath, const std::string& newPath) {
    spill_.SetFolder(SpillFolder(options_, newPath));
    // One file after the other: two readers of one file at the same moment could shut each
    // other out.
    const std::string* paths[2] = {&oldPath, &newPath};
    for (int side = 0; side < 2; ++side) {
      if (!ReadSnapshotLayout(fs_, *paths[side], layouts_[side], failure_.reason)) {
        failure_.path = *paths[side];
        return false;
      }
      stamps_[side] = layouts_[side].file->stamp();
      layouts_[side].file.reset();
    }
    decode_[0] = decode_[1] = false;
    if (layouts_[0].encoding != layouts_[1].encoding) {
      const int ansi = layouts_[0].encoding == NameEncoding::kAnsi ? 0 : 1;
      decode_[ansi] = true;
      SnapshotLayout& layout = layouts_[ansi];
      for (std::string* value :
           {&layout.version, &layout.computer, &layout.group, &layout.created}) {
        *value = Decoded(*value);
      }
      for (ShareSection& section : layout.shares) section.name = Decoded(section.name);
      layout.encoding = NameEncoding::kUtf8;
    }
    MatchShares();
    report_.Begin(layouts_[0].computer, layouts_[0].encoding, layouts_[1].computer,
                  layouts_[1].encoding);
    for (int side = 0; side < 2; ++side) {
      if (!Collect(side, *paths[side])) return false;
    }
    return Merge();
  }

 private:
  // The folder asked for; else the system's folder for temporary files; else the folder of
  // the new snapshot, whose library has room for files anyway.
  static std::string SpillFolder(const DiffOptions& options, const std::string& newPath) {
    if (!options.spillFolder.empty()) return options.spillFolder;
    try {
      std::error_code error;
      const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
      if (!error && !folder.empty()) return folder.string();
    } catch (...) {
      // A name the narrow code page cannot spell: the next choice.
    }
    const std::size_t cut = newPath.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : newPath.substr(0, cut);
  }

  std::string Decoded(std::string_view text) {
    std::string out;
    decoder_.AppendUtf8(text, out);
    return out;
  }

  void MatchShares() {
    auto key = [](std::string_view name) {
      std::string lowered;
      for (const char c : name) lowered += AsciiLower(c);
      return lowered;
    };
    for (int side = 0; side < 2; ++side) {
      for (const ShareSection& section : layouts_[side].shares) {
        ShareMatch& match = shares_[key(section.name)];
        if (side == 0) {
          if (!match.inOld) match.oldName = section.name;
          match.inOld = true;
          match.oldSections.push_back(&section);
        } else {
          if (!match.inNew) match.newName = section.name;
          match.inNew = true;
          match.newSections.push_back(&section);
        }
      }
    }
    for (auto& [name, match] : shares_) {
      if (!match.inOld || !match.inNew) continue;
      match.index = static_cast<std::uint32_t>(oldShareNames_.size());
      common_.push_back(&match);
      oldShareNames_.push_back(match.oldName);
      newShareNames_.push_back(match.newName);
    }
  }

  // Reads one side's entries again: those of shares both hold become records, in sorted
  // runs; those of a share only this side holds are counted.
  bool Collect(int side, const std::string& path) {
    IoError error = IoError::kNone;
    std::unique_ptr<InputFile> file;
    try {
      file = fs_.OpenExclusive(path, error);
    } catch (const std::bad_alloc&) {
      error = IoError::kOther;
    }
    if (file != nullptr && !(file->stamp() == stamps_[side])) {
      file.reset();
      error = IoError::kOther;  // not the file scanned a moment ago
    }
    if (file == nullptr) {
      failure_.path = path;
      failure_.reason = std::string("cannot be read: ") + DescribeIoError(error);
      return false;
    }
    // Half the memory for each side's batch; its last batch stays in memory.
    Batch& batch = batches_[side];
    batch.Reserve(options_.memoryBytes / 2);
    std::uint64_t place = 0;
    std::string decoded;
    bool spilt = true;
    for (const auto& share : shares_) {
      const auto& match = share.second;  // a plain reference: lambdas below capture it
      const bool common = match.inOld && match.inNew;
      if (side == 0 ? !match.inOld : !match.inNew) continue;
      const auto& sections = side == 0 ? match.oldSections : match.newSections;
      for (const ShareSection* section : sections) {
        const bool read = ForEachLineStretch(
            *file, section->begin, section->end, [&](std::string_view lines, std::uint64_t) {
              LineCursor cursor(lines, ShapeOfLines(lines));
              std::string_view line;
              SnapshotEntry entry;
              while (cursor.Next(line)) {
                if (decode_[side]) {
                  decoded.clear();
                  decoder_.AppendUtf8(line, decoded);
                  line = decoded;
                }
                if (!ReadEntry(line, entry)) continue;
                if (!common) {
                  CountWhole(side == 1, entry);
                  continue;
                }
                const Record record{match.index, entry.isDirectory, place++,
                                    entry.path,  entry.size,        entry.created};
                if (batch.WouldOverflow(record) && !(spilt = SpillRun(side))) return false;
                batch.Add(record);
              }
              return true;
            });
        if (!spilt) return false;
        if (!read) {
          failure_.path = path;
          failure_.reason = std::string("cannot be read: ") + DescribeIoError(IoError::kOther);
          return false;
        }
      }
    }
    batch.Sort();
    return true;
  }

  // The batch, sorted, out to the spill file as one run.
  bool SpillRun(int side) {
    Batch& batch = batches_[side];
    batch.Sort();
    const std::uint64_t begin = spill_.size();
    std::string out;
    constexpr std::size_t kWriteBytes = std::size_t{1} << 20;
    for (std::size_t i = 0; i < batch.count(); ++i) {
      out.append(batch.At(i), batch.BytesAt(i));
      if (out.size() >= kWriteBytes) {
        if (!spill_.Append(out)) return SpillFailed();
        out.clear();
      }
    }
    if (!out.empty() && !spill_.Append(out)) return SpillFailed();
    runs_[side].push_back({begin, spill_.size()});
    batch.Clear();
    return true;
  }

  bool SpillFailed() {
    failure_.path = spill_.path();
    failure_.reason = std::string("cannot hold the comparison's sorted entries: ") +
                      DescribeIoError(spill_.error);
    return false;
  }

  // A share that only one snapshot holds: its entries and bytes in the counts.
  void CountWhole(bool added, const SnapshotEntry& entry) {
    ++(added ? summary_.added : summary_.removed);
    if (!entry.isDirectory) {
      AddSaturating(added ? summary_.bytesAdded : summary_.bytesRemoved, SizeOf(entry.size));
    }
  }

  bool Merge() {
    SideStream streams[2];
    const std::size_t fileRuns = runs_[0].size() + runs_[1].size();
    // A quarter of the memory for the buffers of the runs read back.
    const std::size_t buffer = std::max<std::size_t>(
        options_.memoryBytes / 4 / std::max<std::size_t>(fileRuns, 1), std::size_t{1} << 12);
    for (int side = 0; side < 2; ++side) {
      for (const auto& [begin, end] : runs_[side]) {
        streams[side].AddRun(std::make_unique<RunReader>(spill_, begin, end, buffer));
      }
      if (!batches_[side].empty())
        streams[side].AddRun(std::make_unique<RunReader>(batches_[side]));
      streams[side].Start();
    }
    Record next[2];
    bool has[2] = {streams[0].Peek(next[0]), streams[1].Peek(next[1])};
    auto share = shares_.begin();
    // Shares in the order of their names: one a side holds alone gives its row in its place.
    auto shareRowsUpTo = [&](const ShareMatch* until) {
      for (; share != shares_.end() && &share->second != until; ++share) {
        const ShareMatch& match = share->second;
        if (match.inOld && match.inNew) continue;
        DiffRow row;
        row.kind = match.inOld ? DiffKind::kShareRemoved : DiffKind::kShareAdded;
        row.share = match.inOld ? match.oldName : match.newName;
        ++(match.inOld ? summary_.sharesRemoved : summary_.sharesAdded);
        report_.Row(row);
      }
    };
    while (has[0] || has[1]) {
      // The smaller key of the two heads, and every record of it on either side.
      const int lead = !has[0] ? 1 : !has[1] ? 0 : (KeyBefore(next[1], next[0]) ? 1 : 0);
      const std::uint32_t shareIndex = next[lead].share;
      key_.assign(next[lead].path);
      for (int side = 0; side < 2; ++side) {
        group_[side].count = 0;
        while (has[side] && next[side].share == shareIndex &&
               ComparePaths(next[side].path, key_) == 0) {
          group_[side].Add(next[side]);
          streams[side].Pop();
          has[side] = streams[side].Peek(next[side]);
        }
      }
      shareRowsUpTo(common_[shareIndex]);
      EmitGroup(shareIndex);
    }
    shareRowsUpTo(nullptr);
    if (streams[0].failed() || streams[1].failed()) {
      failure_.path = spill_.path();
      failure_.reason = std::string("cannot hold the comparison's sorted entries: ") +
                        DescribeIoError(spill_.error);
      return false;
    }
    return true;
  }

  static bool KeyBefore(const Record& a, const Record& b) {
    if (a.share != b.share) return a.share < b.share;
    return ComparePaths(a.path, b.path) < 0;
  }

  // The records of one path on either side: paired by kind, first with first, the rows in
  // the order of their kinds and, within one kind, of the entries' places in their files.
  void EmitGroup(std::uint32_t share) {
    rows_.clear();
    const Group& older = group_[0];
    const Group& newer = group_[1];
    for (const bool directory : {false, true}) {
      std::size_t i = 0, j = 0;
      auto nextOf = [&](const Group& group, std::size_t& k) {
        while (k < group.count && group.records[k].isDirectory != directory) ++k;
        return k < group.count;
      };
      for (;;) {
        const bool a = nextOf(older, i), b = nextOf(newer, j);
        if (!a && !b) break;
        if (a && b) {
          const HeldRecord& x = older.records[i];
          const HeldRecord& y = newer.records[j];
          if (x.size != y.size || x.created != y.created) {
            rows_.push_back({DiffKind::kChanged, y.place, &x, &y});
          }
        } else if (a) {
          rows_.push_back({DiffKind::kRemoved, older.records[i].place, &older.records[i], nullptr});
        } else {
          rows_.push_back({DiffKind::kAdded, newer.records[j].place, nullptr, &newer.records[j]});
        }
        i += a ? 1 : 0;
        j += b ? 1 : 0;
      }
    }
    std::sort(rows_.begin(), rows_.end(), [](const PendingRow& p, const PendingRow& q) {
      return p.kind != q.kind ? p.kind < q.kind : p.place < q.place;
    });
    for (const PendingRow& pending : rows_) Emit(pending, share);
  }

  struct PendingRow {
    DiffKind kind;
    std::uint64_t place;  // of the new entry, or of the old one for a removed entry
    const HeldRecord* older;
    const HeldRecord* newer;
  };

  void Emit(const PendingRow& pending, std::uint32_t share) {
    DiffRow row;
    row.kind = pending.kind;
    std::uint64_t oldBytes = 0, newBytes = 0;
    if (pending.older != nullptr) {
      row.oldSize = pending.older->size;
      row.oldCreated = pending.older->created;
      oldBytes = SizeOf(row.oldSize);
    }
    if (pending.newer != nullptr) {
      row.newSize = pending.newer->size;
      row.newCreated = pending.newer->created;
      newBytes = SizeOf(row.newSize);
    }
    const HeldRecord& shown = pending.newer != nullptr ? *pending.newer : *pending.older;
    row.share = pending.newer != nullptr ? newShareNames_[share] : oldShareNames_[share];
    row.path = shown.path;
    row.isDirectory = shown.isDirectory;
    ++(row.kind == DiffKind::kAdded     ? summary_.added
       : row.kind == DiffKind::kRemoved ? summary_.removed
                                        : summary_.changed);
    if (!row.isDirectory) {
      if (newBytes > oldBytes) AddSaturating(summary_.bytesAdded, newBytes - oldBytes);
      if (oldBytes > newBytes) AddSaturating(summary_.bytesRemoved, oldBytes - newBytes);
    }
    report_.Row(row);
  }

  // The records of one key on one side, their storage kept from group to group.
  struct Group {
    std::vector<HeldRecord> records;
    std::size_t count = 0;
    void Add(const Record& r) {
      if (count == records.size()) records.emplace_back();
      records[count++].Take(r);
    }
  };

  FileSystem& fs_;
  CodePageDecoder decoder_;
  const DiffOptions& options_;
  DiffReport& report_;
  DiffSummary& summary_;
  DiffFailure& failure_;
  SpillFile spill_;
  SnapshotLayout layouts_[2];
  FileStamp stamps_[2];
  bool decode_[2] = {false, false};
  std::map<std::string, ShareMatch> shares_;
  std::vector<std::string> oldShareNames_, newShareNames_;
  std::vector<const ShareMatch*> common_;  // by index
  Batch batches_[2];
  std::vector<std::pair<std::uint64_t, std::uint64_t>> runs_[2];
  Group group_[2];
  std::string key_;  // the path of the group being gathered
  std::vector<PendingRow> rows_;
};

// Keeps the rows and their texts in the comparison.
class KeptRows final : public DiffReport {
 public:
  explicit KeptRows(SnapshotComparison& comparison) : c_(comparison) {}
  void Begin(std::string_view oldComputer, NameEncoding oldEncoding, std::string_view newComputer,
             NameEncoding newEncoding) override {
    c_.oldComputer = oldComputer;
    c_.newComputer = newComputer;
    c_.oldEncoding = oldEncoding;
    c_.newEncoding = newEncoding;
  }
  void Row(const DiffRow& row) override {
    if (c_.rows.size() >= c_.rowLimit) {
      ++c_.rowsLeftOut;
      return;
    }
    DiffRow kept = row;
    // A share's name is kept once for all its rows.
    if (row.share != lastShare_) lastShare_ = Keep(row.share);
    kept.share = lastShare_;
    for (std::string_view* text :
         {&kept.path, &kept.oldSize, &kept.oldCreated, &kept.newSize, &kept.newCreated}) {
      *text = Keep(*text);
    }
    c_.rows.push_back(kept);
  }

 private:
  std::string_view Keep(std::string_view text) {
    if (text.empty()) return {};
    constexpr std::size_t kBlockBytes = std::size_t{1} << 16;
    if (text.size() > c_.textsLeft) {
      const std::size_t size = std::max(kBlockBytes, text.size());
      c_.texts.push_back(std::make_unique<char[]>(size));
      c_.textsLeft = size;
      blockSize_ = size;
    }
    char* at = c_.texts.back().get() + (blockSize_ - c_.textsLeft);
    std::memcpy(at, text.data(), text.size());
    c_.textsLeft -= text.size();
    return {at, text.size()};
  }

  SnapshotComparison& c_;
  std::string_view lastShare_;
  std::size_t blockSize_ = 0;
};

}  // namespace

bool CompareSnapshotStreams(FileSystem& fileSystem, const std::string& oldPath,
                            const std::string& newPath, const CodePageDecoder& ansiNames,
                            const DiffOptions& options, DiffReport& report, DiffSummary& summary,
                            DiffFailure& failure) {
  summary = DiffSummary{};
  return Comparer(fileSystem, ansiNames, options, report, summary, failure).Run(oldPath, newPath);
}

bool CompareSnapshotFiles(FileSystem& fileSystem, const std::string& oldPath,
                          const std::string& newPath, const CodePageDecoder& ansiNames,
                          SnapshotComparison& comparison, DiffFailure& failure,
                          const DiffOptions& options) {
  comparison.rows.clear();
  comparison.rowsLeftOut = 0;
  comparison.texts.clear();
  comparison.textsLeft = 0;
  KeptRows kept(comparison);
  return CompareSnapshotStreams(fileSystem, oldPath, newPath, ansiNames, options, kept,
                                comparison.summary, failure);
}

}  // namespace mv
