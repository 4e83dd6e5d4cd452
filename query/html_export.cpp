// The web page export: the snapshot's folders and entries become one table of distinct
// names, sorted the way the file list orders names, and columns of numbers that index it,
// packed (varints, deflated, base64) into the page. The page template, embedded at build
// time, unpacks and draws them.
#include "query/html_export.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <future>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/snapshot_format.h"
#include "core/text.h"
#include "query/deflate.h"
#include "query/html_page.h"
#include "query/ordered_work.h"

#if defined(__GNUC__)
#define MV_PREFETCH(address) __builtin_prefetch(address)
#else
#define MV_PREFETCH(address) static_cast<void>(address)
#endif

namespace mv {
namespace {

constexpr std::string_view kTitlePlaceholder = "{{TITLE}}";
constexpr std::string_view kDataPlaceholder = "{{DATA}}";
constexpr std::string_view kPackedPlaceholder = "{{PACKED}}";
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
constexpr char kPathSeparator = '\\';
// Numbers the page can hold exactly (below 2^53) have at most 15 digits.
constexpr std::size_t kMaxExactDigits = 15;
// A date goes out as its sort key day + 35 * month + 570 * year when these bounds let the page
// read the three numbers back from the key, and twice the key fits in 32 bits; any other
// date as its text, which the page reads to the same key.
constexpr std::uint64_t kDayWeight = 1, kMonthWeight = 35, kYearWeight = 570;
constexpr std::uint64_t kMaxKeyDay = 34, kMaxKeyMonth = 15, kMaxKeyYearDigits = 6;
constexpr std::int64_t kNoFolder = -1;
// Bytes of a name, on average, that the name table makes room for at first.
constexpr std::size_t kNameBytesEach = 16;
// Folded bytes of a name that the sort of the name table compares as numbers.
constexpr std::size_t kPrefixBytes = 16;
// Names from which two threads sort them.
constexpr std::size_t kTwoThreadSortItems = std::size_t{1} << 16;
// Lines ahead of the one added whose names' memory in the name table is asked for.
constexpr std::size_t kLookAhead = 16;

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
  // The id of text, whose hash is given; added tells whether it was new.
  std::uint32_t Intern(std::string_view text, std::uint64_t hash, bool& added) {
    if (4 * (std::size_t{size()} + 1) > 3 * slots_.size()) Grow(2 * slots_.size());
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
  std::uint32_t Intern(std::string_view text, bool& added) {
    return Intern(text, HashOf(text), added);
  }
  std::uint32_t Intern(std::string_view text) {
    bool added = false;
    return Intern(text, HashOf(text), added);
  }
  // Asks for the memory where a text of hash is looked for first, ahead of Intern: a table
  // far larger than the caches then costs one wait for memory over many lookups, not one
  // each.
  void Prefetch(std::uint64_t hash) const {
    if (!slots_.empty())
      MV_PREFETCH(&slots_[static_cast<std::uint32_t>(hash) & (slots_.size() - 1)]);
  }

  void PrefetchStart(std::uint32_t id) const { MV_PREFETCH(&starts_[id]); }
  void PrefetchText(std::uint32_t id) const { MV_PREFETCH(arena_.data() + starts_[id]); }
  std::string_view Text(std::uint32_t id) const {
    return std::string_view(arena_).substr(starts_[id], starts_[id + 1] - starts_[id]);
  }
  std::uint32_t size() const { return static_cast<std::uint32_t>(starts_.size() - 1); }
  // The bytes of all the texts.
  std::size_t bytes() const { return arena_.size(); }
  // Frees the table once no text is looked up any more; Text still answers.
  void CloseLookup() { slots_ = std::vector<std::uint64_t>(); }

  // Room for count texts of about bytesEach bytes before the table or the arena grows:
  // each time they do, they are copied whole.
  void Reserve(std::size_t count, std::size_t bytesEach) {
    std::size_t slots = 64;
    while (3 * slots < 4 * count) slots *= 2;
    if (slots > slots_.size()) Grow(slots);
    arena_.reserve(count * bytesEach);
    starts_.reserve(count + 1);
  }

 private:
  // Each slot keeps the low half of its text's hash, which places it anew.
  void Grow(std::size_t slots) {
    std::vector<std::uint64_t> grown(std::max<std::size_t>(64, slots), 0);
    const std::size_t mask = grown.size() - 1;
    for (const std::uint64_t slot : slots_) {
      if (slot == 0) continue;
      std::size_t at = static_cast<std::uint32_t>(slot >> 32) & mask;
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

// The bytes of one piece of the packed data, written through a cursor into text, which
// grows as they need.
class PieceBytes {
 public:
  // Writes over what text held: its storage is reused.
  explicit PieceBytes(std::string& text) : text_(text) {
    if (text_.size() < kRoomBytes) text_.resize(kRoomBytes);
    to_ = text_.data();
    end_ = to_ + text_.size();
  }

  // Numbers go out as base-128 varints: seven bits a byte, low bits first, the top bit set
  // on every byte but the last.
  void Varint(std::uint64_t value) {
    Room(kMaxVarintBytes);
    while (value >= 0x80) {
      *to_++ = static_cast<char>((value & 0x7F) | 0x80);
      value >>= 7;
    }
    *to_++ = static_cast<char>(value);
  }
  // Zigzagged first: 0, -1, 1, -2, ... as 0, 1, 2, 3.
  void Signed(std::int64_t value) {
    const std::uint64_t bits = static_cast<std::uint64_t>(value);
    Varint(value < 0 ? ~(bits << 1) : bits << 1);
  }
  void Bytes(std::string_view bytes) {
    if (bytes.empty()) return;
    Room(bytes.size());
    std::memcpy(to_, bytes.data(), bytes.size());
    to_ += bytes.size();
  }
  std::string_view view() const {
    return std::string_view(text_.data(), static_cast<std::size_t>(to_ - text_.data()));
  }

 private:
  static constexpr std::size_t kMaxVarintBytes = 10;
  static constexpr std::size_t kRoomBytes = std::size_t{1} << 16;

  void Room(std::size_t bytes) {
    if (static_cast<std::size_t>(end_ - to_) >= bytes) return;
    const std::size_t used = static_cast<std::size_t>(to_ - text_.data());
    text_.resize(std::max(text_.size() * 2, used + bytes));
    to_ = text_.data() + used;
    end_ = text_.data() + text_.size();
  }

  std::string& text_;
  char* to_ = nullptr;
  char* end_ = nullptr;
};

// The length of UTF-8 text in UTF-16 units, what the page cuts its text by.
std::size_t Utf16Units(std::string_view utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++units;  // a character starts here
    if (byte >= 0xF0) ++units;           // beyond the basic plane: a surrogate pair
  }
  return units;
}

// Where a file's extension starts (its dot), npos for none. A dot in first place starts a
// name (".profile"); it marks no extension.
std::size_t ExtensionDot(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? std::string_view::npos : dot;
}

// True for text that is its own safe UTF-8 in every code page: ASCII without NUL or LF.
bool IsPlainAscii(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte - 1u >= 0x7Fu || c == '\n') return false;
  }
  return true;
}

// Snapshot text as the page keeps it: well-formed UTF-8 without NUL or LF.
class SafeText {
 public:
  explicit SafeText(const CodePageDecoder& decoder) : decoder_(decoder) {}

  // raw as safe text: itself when plain ASCII, else decoded here (until the next call).
  std::string_view Of(std::string_view raw) {
    if (IsPlainAscii(raw)) return raw;
    decoded_.clear();
    decoder_.AppendUtf8(raw, decoded_);
    safe_.clear();
    AppendSafeUtf8(decoded_, safe_);
    return safe_;
  }

 private:
  CodePageDecoder decoder_;
  std::string decoded_, safe_;
};

// The distinct names of the page, each kept once.
class NameTable {
 public:
  explicit NameTable(const CodePageDecoder& decoder) : text_(decoder) {}

  // The id of a name from the snapshot, in its code page.
  std::uint32_t Add(std::string_view raw) { return ids_.Intern(text_.Of(raw)); }
  // The id of a name already made safe, with its hash.
  std::uint32_t AddSafe(std::string_view safe, std::uint64_t hash) {
    bool added = false;
    return ids_.Intern(safe, hash, added);
  }
  // Asks ahead for the memory AddSafe will read for a name of hash.
  void Prefetch(std::uint64_t hash) const { ids_.Prefetch(hash); }

  std::string Decode(std::string_view raw) { return std::string(text_.Of(raw)); }

  std::uint32_t size() const {
    return sortedStarts_.empty() ? ids_.size()
                                 : static_cast<std::uint32_t>(sortedStarts_.size() - 1);
  }
  std::size_t bytes() const { return sortedStarts_.empty() ? ids_.bytes() : sorted_.size(); }
  // Room for about this many names, so the table is not laid out anew as it fills.
  void Expect(std::size_t count) { ids_.Reserve(count, kNameBytesEach); }

  // Sorts the names, once every name is in (none can be added after); rank[id] is a name's
  // place.
  void Sort(std::vector<std::uint32_t>& rank) {
    ids_.CloseLookup();
    // Most names differ within their first 16 folded bytes: compared as two numbers, they
    // spare the sort a visit to the names themselves.
    struct Item {
      std::uint64_t high = 0, low = 0;
      std::uint32_t id = 0;
    };
    const auto less = [&](const Item& x, const Item& y) {
      if (x.high != y.high) return x.high < y.high;
      if (x.low != y.low) return x.low < y.low;
      const int c = CompareFolded(ids_.Text(x.id), ids_.Text(y.id));
      return c != 0 ? c < 0 : ids_.Text(x.id) < ids_.Text(y.id);
    };
    // Items [begin, end) made and sorted.
    std::vector<Item> items(ids_.size());
    const auto sortPart = [&](std::size_t begin, std::size_t end) {
      for (std::size_t id = begin; id < end; ++id) {
        const std::string_view name = ids_.Text(static_cast<std::uint32_t>(id));
        Item& item = items[id];
        item.id = static_cast<std::uint32_t>(id);
        for (std::size_t i = 0; i < kPrefixBytes; ++i) {
          const auto byte = i < name.size() ? static_cast<unsigned char>(AsciiLower(name[i])) : 0u;
          std::uint64_t& half = i < kPrefixBytes / 2 ? item.high : item.low;
          half = half << 8 | byte;
        }
      }
      std::sort(items.begin() + static_cast<std::ptrdiff_t>(begin),
                items.begin() + static_cast<std::ptrdiff_t>(end), less);
    };
    // Many names: two halves sorted at once, then merged.
    const std::size_t count = items.size();
    std::size_t half = count >= kTwoThreadSortItems ? count / 2 : count;
    std::thread second;
    try {
      if (half < count) second = std::thread(sortPart, half, count);
    } catch (const std::system_error&) {
      half = count;  // no thread to be had: one sort
    }
    sortPart(0, half);
    if (second.joinable()) second.join();
    std::vector<std::uint32_t> order, ties;
    order.reserve(count);
    rank.assign(count, 0);
    const Item* last = nullptr;
    for (std::size_t a = 0, b = half; a < half || b < count;) {
      const Item& item =
          b == count || (a < half && less(items[a], items[b])) ? items[a++] : items[b++];
      const auto place = static_cast<std::uint32_t>(order.size());
      if (last != nullptr && last->high == item.high && last->low == item.low &&
          CompareFolded(ids_.Text(last->id), ids_.Text(item.id)) == 0) {
        ties.push_back(place);
      }
      order.push_back(item.id);
      rank[item.id] = place;
      last = &item;
    }
    items = std::vector<Item>();
    // The names again in sorted order, which is how they go out: read one after another,
    // each with what the page needs to rebuild it from the one before.
    sorted_.reserve(ids_.bytes());
    sortedStarts_.reserve(order.size() + 1);
    sortedStarts_.push_back(0);
    shared_.reserve(order.size());
    units_.reserve(order.size());
    auto tie = ties.begin();
    // The gather waits for memory at every name unless asked for ahead: first where a name
    // starts, then, once that is at hand, its bytes.
    constexpr std::size_t kStartsAhead = 32, kBytesAhead = 16;
    for (std::size_t place = 0; place < order.size(); ++place) {
      if (place + kStartsAhead < order.size()) ids_.PrefetchStart(order[place + kStartsAhead]);
      if (place + kBytesAhead < order.size()) ids_.PrefetchText(order[place + kBytesAhead]);
      const std::string_view name = ids_.Text(order[place]);
      const std::string_view before =
          place == 0 ? std::string_view() : Sorted(static_cast<std::uint32_t>(place - 1));
      const std::size_t most = std::min(name.size(), before.size());
      std::size_t shared = 0;
      while (shared < most && name[shared] == before[shared]) ++shared;
      const bool tied = tie != ties.end() && *tie == place;
      if (tied) ++tie;
      shared_.push_back(static_cast<std::uint32_t>(2 * shared + (tied ? 1 : 0)));
      units_.push_back(static_cast<std::uint32_t>(Utf16Units(name)));
      sorted_.append(name);
      sortedStarts_.push_back(sorted_.size());
    }
    ids_ = TextIds();
  }

  // The name at place of the sorted names, once sorted.
  std::string_view Sorted(std::uint32_t place) const {
    return std::string_view(sorted_).substr(sortedStarts_[place],
                                            sortedStarts_[place + 1] - sortedStarts_[place]);
  }
  // Twice the bytes it shares with the name before it (which the page rebuilds it from),
  // plus one when the two are equal once letters are folded (which the page sorts as equal).
  std::uint32_t SharedAndTie(std::uint32_t place) const { return shared_[place]; }
  // Its length in UTF-16 units, what the page cuts its text by.
  std::uint32_t Units(std::uint32_t place) const { return units_[place]; }

 private:
  SafeText text_;
  TextIds ids_;  // until sorted
  std::string sorted_;
  std::vector<std::size_t> sortedStarts_;
  std::vector<std::uint32_t> shared_, units_;
};

struct Folder {
  std::int64_t parent = kNoFolder;
  std::uint32_t name = 0;
};

// What the page keeps of one entry line, in 24 bytes.
struct PageEntry {
  std::uint32_t folder = 0;  // the folder that lists it
  std::uint32_t name = 0;    // a file's name without its last extension; a directory's name
  // A file: 0 without an extension, else 1 + the extension's name id (its case kept: the
  // page lowers it for the Type column and rebuilds the whole name from both parts).
  // A directory: -1 - the folder it opens. (The page holds kinds in 32 bits too.)
  std::int32_t kind = 0;
  // Its size and created date as the page reads them (see kTextValue); a date's fits in 32
  // bits (kMaxKeyYearDigits).
  std::uint32_t created = 0;
  std::uint64_t size = 0;
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

// A size or date goes out as twice its number, or twice the index of its text among the
// texts at the end of the data, plus one. A worker that reads a text marks it with this;
// the index is given in file order.
constexpr std::uint64_t kTextValue = 1;

// One entry line as a worker reads it: its texts made safe and hashed, its numbers read.
struct ReadLine {
  std::string_view directory, path;  // as written, in the piece's lines
  bool isDirectory = false;
  bool hasExtension = false;
  // A file's name without its last extension, or a directory's name, and the extension:
  // safe texts in the piece's names.
  std::uint32_t nameAt = 0, nameLength = 0, extensionAt = 0, extensionLength = 0;
  std::uint64_t nameHash = 0, extensionHash = 0;
  std::uint64_t size = 0, created = 0;  // as the page reads them, or kTextValue
};

// The entry lines that begin in one stretch of a share section, read on a worker.
struct ReadPiece {
  bool read = true;  // false when the file could not be read
  std::size_t share = 0;
  std::unique_ptr<std::string> lines;  // where the lines' views point
  std::vector<ReadLine> entries;
  std::string names;  // the safe texts of names, one after another
  std::string texts;  // the sizes and dates marked kTextValue, safe, each ending in LF
};

// Reads pieces of the snapshot for the tables; one per worker.
class PieceReader {
 public:
  PieceReader(const CodePageDecoder& decoder, const SnapshotLayout& layout)
      : text_(decoder), layout_(layout) {}

  // The lines of the share section share that begin in [first, last), into piece, whose
  // storage is reused.
  void Read(std::size_t share, std::uint64_t first, std::uint64_t last, ReadPiece& piece) {
    piece.read = true;
    piece.share = share;
    if (!piece.lines) piece.lines = std::make_unique<std::string>();
    piece.entries.clear();
    piece.names.clear();
    piece.texts.clear();
    const ShareSection& section = layout_.shares[share];
    if (!ReadLinesBeginningIn(*layout_.file, section.begin, section.end, first, last,
                              *piece.lines)) {
      piece.read = false;
      return;
    }
    const std::string_view lines = *piece.lines;
    ForEachEntryIn(lines, ShapeOfLines(lines), [&](std::string_view, const SnapshotEntry& line) {
      ReadLine entry;
      entry.directory = line.directory;
      entry.path = line.path;
      entry.isDirectory = line.isDirectory;
      const std::size_t dot = line.isDirectory ? std::string_view::npos : ExtensionDot(line.name);
      entry.nameHash = Keep(line.name.substr(0, dot), piece, entry.nameAt, entry.nameLength);
      if (dot != std::string_view::npos) {
        entry.hasExtension = true;
        entry.extensionHash =
            Keep(line.name.substr(dot + 1), piece, entry.extensionAt, entry.extensionLength);
      }
      // The listing shows no size for a directory.
      entry.size = line.isDirectory ? 0 : Value(line.size, false, piece);
      entry.created = Value(line.created, true, piece);
      piece.entries.push_back(entry);
    });
  }

 private:
  // Appends raw's safe text to the piece's names; returns its hash.
  std::uint64_t Keep(std::string_view raw, ReadPiece& piece, std::uint32_t& at,
                     std::uint32_t& length) {
    const std::string_view safe = text_.Of(raw);
    at = static_cast<std::uint32_t>(piece.names.size());
    length = static_cast<std::uint32_t>(safe.size());
    piece.names.append(safe);
    return HashOf(safe);
  }

  std::uint64_t Value(std::string_view text, bool date, ReadPiece& piece) {
    std::uint64_t value = 0;
    if (date ? PlainDateKey(text, value) : IsPlainNumber(text, kMaxExactDigits, value)) {
      return value * 2;
    }
    piece.texts.append(text_.Of(text));
    piece.texts += '\n';
    return kTextValue;
  }

  SafeText text_;
  const SnapshotLayout& layout_;
};

// The packed data's columns, in the order the page reads them.
// Those up to kDates, and the texts, need no name's place: they are packed while the names
// are sorted.
enum class Column {
  kParents,      // each folder's parent, as the step back to it
  kCounts,       // each folder's entry count
  kSizes,        // each entry's size
  kDates,        // each entry's created date
  kNameUnits,    // each sorted name's length in UTF-16 units
  kNameShared,   // twice the bytes it shares with the name before it, plus one when the two
                 // are equal once letters are folded (the page sorts them as equal)
  kNameRest,     // the bytes it has after those
  kNameBytes,    // those bytes of every name, one after another
  kFolderNames,  // each folder's name's place
  kNameSteps,    // each entry's name's place, as the step from the entry before
  kKinds,        // each entry's kind (see PageEntry), extensions by place
  kTexts,        // the sizes and dates that are no plain numbers, as lines
};

bool NeedsPlaces(Column column) {
  return column > Column::kDates && column != Column::kTexts;
}

// One piece of the packed data: items [begin, end) of a column (bytes, for the texts).
struct Piece {
  Column column = Column::kParents;
  std::size_t begin = 0, end = 0;
};

// Items a piece holds: a few hundred kilobytes to a few megabytes of packed bytes.
constexpr std::size_t kPieceItems = std::size_t{1} << 18;

// What the page's data is made of: cut into pieces that are packed and deflated apart, on
// any thread, and joined in order. The names' pieces wait until they are sorted.
struct PageData {
  std::size_t nameCount;
  const NameTable& names;
  const std::vector<std::uint32_t>& rank;  // filled in by the sort
  const std::vector<Folder>& folders;
  const std::vector<std::size_t>& counts;
  const std::vector<PageEntry>& entries;
  const std::vector<std::uint32_t>& grouped;  // entries by folder, each folder's in file order
  const std::string& texts;

  std::vector<Piece> Pieces() const {
    const std::size_t f = folders.size(), e = grouped.size(), n = nameCount;
    const std::size_t sizes[] = {f, f, e, e, n, n, n, n, f, e, e, texts.size()};
    std::vector<Piece> pieces;
    for (std::size_t c = 0; c < std::size(sizes); ++c) {
      for (std::size_t at = 0; at < sizes[c]; at += kPieceItems) {
        pieces.push_back({static_cast<Column>(c), at, std::min(sizes[c], at + kPieceItems)});
      }
    }
    return pieces;
  }

  std::int64_t NamePlace(std::size_t i) const { return rank[entries[grouped[i]].name]; }

  void Pack(const Piece& piece, PieceBytes& out) const {
    std::int64_t lastPlace =
        piece.column != Column::kNameSteps || piece.begin == 0 ? 0 : NamePlace(piece.begin - 1);
    for (std::size_t i = piece.begin; i < piece.end; ++i) {
      const auto place = static_cast<std::uint32_t>(i);
      switch (piece.column) {
        case Column::kNameUnits:
          out.Varint(names.Units(place));
          break;
        case Column::kNameShared:
          out.Varint(names.SharedAndTie(place));
          break;
        case Column::kNameRest:
          out.Varint(names.Sorted(place).size() - names.SharedAndTie(place) / 2);
          break;
        case Column::kNameBytes:
          out.Bytes(names.Sorted(place).substr(names.SharedAndTie(place) / 2));
          break;
        case Column::kParents:
          out.Varint(static_cast<std::uint64_t>(static_cast<std::int64_t>(i) - folders[i].parent));
          break;
        case Column::kFolderNames:
          out.Varint(rank[folders[i].name]);
          break;
        case Column::kCounts:
          out.Varint(counts[i]);
          break;
        case Column::kNameSteps: {
          // Entries listed in name order have names of neighbouring places.
          const std::int64_t namePlace = NamePlace(i);
          out.Signed(namePlace - lastPlace);
          lastPlace = namePlace;
          break;
        }
        case Column::kKinds: {
          const std::int64_t kind = entries[grouped[i]].kind;
          out.Signed(kind > 0 ? 1 + std::int64_t{rank[static_cast<std::uint32_t>(kind - 1)]}
                              : kind);
          break;
        }
        case Column::kSizes:
          out.Varint(entries[grouped[i]].size);
          break;
        case Column::kDates:
          out.Varint(entries[grouped[i]].created);
          break;
        case Column::kTexts:
          out.Bytes(std::string_view(texts).substr(piece.begin, piece.end - piece.begin));
          return;
      }
    }
  }
};

// Writes the page's data: its pieces packed and deflated on a few workers, and handed back
// in order to be written as base64; those that need the names' places once sorted is
// ready. Rethrows what a worker or the sort threw (std::bad_alloc, say).
bool WritePacked(const PageData& data, const std::shared_future<void>& sorted, PageWriter& writer) {
  std::vector<Piece> pieces = data.Pieces();
  if (pieces.empty()) pieces.push_back({Column::kTexts, 0, 0});
  const unsigned workers = WorkerCount(0, pieces.size());
  std::vector<std::unique_ptr<Deflater>> deflaters;
  for (unsigned w = 0; w < workers; ++w) deflaters.push_back(std::make_unique<Deflater>());
  std::vector<std::string> scratch(workers);
  std::mutex failureLock;
  std::exception_ptr failure;
  std::atomic<bool> stop{false};
  std::string carry;  // deflated bytes short of a group of three, for the next piece
  bool written = true;
  RunInOrder<std::string>(
      pieces.size(), workers,
      [&](std::size_t index, unsigned worker) {
        std::string deflated;
        try {
          if (NeedsPlaces(pieces[index].column)) sorted.get();
          PieceBytes bytes(scratch[worker]);
          data.Pack(pieces[index], bytes);
          // Sizes are as good as random to the search for repeats, which takes longer over
          // them than over all the rest; runs (of empty files, say) are still found.
          deflaters[worker]->SearchRepeats(pieces[index].column != Column::kSizes);
          deflaters[worker]->Add(bytes.view(), deflated);
          if (index + 1 == pieces.size()) {
            deflaters[worker]->Finish(deflated);
          } else {
            deflaters[worker]->EndPiece(deflated);
          }
        } catch (...) {
          const std::lock_guard hold(failureLock);
          if (!failure) failure = std::current_exception();
          stop = true;
        }
        return deflated;
      },
      [&](std::size_t index, std::string deflated) {
        carry += deflated;
        const std::size_t whole = index + 1 == pieces.size() ? carry.size() : carry.size() / 3 * 3;
        AppendBase64(std::string_view(carry).substr(0, whole), writer.text());
        carry.erase(0, whole);
        written = writer.Flush();
        return written;
      },
      &stop);
  if (failure) std::rethrow_exception(failure);
  return written;
}

// Reads every entry line into the tables: workers read and parse stretches of the file,
// and the calling thread adds them in file order, so folders and names are numbered as
// they first come. False when the file could not be read; rethrows what a worker threw.
bool ReadEntries(const SnapshotLayout& layout, const CodePageDecoder& decoder, NameTable& names,
                 FolderTable& table, std::vector<PageEntry>& entries, std::string& texts,
                 std::size_t& textCount) {
  struct Stretch {
    std::size_t share = 0;
    std::uint64_t first = 0, last = 0;
  };
  std::vector<Stretch> stretches;
  for (std::size_t share = 0; share < layout.shares.size(); ++share) {
    const ShareSection& section = layout.shares[share];
    for (std::uint64_t at = section.begin; at < section.end; at += kReadPieceBytes) {
      stretches.push_back({share, at, std::min<std::uint64_t>(section.end, at + kReadPieceBytes)});
    }
  }
  const unsigned workers = WorkerCount(0, stretches.size());
  std::vector<PieceReader> readers(workers, PieceReader(decoder, layout));
  std::mutex failureLock;
  std::exception_ptr failure;
  std::atomic<bool> stop{false};
  bool read = true;
  // Pieces go back to be read into again once added: fresh memory for each would cost
  // more, in page faults, than reading it.
  std::vector<ReadPiece> spare;
  spare.reserve(4 * std::size_t{workers} + 4);  // more than are ever out at once
  RunInOrder<ReadPiece>(
      stretches.size(), workers,
      [&](std::size_t index, unsigned worker) {
        ReadPiece piece;
        try {
          {
            const std::lock_guard hold(failureLock);
            if (!spare.empty()) {
              piece = std::move(spare.back());
              spare.pop_back();
            }
          }
          const Stretch& stretch = stretches[index];
          readers[worker].Read(stretch.share, stretch.first, stretch.last, piece);
        } catch (...) {
          const std::lock_guard hold(failureLock);
          if (!failure) failure = std::current_exception();
          stop = true;
          piece.read = false;
        }
        return piece;
      },
      [&](std::size_t, ReadPiece piece) {
        struct Spare {
          ReadPiece& piece;
          std::vector<ReadPiece>& spare;
          std::mutex& lock;
          ~Spare() {
            const std::lock_guard hold(lock);
            spare.push_back(std::move(piece));
          }
        } giveBack{piece, spare, failureLock};
        if (!piece.read) {
          read = false;
          return false;
        }
        const std::string_view pieceNames = piece.names;
        const std::string_view pieceTexts = piece.texts;
        std::size_t textAt = 0;
        const auto value = [&](std::uint64_t given) {
          if (given != kTextValue) return given;
          const std::size_t end = pieceTexts.find('\n', textAt) + 1;
          texts.append(pieceTexts.substr(textAt, end - textAt));
          textAt = end;
          return std::uint64_t{textCount++} * 2 + 1;
        };
        // The name table is far larger than the caches: its memory for the names a little
        // way on is asked for ahead, so that waits for it overlap.
        const std::vector<ReadLine>& lines = piece.entries;
        for (std::size_t i = 0; i < lines.size() && i < kLookAhead; ++i) {
          names.Prefetch(lines[i].nameHash);
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
          if (i + kLookAhead < lines.size()) names.Prefetch(lines[i + kLookAhead].nameHash);
          const ReadLine& line = lines[i];
          PageEntry entry;
          entry.folder = table.FolderFor(piece.share, line.directory);
          entry.name =
              names.AddSafe(pieceNames.substr(line.nameAt, line.nameLength), line.nameHash);
          if (line.isDirectory) {
            entry.kind = -1 - static_cast<std::int32_t>(table.FolderFor(piece.share, line.path));
          } else if (line.hasExtension) {
            entry.kind = 1 + static_cast<std::int32_t>(names.AddSafe(
                                 pieceNames.substr(line.extensionAt, line.extensionLength),
                                 line.extensionHash));
          }
          entry.size = value(line.size);
          entry.created = static_cast<std::uint32_t>(value(line.created));
          entries.push_back(entry);
        }
        return true;
      },
      &stop);
  if (failure) std::rethrow_exception(failure);
  return read;
}

}  // namespace

bool ExportHtmlPage(const SnapshotLayout& layout, const CodePageDecoder& decoder, ByteSink& sink) {
  NameTable names(decoder);
  names.Expect(static_cast<std::size_t>(layout.lineCount));
  FolderTable table(names);
  table.AddRoot(layout.computer);
  for (const ShareSection& share : layout.shares) table.AddShare(share.name);

  std::string texts;
  std::size_t textCount = 0;
  std::vector<PageEntry> entries;
  entries.reserve(static_cast<std::size_t>(layout.lineCount));
  if (!ReadEntries(layout, decoder, names, table, entries, texts, textCount)) return false;

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
  const std::string group = names.Decode(layout.group);
  const std::size_t nameCount = names.size(), nameBytes = names.bytes();

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
  AppendJsonString(group, out);
  out.append(",\"created\":");
  AppendJsonString(created, out);
  out.append(",\"counts\":[");
  for (const std::size_t count :
       {nameCount, nameBytes, folders.size(), grouped.size(), textCount}) {
    if (out.back() != '[') out += ',';
    out.append(std::to_string(count));
  }
  out.append("]}");
  const std::size_t afterData = dataAt + kDataPlaceholder.size();
  out.append(page.substr(afterData, packedAt - afterData));

  // The names are sorted on a thread of their own while the columns that need no name's
  // place are packed.
  std::vector<std::uint32_t> rank;
  std::promise<void> sorting;
  const std::shared_future<void> sorted = sorting.get_future().share();
  const auto sort = [&] {
    try {
      names.Sort(rank);
      sorting.set_value();
    } catch (...) {
      sorting.set_exception(std::current_exception());
    }
  };
  std::thread sorter;
  try {
    sorter = std::thread(sort);
  } catch (const std::system_error&) {
    sort();  // no thread to be had: sorted first
  }
  struct Joined {
    std::thread& thread;
    ~Joined() {
      if (thread.joinable()) thread.join();
    }
  } joined{sorter};
  // The numbers and names go out deflated, as base64: a page a fraction of the size loads
  // and parses much sooner, and its data holds no character HTML would read.
  const PageData data{nameCount, names, rank, folders, counts, entries, grouped, texts};
  if (!WritePacked(data, sorted, writer)) return false;
  sorted.get();  // what the sort threw, when no piece waited for it
  out.append(page.substr(packedAt + kPackedPlaceholder.size()));
  return writer.Flush(true);
}

}  // namespace mv
