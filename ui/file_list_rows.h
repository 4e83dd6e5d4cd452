// The file list's columns, its kinds of rows, the order of its sorts and the detail text of a
// selected row. Rows are ordered by their displayed texts; nothing else is kept per row.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot_format.h"
#include "platform/file_list_port.h"

namespace mv {

inline constexpr int kNameColumn = 0;
inline constexpr int kTypeColumn = 1;
inline constexpr int kSizeColumn = 2;
inline constexpr int kDateColumn = 3;
inline constexpr int kFileListColumnCount = 4;

struct FileListColumn {
  const char* header;
  int width;  // pixels
};

// Inserted in this order (sub-item = index), all left-aligned.
inline constexpr std::array<FileListColumn, kFileListColumnCount> kFileListColumns = {{
    {"Name", 250},
    {"Type", 80},
    {"Size", 80},
    {"Date Created", 90},
}};

// Type cell of share rows and of directory rows (the ".." row among them), and the Name cell
// of the row that leads up.
inline constexpr std::string_view kShareTypeText = "<SHARE>";
inline constexpr std::string_view kDirectoryTypeText = "<DIR>";
inline constexpr std::string_view kUpRowName = "..";

// A sort value is 2 * column for ascending, 2 * column + 1 for descending (0 Name ascending
// ... 7 Date Created descending).
inline constexpr int SortValue(int column, bool descending) {
  return 2 * column + (descending ? 1 : 0);
}

// What CompareRows reads of one row, taken once per row before a sort.
struct RowSortKey {
  bool isDirectory = false;  // Type text "<DIR>", ignoring case (share rows are not)
  bool isUpRow = false;      // the sorted column's text is exactly ".."
  bool isEmpty = false;      // the sorted column's text is empty
  std::string text;          // the sorted column's text (Name and Type sorts)
  std::int64_t number = 0;   // the size (Size sorts) or the date sort key (Date sorts)
};

// The date sort key of "month.day.year": day + 35 * month + 570 * year, each piece read like
// atoi; missing pieces count 0. Grows strictly with the date. Computed in 64 bits, so no text
// can overflow it.
std::int64_t DateSortKey(std::string_view dateText);

// A name of a UTF-8 snapshot as it sorts: each code point case-folded (see below) and
// written back as UTF-8, so that comparing the bytes of two keys compares their code points.
// Bytes that are not UTF-8 stay as they are. Folding is the simple case folding of the
// bicameral scripts whose names turn up on shares: Latin (Basic, Latin-1, Extended-A and
// Additional), Greek, Cyrillic, Armenian and fullwidth Latin. Other scripts have no case,
// or only rare characters with one; they sort by code point alone.
std::string FoldedUtf8SortText(std::string_view text);

// The key of a row with this sorted column's text and Type text for the sort value. Texts
// of an ANSI snapshot are compared with their ASCII letters lower-cased, byte by byte; those
// of a UTF-8 snapshot by FoldedUtf8SortText.
RowSortKey MakeRowSortKey(std::string_view columnText, std::string_view typeText, int sortValue,
                          NameEncoding encoding = NameEncoding::kAnsi);

// Positive when row a must come after row b for the sort value, otherwise zero or negative:
// directories first, ".." leading in the Name sorts, names and types compared ignoring case,
// sizes as signed 64-bit numbers, dates by their sort key. Size and Date comparisons return
// only 1 or 0 apart from their rule for empty texts.
int CompareRows(const RowSortKey& a, const RowSortKey& b, int sortValue);

// The order a stable merge sort with CompareRows gives: a row moves behind another only when
// CompareRows says so. result[i] is the index in keys of the row that goes to place i.
std::vector<int> SortedRowOrder(const std::vector<RowSortKey>& keys, int sortValue);

// Numbers the list's rows by their current index (the index in the result) and reads, once
// per row, the texts CompareRows needs for the sort value.
std::vector<RowSortKey> NumberListRows(FileListPort& list, int sortValue,
                                       NameEncoding encoding = NameEncoding::kAnsi);

// Detail text of a selected row: the Name, then " Type: ", " Size: ", " Created: " with each
// text that is not empty.
std::string RowDetailsText(std::string_view name, std::string_view type, std::string_view size,
                           std::string_view date);
// Detail text when no row is selected.
std::string SnapshotCreatedText(std::string_view createdText);

}  // namespace mv
