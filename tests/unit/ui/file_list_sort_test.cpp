// Ordering of the file list: each sort's rules, column clicks, ties, and agreement with a
// stable merge sort that reads the texts on every comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "browser_fixture.h"
#include "core/text.h"
#include "ui/file_list_rows.h"

namespace mv::test {
namespace {

using Cells = std::array<std::string, 4>;

// The comparison as the list would run it: texts read for every pair, nothing kept.
int CompareTexts(const Cells& a, const Cells& b, int v) {
  const std::string& A = a[static_cast<std::size_t>(v / 2)];
  const std::string& B = b[static_cast<std::size_t>(v / 2)];
  const bool aDir = EqualsIgnoreCase(a[1], "<DIR>"), bDir = EqualsIgnoreCase(b[1], "<DIR>");
  if (aDir != bDir) return aDir ? -1 : 1;
  if (v < 2 && (A == ".." || B == "..")) return A == ".." ? -1 : 1;
  if (v < 4) return v % 2 == 0 ? CompareIgnoreCase(A, B) : CompareIgnoreCase(B, A);
  if (A.empty() || B.empty()) return A.empty() ? -1 : 1;
  const std::int64_t x = v < 6 ? ParseInt64LikeAtoi64(A) : DateSortKey(A);
  const std::int64_t y = v < 6 ? ParseInt64LikeAtoi64(B) : DateSortKey(B);
  return (v % 2 == 0 ? x > y : y > x) ? 1 : 0;
}

// Textbook top-down merge sort: the right-hand row goes first only on a positive comparison.
void MergeSort(std::vector<int>& order, const std::vector<Cells>& rows, int v) {
  if (order.size() < 2) return;
  std::vector<int> left(order.begin(), order.begin() + static_cast<long>(order.size() / 2));
  std::vector<int> right(order.begin() + static_cast<long>(order.size() / 2), order.end());
  MergeSort(left, rows, v);
  MergeSort(right, rows, v);
  std::size_t l = 0, r = 0, o = 0;
  while (l < left.size() && r < right.size()) {
    const bool takeRight = CompareTexts(rows[static_cast<std::size_t>(left[l])],
                                        rows[static_cast<std::size_t>(right[r])], v) > 0;
    order[o++] = takeRight ? right[r++] : left[l++];
  }
  while (l < left.size()) order[o++] = left[l++];
  while (r < right.size()) order[o++] = right[r++];
}

TEST(FileListSort, AgreesWithAStableMergeSortReadingTheTexts) {
  std::mt19937 random(20261206);
  auto pick = [&](std::initializer_list<const char*> choices) {
    return std::string(*(choices.begin() + random() % choices.size()));
  };
  for (int round = 0; round < 200; ++round) {
    std::vector<Cells> rows;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) {
      Cells cells;
      cells[0] = pick({"..", "a", "A", "b", "_x", "Zed", "zed", "", "a b", "\xe4"});
      cells[1] = pick({"<DIR>", "<dir>", "<SHARE>", "txt", "TXT", "", "gz"});
      cells[2] =
          pick({"", "0", "9", "10", "-5", "5368709120", "12x", " 7", "99999999999999999999"});
      cells[3] = pick({"", "12.31.2009", "1.1.2010", "1.1.2010", "2.29.2012", "x", "1..2010",
                       "99999.99999.9999999999"});
      rows.push_back(cells);
    }
    for (int v = 0; v < 8; ++v) {
      std::vector<RowSortKey> keys;
      for (const Cells& cells : rows) {
        keys.push_back(MakeRowSortKey(cells[static_cast<std::size_t>(v / 2)], cells[1], v));
      }
      std::vector<int> expected(rows.size());
      for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<int>(i);
      MergeSort(expected, rows, v);
      ASSERT_EQ(SortedRowOrder(keys, v), expected) << "round " << round << " sort value " << v;
    }
  }
}

// Sizes beyond 4 GiB keep their high bits; the date key weighs month and year as it must.
TEST(FileListSort, DatesAndSizesCompareByValue) {
  // The last day of a month or year sorts before the first day of the next.
  for (const auto& [earlier, later] :
       {std::pair{"1.31.2010", "2.1.2010"}, {"12.31.2009", "1.1.2010"}})
    EXPECT_LT(DateSortKey(earlier), DateSortKey(later)) << earlier;
  const RowSortKey huge = MakeRowSortKey("5368709120", "iso", 4);
  const RowSortKey fourGiB = MakeRowSortKey("4294967296", "iso", 4);
  EXPECT_EQ(CompareRows(huge, fourGiB, 4), 1);
  EXPECT_EQ(CompareRows(fourGiB, huge, 5), 1);
}

// Names of a UTF-8 snapshot: upper and lower case of the folded scripts sort as one, the rest
// by code point, ".." and directories still first; bytes that are no UTF-8 stay themselves.
TEST(FileListSort, Utf8NamesSortCaseInsensitivelyByCodePoint) {
  EXPECT_EQ(FoldedUtf8SortText("ÄŸĹΣΆЖЁԱＡZ"), FoldedUtf8SortText("äÿĺσάжёաａz"));
  EXPECT_EQ(FoldedUtf8SortText("ς"), FoldedUtf8SortText("Σ"));
  EXPECT_EQ(FoldedUtf8SortText("İ日🚀\xC0\xAF\xED\xA0\x80\xF0\x9F"),
            "İ日🚀\xC0\xAF\xED\xA0\x80\xF0\x9F");
  const std::vector<std::pair<const char*, const char*>> rows = {
      {"日本.txt", "txt"},  {"Яблоко.txt", "txt"},   {"ärger2", ""}, {"Ärger.txt", "txt"},
      {"Zebra", ""},        {"report 🚀.pdf", "pdf"}, {"ábc", ""},    {"Папка", "<DIR>"},
      {"apple.txt", "txt"}, {"..", "<DIR>"},         {"ёж", "txt"},  {"Ежевика", "txt"}};
  for (const int v : {0, 1}) {
    std::vector<RowSortKey> keys;
    for (const auto& [name, type] : rows)
      keys.push_back(MakeRowSortKey(name, type, v, NameEncoding::kUtf8));
    NameList names;
    for (const int i : SortedRowOrder(keys, v))
      names.push_back(rows[static_cast<std::size_t>(i)].first);
    const NameList ascending = {"..",      "Папка",      "apple.txt", "report 🚀.pdf",
                                "Zebra",   "ábc",        "Ärger.txt", "ärger2",
                                "Ежевика", "Яблоко.txt", "ёж",        "日本.txt"};
    NameList expected(ascending.begin() + 2, ascending.end());
    if (v == 1) std::reverse(expected.begin(), expected.end());
    expected.insert(expected.begin(), ascending.begin(), ascending.begin() + 2);
    EXPECT_EQ(names, expected);
  }
}

class ColumnClickTest : public BrowserTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        Open(HeaderText() +
             SnapshotText({"SHARENAME: S", "b.txt;;f;;10;;1.1.2010", "a.txt;;f;;9;;12.31.2009",
                           "D;;d;;0;;5.5.2005", "c.iso;;f;;5368709120;;1.1.2010",
                           "d.bin;;f;;10;;6.6.2006", "C;;d;;0;;1.1.2001", "END"})));
    browser.OpenLocation("S");
  }
};

TEST_F(ColumnClickTest, FirstClickSortsDescendingEachColumnKeepsItsDirectionStateMoves) {
  EXPECT_EQ(Names(), (NameList{"..", "C", "D", "a", "b", "c", "d"}));
  list.SelectOnly(RowOf("a"));
  browser.ClickColumn(kSizeColumn);  // largest file first, directories still on top
  EXPECT_EQ(Names(), (NameList{"..", "C", "D", "c", "b", "d", "a"}));
  EXPECT_EQ(Row("a").state, kRowSelected | kRowFocused);  // the state moves with the row
  browser.ClickColumn(kSizeColumn);  // smallest first; the two 10-byte files keep their order
  EXPECT_EQ(Names(), (NameList{"..", "C", "D", "a", "b", "d", "c"}));

  browser.ClickColumn(kDateColumn);  // descending; "..", with no date, stays ahead
  EXPECT_EQ(Names(), (NameList{"..", "D", "C", "b", "c", "a", "d"}));
  browser.ClickColumn(kDateColumn);  // 12.31.2009 before 1.1.2010; equal dates keep order
  EXPECT_EQ(Names(), (NameList{"..", "C", "D", "d", "a", "b", "c"}));

  browser.ClickColumn(kNameColumn);  // Name descending: ".." still first
  EXPECT_EQ(Names(), (NameList{"..", "D", "C", "d", "c", "b", "a"}));
  EXPECT_EQ(browser.sortTable(), (std::array<int, 4>{1, 2, 4, 6}));
  browser.ClickColumn(kTypeColumn);  // Type descending: txt, iso, bin
  EXPECT_EQ(Names(), (NameList{"..", "D", "C", "b", "a", "c", "d"}));
}

TEST_F(ColumnClickTest, DetailTextsOfRows) {
  list.SelectOnly(RowOf("c"));
  browser.ShowRowDetails(RowOf("c"), "05.12.2026 09:04:05");
  EXPECT_EQ(notices.statusPart, 1);
  EXPECT_EQ(notices.status, "c Type: iso Size: 5368709120 Created: 1.1.2010");
  list.SelectOnly(RowOf("D"));
  browser.ShowRowDetails(RowOf("D"), "05.12.2026 09:04:05");
  EXPECT_EQ(notices.status, "D Type: <DIR> Created: 5.5.2005");
  list.SelectOnly(-1);  // the last selected row lost its selection
  browser.ShowRowDetails(RowOf("D"), "05.12.2026 09:04:05");
  EXPECT_EQ(notices.status, "Snapshot Created: 05.12.2026 09:04:05");
  browser.ShowRowDetails(-1, "05.12.2026 09:04:05");
  EXPECT_EQ(notices.status, "Snapshot Created: 05.12.2026 09:04:05");
  EXPECT_EQ(RowDetailsText("noext", "", "3", "1.1.2010"), "noext Size: 3 Created: 1.1.2010");

  // A fill or a sort that leaves the order as it was still leaves no row's text behind.
  for (auto step : {+[](SnapshotBrowser& b) { b.FillFileList(b.listedPath(), ""); },
                    +[](SnapshotBrowser& b) { b.SortByColumn(kNameColumn, false); }}) {
    list.SelectOnly(RowOf("c"));
    browser.ShowRowDetails(RowOf("c"), "05.12.2026 09:04:05");
    step(browser);
    EXPECT_EQ(notices.status, "Snapshot Created: 05.12.2026 09:04:05");
  }
}

}  // namespace
}  // namespace mv::test
