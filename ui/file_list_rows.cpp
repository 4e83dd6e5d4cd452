// Ordering of the file list's rows and the detail text of a row.
#include "ui/file_list_rows.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

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

int CompareNumbers(const RowSortKey& a, const RowSortKey& b, bool descending) {
  if (a.isEmpty) return -1;
  if (b.isEmpty) return 1;
  if (descending) return b.number > a.number ? 1 : 0;
  return a.number > b.number ? 1 : 0;
}

}  // namespace

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

RowSortKey MakeRowSortKey(std::string_view columnText, std::string_view typeText, int sortValue) {
  RowSortKey key;
  key.isDirectory = EqualsIgnoreCase(typeText, kDirectoryTypeText);
  key.isUpRow = columnText == kUpRowName;
  key.isEmpty = columnText.empty();
  const int column = sortValue / 2;
  if (column == kSizeColumn) {
    key.number = ParseInt64LikeAtoi64(columnText);
  } else if (column == kDateColumn) {
    key.number = DateSortKey(columnText);
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

std::vector<RowSortKey> NumberListRows(FileListPort& list, int sortValue) {
  const int column = sortValue / 2;
  const int count = list.RowCount();
  std::vector<RowSortKey> keys;
  keys.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int row = 0; row < count; ++row) {
    const std::string type = list.CellText(row, kTypeColumn);
    if (column == kTypeColumn) {
      keys.push_back(MakeRowSortKey(type, type, sortValue));
    } else {
      keys.push_back(MakeRowSortKey(list.CellText(row, column), type, sortValue));
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
