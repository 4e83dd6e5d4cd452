// The web page export: the snapshot's folders and entries become one table of distinct
// names, sorted the way the file list orders names, and columns of numbers that index it,
// packed (varints, deflated, base64) into the page. The page template, embedded at build
// time, unpacks and draws them.
#include "query/html_export.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/snapshot_format.h"
#include "core/text.h"
#include "query/deflate.h"
#include "query/html_page.h"

namespace mv {
namespace {

constexpr std::string_view kTitlePlaceholder = "{{TITLE}}";
constexpr std::string_view kDataPlaceholder = "{{DATA}}";
constexpr std::string_view kPackedPlaceholder = "{{PACKED}}";
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
// Packed bytes gathered before they go to the compressor.
constexpr std::size_t kPackedPiece = std::size_t{1} << 18;
constexpr char kPathSeparator = '\\';
// Numbers the page can hold exactly (below 2^53) have at most 15 digits.
constexpr std::size_t kMaxExactDigits = 15;
// A date goes out as its sort key day + 35 * month + 570 * year when these bounds let the page
// read the three numbers back from the key.
constexpr std::uint64_t kDayWeight = 1, kMonthWeight = 35, kYearWeight = 570;
constexpr std::uint64_t kMaxKeyDay = 34, kMaxKeyMonth = 15, kMaxKeyYearDigits = 7;
constexpr std::int64_t kNoFolder = -1;
// Folded bytes of a name that the sort of the name table compares as numbers.
constexpr std::size_t kPrefixBytes = 16;

// A run of decimal digits without a leading zero (or "0" itself), of at most maxDigits.
bool IsPlainNumber(std::string_view text, std::size_t maxDigits, std::uint64_t& value) {
  if (text.empty() || text.size() > maxDigits || (text[0] == '0' && text.size() > 1)) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

// month.day.year as the writer writes it, into its sort key; false for any other text, which
// the page then gets as text.
bool PlainDateKey(std::string_view text, std::uint64_t& key) {
  const std::size_t first = text.find(kDateSeparator);
  if (first == std::string_view::npos) return false;
  const std::size_t second = text.find(kDateSeparator, first + 1);
  if (second == std::string_view::npos) return false;
  std::uint64_t month = 0, day = 0, year = 0;
  if (!IsPlainNumber(text.substr(0, first), 2, month) ||
      !IsPlainNumber(text.substr(first + 1, second - first - 1), 2, day) ||
      !IsPlainNumber(text.substr(second + 1), kMaxKeyYearDigits, year) || month > kMaxKeyMonth ||
      day > kMaxKeyDay) {
    return false;
  }
  key = day * kDayWeight + month * kMonthWeight + year * kYearWeight;
  return true;
}

// A text passed through as UTF-8 may not be valid, and no name holds a line feed or a NUL (a
// line ends there): each becomes U+FFFD, so the page gets well-formed text.
void AppendSafeUtf8(std::string_view text, std::string& out) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, i);
    if (length == 0 || text[i] == '\n' || text[i] == '\0') {
      AppendCodePoint(0xFFFD, out);
      i += length == 0 ? 1 : length;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
}

// Valid UTF-8 into a JSON string's body, with every character that could end the script
// element or confuse an HTML or JavaScript reader escaped: no "<", ">" or "&" stands in the
// page's data, nor U+2028 and U+2029.
void AppendJsonBody(std::string_view utf8, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  const auto escape = [&](unsigned value) {
    out.append("\\u");
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
  };
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out.append("\\n");
    } else if (u < 0x20 || c == '<' || c == '>' || c == '&') {
      escape(u);
    } else if (u == 0xE2 && i + 2 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) == 0x80 &&
               (static_cast<unsigned char>(utf8[i + 2]) == 0xA8 ||
                static_cast<unsigned char>(utf8[i + 2]) == 0xA9)) {
      escape(0x2000u | (static_cast<unsigned char>(utf8[i + 2]) - 0x80u));
      i += 2;
    } else {
      out += c;
    }
  }
}

void AppendHtmlText(std::string_view utf8, std::string& out) {
  static constexpr std::pair<char, std::string_view> kEntities[] = {
      {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&#39;"}};
  for (const char c : utf8) {
    const auto* entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                      [c](const auto& named) { return named.first == c; });
    if (entity == std::end(kEntities)) {
      out += c;
    } else {
      out.append(entity->second);
    }
  }
}

// Names ordered as the file list orders them: ASCII letters folded, every other character by
// its code point (which byte order of UTF-8 gives).
int CompareFolded(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
    const auto y = static_cast<unsigned char>(AsciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// A hash of text, eight bytes at a time.
std::uint64_t HashOf(std::string_view text) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  std::uint64_t hash = text.size() * kMultiplier;
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, 8);
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 29;
  }
  std::uint64_t tail = 0;
  if (at < text.size()) std::memcpy(&tail, text.data() + at, text.size() - at);
  hash = (hash ^ tail) * 0xFF51AFD7ED558CCDull;
  hash ^= hash >> 32;
  return hash * kMultiplier;
}

// Distinct texts, each kept once, one after another in one arena, and numbered in the order
// they came: an open-addressed table of numbers over the arena finds a text again with no
// string or node of its own.
class TextIds {
 public:
  // The id of text; added tells whether it was new.
  std::uint32_t Intern(std::string_view text, bool& added) {
    if (2 * (size() + 1) > slots_.size()) Grow();
    const std::uint64_t hash = HashOf(text);
    const auto tag = static_cast<std::uint32_t>(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = tag & mask;; at = (at + 1) & mask) {
      const std::uint64_t slot = slots_[at];
      if (slot == 0) {
        const std::uint32_t id = size();
        arena_.append(text);
        starts_.push_back(arena_.size());
        slots_[at] = std::uint64_t{tag} << 32 | (id + 1u);
        added = true;
        return id;
      }
      const auto id = static_cast<std::uint32_t>(slot) - 1u;
      if (static_cast<std::uint32_t>(slot >> 32) == tag && Text(id) == text) {
        added = false;
        return id;
      }
    }
  }
  std::uint32_t Intern(std::string_view text) {
    bool added = false;
    return Intern(text, added);
  }

  std::string_view Text(std::uint32_t id) const {
    return std::string_view(arena_).substr(starts_[id], starts_[id + 1] - starts_[id]);
  }
  std::uint32_t size() const { return static_cast<std::uint32_t>(starts_.size() - 1); }
  // The bytes of all the texts.
  std::size_t bytes() const { return arena_.size(); }
  // Frees the table once no text is looked up any more; Text still answers.
  void CloseLookup() { slots_ = std::vector<std::uint64_t>(); }

 private:
  // Twice the room: each slot keeps the low half of its text's hash, which places it anew.
  void Grow() {
    std::vector<std::uint64_t> grown(std::max<std::size_t>(64, 2 * slots_.size()), 0);
    const std::size_t mask = grown.size() - 1;
    for (const std::uint64_t slot : slots_) {
      if (slot == 0) continue;
      std::size_t at = (slot >> 32) & mask;
      while (grown[at] != 0) at = (at + 1) & mask;
      grown[at] = slot;
    }
    slots_.swap(grown);
  }

  std::string arena_;
  std::vector<std::size_t> starts_{0};  // where each text starts; the last entry, the end
  std::vector<std::uint64_t> slots_;    // 0, or the text's hash (low half) above its id + 1
};

// Writes text in pieces of about a megabyte.
class PageWriter {
 public:
  explicit PageWriter(ByteSink& sink) : sink_(sink) {}
  std::string& text() { return text_; }
  bool Flush(bool always = false) {
    if (!ok_ || (!always && text_.size() < kFlushBytes)) return ok_;
    ok_ = sink_.Write(text_);
    text_.clear();
    return ok_;
  }

 private:
  ByteSink& sink_;
  std::string text_;
  bool ok_ = true;
};

// The packed data on its way out: bytes gathered a piece at a time, deflated, and the
// deflated bytes written as base64.
class PackedStream {
 public:
  explicit PackedStream(PageWriter& writer)
      : writer_(writer), piece_(new char[kPackedPiece + 16]) {}

  // Numbers go out as base-128 varints: seven bits a byte, low bits first, the top bit set
  // on every byte but the last.
  void Varint(std::uint64_t value) {
    char* to = piece_.get() + used_;
    while (value >= 0x80) {
      *to++ = static_cast<char>((value & 0x7F) | 0x80);
      value >>= 7;
    }
    *to++ = static_cast<char>(value);
    used_ = static_cast<std::size_t>(to - piece_.get());
    if (used_ >= kPackedPiece) Compress();
  }
  // Zigzagged first: 0, -1, 1, -2, ... as 0, 1, 2, 3.
  void Signed(std::int64_t value) {
    const std::uint64_t bits = static_cast<std::uint64_t>(value);
    Varint(value < 0 ? ~(bits << 1) : bits << 1);
  }
  void Bytes(std::string_view bytes) {
    while (!bytes.empty()) {
      const std::size_t room = kPackedPiece - std::min(used_, kPackedPiece);
      const std::size_t take = std::min(room, bytes.size());
      std::memcpy(piece_.get() + used_, bytes.data(), take);
      used_ += take;
      bytes.remove_prefix(take);
      if (used_ >= kPackedPiece) Compress();
    }
  }
  void Compress() {
    deflater_.Add(std::string_view(piece_.get(), used_), deflated_);
    used_ = 0;
    Encode(false);
  }
  void Finish() {
    Compress();
    deflater_.Finish(deflated_);
    Encode(true);
  }

 private:
  void Encode(bool all) {
    const std::size_t whole = all ? deflated_.size() : deflated_.size() / 3 * 3;
    AppendBase64(std::string_view(deflated_).substr(0, whole), writer_.text());
    deflated_.erase(0, whole);
    writer_.Flush();
  }

  PageWriter& writer_;
  std::unique_ptr<char[]> piece_;
  std::size_t used_ = 0;
  Deflater deflater_;
  std::string deflated_;
};

// True for text that is its own safe UTF-8 in every code page: ASCII without NUL or LF.
bool IsPlainAscii(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte - 1u >= 0x7Fu || c == '\n') return false;
  }
  return true;
}

// The distinct names of the page, each kept once.
class NameTable {
 public:
  explicit NameTable(const CodePageDecoder& decoder) : decoder_(decoder) {}

  // The id of a name from the snapshot, in its code page.
  std::uint32_t Add(std::string_view raw) { return ids_.Intern(SafeText(raw)); }

  std::string Decode(std::string_view raw) { return std::string(SafeText(raw)); }

  std::uint32_t size() const { return ids_.size(); }
  std::size_t bytes() const { return ids_.bytes(); }

  // Sorts the names, once every name is in; rank[id] is a name's place. ties lists the
  // places whose name equals the one before it once letters are folded, which the page
  // sorts as equal.
  void Sort(std::vector<std::uint32_t>& rank, std::vector<std::uint32_t>& ties) {
    ids_.CloseLookup();
    // Most names differ within their first 16 folded bytes: compared as two numbers, they
    // spare the sort a visit to the names themselves.
    struct Item {
      std::uint64_t high = 0, low = 0;
      std::uint32_t id = 0;
    };
    std::vector<Item> items(ids_.size());
    for (std::uint32_t id = 0; id < items.size(); ++id) {
      const std::string_view name = ids_.Text(id);
      Item& item = items[id];
      item.id = id;
      for (std::size_t i = 0; i < kPrefixBytes; ++i) {
        const auto byte = i < name.size() ? static_cast<unsigned char>(AsciiLower(name[i])) : 0u;
        std::uint64_t& half = i < kPrefixBytes / 2 ? item.high : item.low;
        half = half << 8 | byte;
      }
    }
    std::sort(items.begin(), items.end(), [&](const Item& x, const Item& y) {
      if (x.high != y.high) return x.high < y.high;
      if (x.low != y.low) return x.low < y.low;
      const int c = CompareFolded(ids_.Text(x.id), ids_.Text(y.id));
      return c != 0 ? c < 0 : ids_.Text(x.id) < ids_.Text(y.id);
    });
    order_.resize(items.size());
    rank.assign(items.size(), 0);
    ties.clear();
    for (std::uint32_t place = 0; place < items.size(); ++place) {
      order_[place] = items[place].id;
      rank[items[place].id] = place;
      if (place > 0 && items[place - 1].high == items[place].high &&
          items[place - 1].low == items[place].low &&
          CompareFolded(ids_.Text(items[place - 1].id), ids_.Text(items[place].id)) == 0) {
        ties.push_back(place);
      }
    }
  }

  // The names in sorted order: the length of each in UTF-16 units (what the page cuts its
  // text by), then all of them one after another.
  void WriteNames(PackedStream& out) const {
    for (const std::uint32_t id : order_) {
      std::size_t units = 0;
      for (const char c : ids_.Text(id)) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;  // a character starts here
        if (byte >= 0xF0) ++units;           // beyond the basic plane: a surrogate pair
      }
      out.Varint(units);
    }
    for (const std::uint32_t id : order_) out.Bytes(ids_.Text(id));
  }

 private:
  // raw as well-formed UTF-8 without NUL or LF: itself when plain ASCII, else decoded.
  std::string_view SafeText(std::string_view raw) {
    if (IsPlainAscii(raw)) return raw;
    decoded_.clear();
    decoder_.AppendUtf8(raw, decoded_);
    safe_.clear();
    AppendSafeUtf8(decoded_, safe_);
    return safe_;
  }

  CodePageDecoder decoder_;
  TextIds ids_;
  std::vector<std::uint32_t> order_;
  std::string decoded_, safe_;
};

struct Folder {
  std::int64_t parent = kNoFolder;
  std::uint32_t name = 0;
};

// What the page keeps of one entry line.
struct PageEntry {
  std::uint32_t folder = 0;  // the folder that lists it
  std::uint32_t name = 0;    // a file's name without its last extension; a directory's name
  // A file: 0 without an extension, else 1 + the extension's name id (its case kept: the
  // page lowers it for the Type column and rebuilds the whole name from both parts).
  // A directory: -1 - the folder it opens.
  std::int64_t kind = 0;
  // Its size and created date as the page reads them (see sizeOrDate).
  std::uint64_t size = 0, created = 0;
};

// Folders by share and share-relative path, compared ignoring case as locations are. Each is
// known by its parent and its own lowered name, so the keys of a path hold each of its names
// once: a deep path costs its length, not its length for every folder on it.
class FolderTable {
 public:
  std::vector<Folder> folders;

  explicit FolderTable(NameTable& names) : names_(names) {}

  void AddRoot(std::string_view computer) { folders.push_back({kNoFolder, names_.Add(computer)}); }
  void AddShare(std::string_view name) {
    shares_.push_back(static_cast<std::uint32_t>(folders.size()));
    folders.push_back({0, names_.Add(name)});
  }

  // The folder of path in share, made with any folders above it that no directory line
  // named (a file out of order): every entry stays reachable.
  std::uint32_t FolderFor(std::size_t share, std::string_view path) {
    if (path.empty()) return shares_[share];
    // A directory's entries stand together: most lines name the folder the last one named.
    if (share == lastShare_ && path == lastPath_) return lastFolder_;
    lastShare_ = share;
    lastPath_ = path;
    lastFolder_ = Find(shares_[share], path);
    return lastFolder_;
  }

 private:
  // Follows path down from folder, one name at a time, making each folder not met before.
  std::uint32_t Find(std::uint32_t folder, std::string_view path) {
    for (std::size_t start = 0;;) {
      const std::size_t cut = path.find(kPathSeparator, start);
      const std::size_t end = cut == std::string_view::npos ? path.size() : cut;
      const std::string_view name = path.substr(start, end - start);
      key_.assign(reinterpret_cast<const char*>(&folder), sizeof folder);
      for (const char c : name) key_ += AsciiLower(c);
      bool added = false;
      const std::uint32_t key = keys_.Intern(key_, added);
      if (added) {
        folderOfKey_.push_back(static_cast<std::uint32_t>(folders.size()));
        folders.push_back({folder, names_.Add(name)});
      }
      folder = folderOfKey_[key];
      if (end == path.size()) return folder;
      start = end + 1;
    }
  }

  NameTable& names_;
  std::vector<std::uint32_t> shares_;  // the folder of each share section
  // Keys of the parent's id (its bytes) and the lowered name, and the folder of each.
  TextIds keys_;
  std::vector<std::uint32_t> folderOfKey_;
  std::string key_;  // scratch key of the name looked up
  std::size_t lastShare_ = 0;
  std::string lastPath_;
  std::uint32_t lastFolder_ = 0;
};

void AppendJsonString(std::string_view utf8, std::string& out) {
  out += '"';
  AppendJsonBody(utf8, out);
  out += '"';
}

}  // namespace

bool ExportHtmlPage(const SnapshotLayout& layout, const CodePageDecoder& decoder, ByteSink& sink) {
  NameTable names(decoder);
  FolderTable table(names);
  table.AddRoot(layout.computer);
  for (const ShareSection& share : layout.shares) table.AddShare(share.name);

  // A size or date goes out as twice its number, or twice the index of its text among the
  // texts at the end, plus one.
  std::string texts;
  std::size_t textCount = 0;
  const auto sizeOrDate = [&](std::string_view text, bool date) {
    std::uint64_t value = 0;
    if (date ? PlainDateKey(text, value) : IsPlainNumber(text, kMaxExactDigits, value)) {
      return value * 2;
    }
    texts.append(names.Decode(text));
    texts += '\n';
    return std::uint64_t{textCount++} * 2 + 1;
  };
  std::vector<PageEntry> entries;
  const ShareSection* const firstShare = layout.shares.data();
  const bool read =
      ForEachEntry(layout, [&](const ShareSection& section, const SnapshotEntry& line) {
        const auto share = static_cast<std::size_t>(&section - firstShare);
        PageEntry entry;
        entry.folder = table.FolderFor(share, line.directory);
        // A dot in first place starts a name (".profile"); it marks no extension.
        const std::size_t dot = line.name.rfind('.');
        if (line.isDirectory) {
          entry.name = names.Add(line.name);
          entry.kind = -1 - static_cast<std::int64_t>(table.FolderFor(share, line.path));
          entry.size = 0;  // the listing shows no size for a directory
        } else {
          if (dot != std::string_view::npos && dot >= 1) {
            entry.name = names.Add(line.name.substr(0, dot));
            entry.kind = 1 + static_cast<std::int64_t>(names.Add(line.name.substr(dot + 1)));
          } else {
            entry.name = names.Add(line.name);
          }
          entry.size = sizeOrDate(line.size, false);
        }
        entry.created = sizeOrDate(line.created, true);
        entries.push_back(entry);
      });
  if (!read) return false;

  // Each folder's entries side by side, in file order, so the page finds a folder's listing
  // from the counts alone.
  const std::vector<Folder>& folders = table.folders;
  std::vector<std::size_t> counts(folders.size(), 0);
  for (const PageEntry& entry : entries) ++counts[entry.folder];
  std::vector<std::size_t> next(folders.size(), 0);
  for (std::size_t f = 1; f < folders.size(); ++f) next[f] = next[f - 1] + counts[f - 1];
  std::vector<std::uint32_t> grouped(entries.size());
  for (std::uint32_t i = 0; i < entries.size(); ++i) grouped[next[entries[i].folder]++] = i;
  next = std::vector<std::size_t>();

  const std::string computer = names.Decode(layout.computer);
  const std::string created = names.Decode(layout.created);
  std::vector<std::uint32_t> rank, ties;
  names.Sort(rank, ties);

  PageWriter writer(sink);
  std::string& out = writer.text();
  const std::string_view page(kHtmlPageTemplate, kHtmlPageTemplateSize);
  const std::size_t titleAt = page.find(kTitlePlaceholder);
  const std::size_t dataAt = page.find(kDataPlaceholder);
  const std::size_t packedAt = page.find(kPackedPlaceholder);
  out.append(page.substr(0, titleAt));
  AppendHtmlText("\\\\" + computer + " \xE2\x80\x94 " + created, out);
  const std::size_t afterTitle = titleAt + kTitlePlaceholder.size();
  out.append(page.substr(afterTitle, dataAt - afterTitle));
  out.append("{\"computer\":");
  AppendJsonString(computer, out);
  out.append(",\"group\":");
  AppendJsonString(names.Decode(layout.group), out);
  out.append(",\"created\":");
  AppendJsonString(created, out);
  out.append(",\"counts\":[");
  for (const std::size_t count : {std::size_t{rank.size()}, names.bytes(), ties.size(),
                                  folders.size(), grouped.size(), textCount}) {
    if (out.back() != '[') out += ',';
    out.append(std::to_string(count));
  }
  out.append("]}");
  const std::size_t afterData = dataAt + kDataPlaceholder.size();
  out.append(page.substr(afterData, packedAt - afterData));

  // The numbers and names go out deflated, as base64, a piece at a time: a page a fraction
  // of the size loads and parses much sooner, and its data holds no character HTML would
  // read.
  PackedStream packed(writer);
  names.WriteNames(packed);
  std::uint32_t lastTie = 0;
  for (const std::uint32_t place : ties) {
    packed.Varint(place - lastTie);
    lastTie = place;
  }
  for (std::size_t f = 0; f < folders.size(); ++f) {
    packed.Varint(static_cast<std::uint64_t>(static_cast<std::int64_t>(f) - folders[f].parent));
  }
  for (const Folder& folder : folders) packed.Varint(rank[folder.name]);
  for (const std::size_t count : counts) packed.Varint(count);
  // Entries listed in name order have names of neighbouring ranks: each goes as the step
  // from the one before.
  std::int64_t lastName = 0;
  for (const std::uint32_t i : grouped) {
    const std::int64_t name = rank[entries[i].name];
    packed.Signed(name - lastName);
    lastName = name;
  }
  for (const std::uint32_t i : grouped) {
    const std::int64_t kind = entries[i].kind;
    packed.Signed(kind > 0 ? 1 + std::int64_t{rank[static_cast<std::uint32_t>(kind - 1)]} : kind);
  }
  for (const std::uint32_t i : grouped) packed.Varint(entries[i].size);
  for (const std::uint32_t i : grouped) packed.Varint(entries[i].created);
  packed.Bytes(texts);
  packed.Finish();
  out.append(page.substr(packedAt + kPackedPlaceholder.size()));
  return writer.Flush(true);
}

}  // namespace mv
