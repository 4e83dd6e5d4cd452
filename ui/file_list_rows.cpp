// Ordering of the file list's rows and the detail text of a row.
#include "ui/file_list_rows.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <utility>

#include "core/code_page_text.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr int kNameAscending = SortValue(kNameColumn, false);
constexpr int kNameDescending = SortValue(kNameColumn, true);
constexpr int kTypeAscending = SortValue(kTypeColumn, false);
constexpr int kTypeDescending = SortValue(kTypeColumn, true);
constexpr int kSizeAscending = SortValue(kSizeColumn, false);
constexpr int kSizeDescending = SortValue(kSizeColumn, true);
constexpr int kDateAscending = SortValue(kDateColumn, false);
constexpr int kDateDescending = SortValue(kDateColumn, true);

constexpr int kDayWeight = 1;
constexpr int kMonthWeight = 35;  // more than any day
constexpr int kYearWeight = 570;  // more than 12 months of 35 plus 31 days

// Names and types compare ignoring case as _strcmpi does: lower-case bytes compared as
// unsigned, a shorter text before a longer one that begins with it. Lower-casing once per
// row lets a plain byte comparison do the same.
int CompareLowered(const std::string& a, const std::string& b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// One rule of the case folding: the code points first..last map to code point + delta; with
// everyOther only those at an even distance from first do (the upper-case halves of
// alternating pairs).
struct FoldRange {
  char32_t first;
  char32_t last;
  int delta;
  bool everyOther;
};

// Ascending and disjoint. From the simple case folding of Unicode for the scripts named in
// file_list_rows.h.
constexpr FoldRange kFoldRanges[] = {
    {0x0041, 0x005A, 32, false}, {0x00C0, 0x00D6, 32, false},   {0x00D8, 0x00DE, 32, false},
    {0x0100, 0x012F, 1, true},   {0x0132, 0x0137, 1, true},     {0x0139, 0x0148, 1, true},
    {0x014A, 0x0177, 1, true},   {0x0178, 0x0178, -121, false}, {0x0179, 0x017E, 1, true},
    {0x0386, 0x0386, 38, false}, {0x0388, 0x038A, 37, false},   {0x038C, 0x038C, 64, false},
    {0x038E, 0x038F, 63, false}, {0x0391, 0x03A1, 32, false},   {0x03A3, 0x03AB, 32, false},
    {0x03C2, 0x03C2, 1, false},  {0x0400, 0x040F, 80, false},   {0x0410, 0x042F, 32, false},
    {0x0460, 0x0481, 1, true},   {0x048A, 0x04BF, 1, true},     {0x04C0, 0x04C0, 15, false},
    {0x04C1, 0x04CE, 1, true},   {0x04D0, 0x052F, 1, true},     {0x0531, 0x0556, 48, false},
    {0x1E00, 0x1E95, 1, true},   {0x1EA0, 0x1EFF, 1, true},     {0xFF21, 0xFF3A, 32, false},
};

char32_t FoldCodePoint(char32_t c) {
  for (const FoldRange& range : kFoldRanges) {
    if (c < range.first) break;
    if (c > range.last) continue;
    if (range.everyOther && (c - range.first) % 2 != 0) return c;
    return static_cast<char32_t>(static_cast<std::int64_t>(c) + range.delta);
  }
  return c;
}

// The code point at text[at] and its length in bytes; length 0 when the bytes there are not
// one well-formed UTF-8 sequence (overlong forms and surrogates included).
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t value = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (text.size() - at < length) return {0, 0};
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return {0, 0};
    value = (value << 6) | (next & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {0, 0};
  return {value, length};
}

int CompareNumbers(const RowSortKey& a, const RowSortKey& b, bool descending) {
  if (a.isEmpty) return -1;
  if (b.isEmpty) return 1;
  if (descending) return b.number > a.number ? 1 : 0;
  return a.number > b.number ? 1 : 0;
}

}  // namespace

std::string FoldedUtf8SortText(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto [value, length] = DecodeUtf8(text, at);
    if (length == 0) {
      folded += text[at++];
      continue;
    }
    if (value < 0x80) {
      folded += AsciiLower(static_cast<char>(value));
    } else {
      AppendCodePoint(FoldCodePoint(value), folded);
    }
    at += length;
  }
  return folded;
}

std::int64_t DateSortKey(std::string_view dateText) {
  std::int64_t pieces[3] = {0, 0, 0};
  std::size_t from = 0;
  for (std::int64_t& piece : pieces) {
    const std::size_t dot = dateText.find('.', from);
    piece =
        ParseIntLikeAtoi(dateText.substr(from, dot == std::string_view::npos ? dot : dot - from));
    if (dot == std::string_view::npos) break;
    from = dot + 1;
  }
  return kDayWeight * pieces[1] + kMonthWeight * pieces[0] + kYearWeight * pieces[2];
}

RowSortKey MakeRowSortKey(std::string_view columnText, std::string_view typeText, int sortValue,
                          NameEncoding encoding) {
  RowSortKey key;
  key.isDirectory = EqualsIgnoreCase(typeText, kDirectoryTypeText);
  key.isUpRow = columnText == kUpRowName;
  key.isEmpty = columnText.empty();
  const int column = sortValue / 2;
  if (column == kSizeColumn) {
    key.number = ParseInt64LikeAtoi64(columnText);
  } else if (column == kDateColumn) {
    key.number = DateSortKey(columnText);
  } else if (encoding == NameEncoding::kUtf8) {
    key.text = FoldedUtf8SortText(columnText);
  } else {
    key.text.reserve(columnText.size());
    for (const char c : columnText) key.text += AsciiLower(c);
  }
  return key;
}

int CompareRows(const RowSortKey& a, const RowSortKey& b, int sortValue) {
  if (a.isDirectory && !b.isDirectory) return -1;
  if (b.isDirectory && !a.isDirectory) return 1;
  switch (sortValue) {
    case kNameAscending:
    case kNameDescending:
      if (a.isUpRow) return -1;
      if (b.isUpRow) return 1;
      return sortValue == kNameAscending ? CompareLowered(a.text, b.text)
                                         : CompareLowered(b.text, a.text);
    case kTypeAscending:
      return CompareLowered(a.text, b.text);
    case kTypeDescending:
      return CompareLowered(b.text, a.text);
    case kSizeAscending:
    case kDateAscending:
      return CompareNumbers(a, b, false);
    case kSizeDescending:
    case kDateDescending:
      return CompareNumbers(a, b, true);
    default:
      return 0;
  }
}

std::vector<int> SortedRowOrder(const std::vector<RowSortKey>& keys, int sortValue) {
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  // A merge takes the right-hand row first only when CompareRows puts the left-hand one
  // after it; "x before y" is therefore CompareRows(y, x) > 0, a strict weak order for every
  // sort value, so any stable sort gives the merge sort's order.
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
    return CompareRows(keys[static_cast<std::size_t>(y)], keys[static_cast<std::size_t>(x)],
                       sortValue) > 0;
  });
  return order;
}

std::vector<RowSortKey> NumberListRows(FileListPort& list, int sortValue, NameEncoding encoding) {
  const int column = sortValue / 2;
  const int count = list.RowCount();
  std::vector<RowSortKey> keys;
  keys.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int row = 0; row < count; ++row) {
    const std::string type = list.CellText(row, kTypeColumn);
    if (column == kTypeColumn) {
      keys.push_back(MakeRowSortKey(type, type, sortValue, encoding));
    } else {
      keys.push_back(MakeRowSortKey(list.CellText(row, column), type, sortValue, encoding));
    }
  }
  return keys;
}

std::string RowDetailsText(std::string_view name, std::string_view type, std::string_view size,
                           std::string_view date) {
  std::string text(name);
  if (!type.empty()) (text += " Type: ") += type;
  if (!size.empty()) (text += " Size: ") += size;
  if (!date.empty()) (text += " Created: ") += date;
  return text;
}

std::string SnapshotCreatedText(std::string_view createdText) {
  std::string text = "Snapshot Created: ";
  text += createdText;
  return text;
}

}  // namespace mv
