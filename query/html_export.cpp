// The web page export: the snapshot's folders and entries become one table of distinct
// names, sorted the way the file list orders names, and columns of numbers that index it,
// packed (varints, deflated, base64) into the page. The page template, embedded at build
// time, unpacks and draws them.
#include "query/html_export.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_map>
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
// Bytes base64 encodes at a time (a multiple of three, so the pieces join without padding).
constexpr std::size_t kBase64Piece = std::size_t{3} << 18;
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
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

// Numbers go out as base-128 varints: seven bits a byte, low bits first, the top bit set on
// every byte but the last. Signed ones are zigzagged first (0, -1, 1, -2, ... as 0, 1, 2, 3).
void AppendVarint(std::uint64_t value, std::string& out) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

void AppendSigned(std::int64_t value, std::string& out) {
  const std::uint64_t bits = static_cast<std::uint64_t>(value);
  AppendVarint(value < 0 ? ~(bits << 1) : bits << 1, out);
}

// The distinct names of the page, each kept once.
class NameTable {
 public:
  NameTable(const CodePageDecoder& decoder, std::size_t expected) : decoder_(decoder) {
    ids_.reserve(expected);
    texts_.reserve(expected);
  }

  // The id of a name from the snapshot, in its code page.
  std::uint32_t Add(std::string_view raw) {
    decoded_.clear();
    decoder_.AppendUtf8(raw, decoded_);
    safe_.clear();
    AppendSafeUtf8(decoded_, safe_);
    const auto [at, added] = ids_.try_emplace(safe_, static_cast<std::uint32_t>(texts_.size()));
    if (added) texts_.push_back(&at->first);
    return at->second;
  }

  std::string Decode(std::string_view raw) {
    decoded_.clear();
    decoder_.AppendUtf8(raw, decoded_);
    std::string safe;
    AppendSafeUtf8(decoded_, safe);
    return safe;
  }

  // Sorts the names; rank[id] is a name's place. ties lists the places whose name equals the
  // one before it once letters are folded, which the page sorts as equal.
  void Sort(std::vector<std::uint32_t>& rank, std::vector<std::uint32_t>& ties) {
    // Most names differ within their first 16 folded bytes: compared as two numbers, they
    // spare the sort a visit to the names themselves.
    struct Item {
      std::uint64_t high = 0, low = 0;
      std::uint32_t id = 0;
    };
    std::vector<Item> items(texts_.size());
    for (std::uint32_t id = 0; id < items.size(); ++id) {
      const std::string& name = *texts_[id];
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
      const int c = CompareFolded(*texts_[x.id], *texts_[y.id]);
      return c != 0 ? c < 0 : *texts_[x.id] < *texts_[y.id];
    });
    order_.resize(items.size());
    rank.assign(items.size(), 0);
    ties.clear();
    for (std::uint32_t place = 0; place < items.size(); ++place) {
      order_[place] = items[place].id;
      rank[items[place].id] = place;
      if (place > 0 && items[place - 1].high == items[place].high &&
          items[place - 1].low == items[place].low &&
          CompareFolded(*texts_[items[place - 1].id], *texts_[items[place].id]) == 0) {
        ties.push_back(place);
      }
    }
  }

  // The names in sorted order: the length of each in UTF-16 units (what the page cuts its
  // text by), then all of them one after another. Returns the bytes of the names.
  std::size_t AppendNames(std::string& out) const {
    for (const std::uint32_t id : order_) {
      std::size_t units = 0;
      for (const char c : *texts_[id]) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;  // a character starts here
        if (byte >= 0xF0) ++units;           // beyond the basic plane: a surrogate pair
      }
      AppendVarint(units, out);
    }
    const std::size_t before = out.size();
    for (const std::uint32_t id : order_) out.append(*texts_[id]);
    return out.size() - before;
  }

 private:
  CodePageDecoder decoder_;
  std::unordered_map<std::string, std::uint32_t> ids_;
  std::vector<const std::string*> texts_;  // by id; the map's keys stay where they are
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
  // Its size and created date as written: in the page's text of values, from valuesAt on.
  std::size_t valuesAt = 0;
  std::uint32_t sizeLength = 0, createdLength = 0;
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
      const auto [at, added] = byKey_.try_emplace(key_, static_cast<std::uint32_t>(folders.size()));
      if (added) folders.push_back({folder, names_.Add(name)});
      folder = at->second;
      if (end == path.size()) return folder;
      start = end + 1;
    }
  }

  NameTable& names_;
  std::vector<std::uint32_t> shares_;  // the folder of each share section
  // The parent's id (its bytes) and the lowered name -> the folder.
  std::unordered_map<std::string, std::uint32_t> byKey_;
  std::string key_;  // scratch key of the name looked up
  std::size_t lastShare_ = 0;
  std::string lastPath_;
  std::uint32_t lastFolder_ = 0;
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

void AppendJsonString(std::string_view utf8, std::string& out) {
  out += '"';
  AppendJsonBody(utf8, out);
  out += '"';
}

}  // namespace

bool ExportHtmlPage(const SnapshotLayout& layout, const CodePageDecoder& decoder, ByteSink& sink) {
  NameTable names(decoder, static_cast<std::size_t>(layout.lineCount));
  FolderTable table(names);
  table.AddRoot(layout.computer);
  for (const ShareSection& share : layout.shares) table.AddShare(share.name);

  std::vector<PageEntry> entries;
  std::string values;  // every entry's size and created date, one after the other
  const ShareSection* const firstShare = layout.shares.data();
  const bool read =
      ForEachEntry(layout, [&](const ShareSection& section, const SnapshotEntry& line) {
        const auto share = static_cast<std::size_t>(&section - firstShare);
        PageEntry entry;
        entry.folder = table.FolderFor(share, line.directory);
        entry.valuesAt = values.size();
        entry.sizeLength = static_cast<std::uint32_t>(line.size.size());
        entry.createdLength = static_cast<std::uint32_t>(line.created.size());
        values.append(line.size);
        values.append(line.created);
        // A dot in first place starts a name (".profile"); it marks no extension.
        const std::size_t dot = line.name.rfind('.');
        if (line.isDirectory) {
          entry.name = names.Add(line.name);
          entry.kind = -1 - static_cast<std::int64_t>(table.FolderFor(share, line.path));
        } else if (dot != std::string_view::npos && dot >= 1) {
          entry.name = names.Add(line.name.substr(0, dot));
          entry.kind = 1 + static_cast<std::int64_t>(names.Add(line.name.substr(dot + 1)));
        } else {
          entry.name = names.Add(line.name);
        }
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

  std::vector<std::uint32_t> rank, ties;
  names.Sort(rank, ties);

  PageWriter writer(sink);
  std::string& out = writer.text();
  const std::string_view page(kHtmlPageTemplate, kHtmlPageTemplateSize);
  const std::size_t titleAt = page.find(kTitlePlaceholder);
  const std::size_t dataAt = page.find(kDataPlaceholder);
  const std::size_t packedAt = page.find(kPackedPlaceholder);
  out.append(page.substr(0, titleAt));
  std::string title = "\\\\" + names.Decode(layout.computer) + " \xE2\x80\x94 ";
  title += names.Decode(layout.created);
  AppendHtmlText(title, out);
  const std::size_t afterTitle = titleAt + kTitlePlaceholder.size();
  out.append(page.substr(afterTitle, dataAt - afterTitle));

  // The numbers and names go out deflated, as base64: a page a fraction of the size loads
  // and parses much sooner, and its data holds no character HTML would read.
  std::string packed;
  const std::size_t nameBytes = names.AppendNames(packed);
  std::uint32_t lastTie = 0;
  for (const std::uint32_t place : ties) {
    AppendVarint(place - lastTie, packed);
    lastTie = place;
  }
  for (std::size_t f = 0; f < folders.size(); ++f) {
    AppendVarint(static_cast<std::uint64_t>(static_cast<std::int64_t>(f) - folders[f].parent),
                 packed);
  }
  for (const Folder& folder : folders) AppendVarint(rank[folder.name], packed);
  for (const std::size_t count : counts) AppendVarint(count, packed);
  // Entries listed in name order have names of neighbouring ranks: each goes as the step
  // from the one before.
  std::int64_t lastName = 0;
  for (const std::uint32_t i : grouped) {
    const std::int64_t name = rank[entries[i].name];
    AppendSigned(name - lastName, packed);
    lastName = name;
  }
  for (const std::uint32_t i : grouped) {
    const std::int64_t kind = entries[i].kind;
    AppendSigned(kind > 0 ? 1 + std::int64_t{rank[static_cast<std::uint32_t>(kind - 1)]} : kind,
                 packed);
  }
  // A size or date is twice its number, or twice the index of its text among the texts at
  // the end, plus one.
  std::string texts;
  std::size_t textCount = 0;
  const auto sizeOrDate = [&](std::string_view text, bool date) {
    std::uint64_t value = 0;
    if (date ? PlainDateKey(text, value) : IsPlainNumber(text, kMaxExactDigits, value)) {
      AppendVarint(value * 2, packed);
    } else {
      AppendVarint(textCount++ * 2 + 1, packed);
      texts.append(names.Decode(text));
      texts += '\n';
    }
  };
  for (const std::uint32_t i : grouped) {
    if (entries[i].kind < 0) {
      AppendVarint(0, packed);  // the listing shows no size for a directory
    } else {
      sizeOrDate(std::string_view(values).substr(entries[i].valuesAt, entries[i].sizeLength),
                 false);
    }
  }
  for (const std::uint32_t i : grouped) {
    sizeOrDate(std::string_view(values).substr(entries[i].valuesAt + entries[i].sizeLength,
                                               entries[i].createdLength),
               true);
  }
  packed.append(texts);

  out.append("{\"computer\":");
  AppendJsonString(names.Decode(layout.computer), out);
  out.append(",\"group\":");
  AppendJsonString(names.Decode(layout.group), out);
  out.append(",\"created\":");
  AppendJsonString(names.Decode(layout.created), out);
  out.append(",\"counts\":[");
  for (const std::size_t count :
       {rank.size(), nameBytes, ties.size(), folders.size(), grouped.size(), textCount}) {
    if (out.back() != '[') out += ',';
    out.append(std::to_string(count));
  }
  out.append("]}");
  const std::size_t afterData = dataAt + kDataPlaceholder.size();
  out.append(page.substr(afterData, packedAt - afterData));
  std::string deflated;
  AppendDeflated(packed, deflated);
  packed = std::string();
  for (std::size_t at = 0; at < deflated.size(); at += kBase64Piece) {
    AppendBase64(std::string_view(deflated).substr(at, kBase64Piece), out);
    if (!writer.Flush()) return false;
  }
  out.append(page.substr(packedAt + kPackedPlaceholder.size()));
  return writer.Flush(true);
}

}  // namespace mv
