// The web page export: the snapshot's folders and entries become one table of distinct
// names, sorted the way the file list orders names, and arrays of numbers that index it. The
// page template, embedded at build time, draws them.
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
#include "query/html_page.h"

namespace mv {
namespace {

constexpr std::string_view kTitlePlaceholder = "{{TITLE}}";
constexpr std::string_view kDataPlaceholder = "{{DATA}}";
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
constexpr char kPathSeparator = '\\';
// A folder key joins the share's index and the lowered path with a byte no path holds.
constexpr char kKeySeparator = '\n';
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

  // The names in sorted order, as the items of a JSON array: the browser makes each string
  // while it parses, much faster than it would cut one long string apart.
  void AppendItems(std::string& out) const {
    for (std::size_t place = 0; place < order_.size(); ++place) {
      if (place > 0) out += ',';
      out += '"';
      AppendJsonBody(*texts_[order_[place]], out);
      out += '"';
    }
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
  std::string_view size, created;  // as written
};

// Folders by share and share-relative path, compared ignoring case as locations are.
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
    lastFolder_ = Find(share, path);
    return lastFolder_;
  }

 private:
  std::uint32_t Find(std::size_t share, std::string_view path) {
    std::string_view missing = path;
    std::size_t known = 0;  // characters of path that name a known folder
    std::uint32_t parent = shares_[share];
    // Walk up to the deepest known folder; in file order that is nearly always the parent.
    for (;;) {
      if (const auto found = byKey_.find(Key(share, missing)); found != byKey_.end()) {
        if (missing.size() == path.size()) return found->second;
        parent = found->second;
        known = missing.size() + 1;
        break;
      }
      const std::size_t cut = missing.rfind(kPathSeparator);
      if (cut == std::string_view::npos) break;
      missing = missing.substr(0, cut);
    }
    // Then make each folder below it, top down.
    for (;;) {
      const std::size_t cut = path.find(kPathSeparator, known);
      const std::size_t end = cut == std::string_view::npos ? path.size() : cut;
      const auto id = static_cast<std::uint32_t>(folders.size());
      folders.push_back({parent, names_.Add(path.substr(known, end - known))});
      byKey_.emplace(Key(share, path.substr(0, end)), id);
      if (end == path.size()) return id;
      parent = id;
      known = end + 1;
    }
  }

  std::string Key(std::size_t share, std::string_view path) {
    std::string key = std::to_string(share);
    key += kKeySeparator;
    key.reserve(key.size() + path.size());
    for (const char c : path) key += AsciiLower(c);
    return key;
  }

  NameTable& names_;
  std::vector<std::uint32_t> shares_;  // the folder of each share section
  std::unordered_map<std::string, std::uint32_t> byKey_;
  std::size_t lastShare_ = 0;
  std::string_view lastPath_;  // a view into the snapshot's text, which outlives the table
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

void AppendNumber(std::int64_t value, std::string& out) {
  out.append(std::to_string(value));
}

// "key":[a,b,...] with one number per item, flushed as it grows.
template <typename Items, typename Value>
bool AppendArray(PageWriter& writer, std::string_view key, const Items& items, Value&& value) {
  std::string& out = writer.text();
  out += '"';
  out.append(key);
  out.append("\":[");
  bool first = true;
  for (const auto& item : items) {
    if (!first) out += ',';
    first = false;
    value(item, out);
    if (!writer.Flush()) return false;
  }
  out.append("],");
  return true;
}

void AppendJsonString(std::string_view utf8, std::string& out) {
  out += '"';
  AppendJsonBody(utf8, out);
  out += '"';
}

}  // namespace

bool ExportHtmlPage(const SnapshotLayout& layout, const CodePageDecoder& decoder, ByteSink& sink) {
  NameTable names(decoder, layout.lineCount);
  FolderTable table(names);
  table.AddRoot(layout.computer);
  for (const ShareSection& share : layout.shares) table.AddShare(share.name);

  std::vector<PageEntry> entries;
  for (std::size_t share = 0; share < layout.shares.size(); ++share) {
    ForEachEntryIn(
        layout.shares[share].entries, layout.lines,
        [&](std::string_view, const SnapshotEntry& line) {
          PageEntry entry;
          entry.folder = table.FolderFor(share, line.directory);
          entry.size = line.size;
          entry.created = line.created;
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
  }

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
  out.append(page.substr(0, titleAt));
  std::string title = "\\\\" + names.Decode(layout.computer) + " \xE2\x80\x94 ";
  title += names.Decode(layout.created);
  AppendHtmlText(title, out);
  const std::size_t afterTitle = titleAt + kTitlePlaceholder.size();
  out.append(page.substr(afterTitle, dataAt - afterTitle));

  out.append("{\"computer\":");
  AppendJsonString(names.Decode(layout.computer), out);
  out.append(",\"group\":");
  AppendJsonString(names.Decode(layout.group), out);
  out.append(",\"created\":");
  AppendJsonString(names.Decode(layout.created), out);
  out.append(",\"names\":[");
  names.AppendItems(out);
  out.append("],");
  const auto number = [](std::int64_t value, std::string& text) { AppendNumber(value, text); };
  const auto rankOf = [&](std::uint32_t id) { return static_cast<std::int64_t>(rank[id]); };
  const auto sizeOrDate = [&](std::string_view text, bool date, std::string& into) {
    std::uint64_t value = 0;
    if (date ? PlainDateKey(text, value) : IsPlainNumber(text, kMaxExactDigits, value)) {
      AppendNumber(static_cast<std::int64_t>(value), into);
    } else {
      AppendJsonString(names.Decode(text), into);
    }
  };
  const bool written =
      AppendArray(writer, "ties", ties, number) &&
      AppendArray(writer, "fp", folders,
                  [&](const Folder& f, std::string& text) { AppendNumber(f.parent, text); }) &&
      AppendArray(
          writer, "fn", folders,
          [&](const Folder& f, std::string& text) { AppendNumber(rankOf(f.name), text); }) &&
      AppendArray(writer, "fc", counts,
                  [&](std::size_t c, std::string& text) {
                    AppendNumber(static_cast<std::int64_t>(c), text);
                  }) &&
      AppendArray(writer, "en", grouped,
                  [&](std::uint32_t i, std::string& text) {
                    AppendNumber(rankOf(entries[i].name), text);
                  }) &&
      AppendArray(writer, "ek", grouped,
                  [&](std::uint32_t i, std::string& text) {
                    const std::int64_t kind = entries[i].kind;
                    AppendNumber(kind > 0 ? 1 + rankOf(static_cast<std::uint32_t>(kind - 1)) : kind,
                                 text);
                  }) &&
      AppendArray(writer, "es", grouped,
                  [&](std::uint32_t i, std::string& text) {
                    if (entries[i].kind < 0) {
                      text += '0';  // the listing shows no size for a directory
                    } else {
                      sizeOrDate(entries[i].size, false, text);
                    }
                  }) &&
      AppendArray(writer, "ed", grouped, [&](std::uint32_t i, std::string& text) {
        sizeOrDate(entries[i].created, true, text);
      });
  if (!written) return false;
  out.append("\"v\":1}");
  out.append(page.substr(dataAt + kDataPlaceholder.size()));
  return writer.Flush(true);
}

}  // namespace mv
