// The Compare window and Export... in the real main window: the window lists what diff prints
// for the same pair, and an export writes the bytes of the command line's export.
#include <iterator>
#include <sstream>

#include "cli/cli.h"
#include "gui_support.h"
#include "ui/win32/export_dialog.h"

namespace mv::gui {
namespace {

constexpr char kOld[] = "WG.PC1.04.12.2026.18.00.00.mirvaul";
constexpr char kNew[] = "WG.PC1.05.12.2026.09.04.05.mirvaul";

std::string RunCli(const cli::Args& args) {
  std::ostringstream out, err;
  cli::RunCli(args, out, err);
  return out.str();
}

// The list's rows as diff writes its lines: sign, path, size, created date.
std::string RowsAsDiffLines(HWND list) {
  std::string lines;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    const std::string change = ListCellText(list, row, 0);
    lines += change.find("dded") != std::string::npos     ? '+'
             : change.find("emoved") != std::string::npos ? '-'
                                                          : '~';
    lines += '\t' + ListCellText(list, row, 1) + '\t' + ListCellText(list, row, 2);
    const std::string created = ListCellText(list, row, 3);
    if (!created.empty()) lines += '\t' + created;
    lines += '\n';
  }
  return lines;
}

class CompareExportTest : public MainWindowTest {
 protected:
  void SetUp() override {
    oldPath_ =
        folder_.Write(kOld, SnapshotText("PC1", "WG", "04.12.2026 18:00:01",
                                         {{"Docs",
                                           {"a.txt;;f;;10;;1.1.2020", "same.txt;;f;;5;;1.1.2020",
                                            "date.txt;;f;;7;;1.1.2020", "Sub;;d;;0;;1.1.2020",
                                            "Sub\\x.txt;;f;;5;;1.1.2020"}},
                                          {"Music", {"s.mp3;;f;;40;;1.1.2020"}}}));
    newPath_ =
        folder_.Write(kNew, SnapshotText("PC1", "WG", "05.12.2026 09:04:07",
                                         {{"Docs",
                                           {"A.TXT;;f;;12;;1.1.2020", "same.txt;;f;;5;;1.1.2020",
                                            "date.txt;;f;;7;;2.1.2020", "New;;d;;0;;3.1.2020",
                                            "New\\y, \"z\".txt;;f;;3;;3.1.2020"}},
                                          {"Pics", {"p.jpg;;f;;9;;4.1.2020"}}}));
    Open();
    Select({"WG", "PC1", "05.12.2026 09:04:05"});
  }
  std::string oldPath_, newPath_;
};

TEST_F(CompareExportTest, CompareListsWhatDiffPrintsAndFilters) {
  Command(IDM_COMPARE);
  HWND compare = OwnedBox(window_);
  ASSERT_NE(compare, nullptr);
  HWND summary = GetDlgItem(compare, IDC_COMPARE_SUMMARY);
  ASSERT_TRUE(WaitUntil([&] {
    const std::string text = WholeWindowText(summary);
    return !text.empty() && text != "Comparing...";
  }));
  HWND list = GetDlgItem(compare, IDC_COMPARE_LIST);
  std::string printed = RunCli({"diff", oldPath_, newPath_});
  const std::string summaryLine = printed.substr(printed.rfind('\n', printed.size() - 2) + 1);
  printed.resize(printed.size() - summaryLine.size());
  EXPECT_EQ(RowsAsDiffLines(list), printed);
  EXPECT_NE(printed.find("date.txt\t7 -> 7\t1.1.2020 -> 2.1.2020"), std::string::npos);
  EXPECT_EQ(WholeWindowText(summary),
            "Added 3, removed 3, changed 2; shares added 1, removed 1; bytes added 14, removed 45");
  EXPECT_NE(summaryLine.find("added 3, removed 3, changed 2"), std::string::npos) << summaryLine;

  // A double click on a removed entry opens the older capture at its folder, the row selected.
  int removed = -1;
  for (int row = 0; row < static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); ++row) {
    if (ListCellText(list, row, 1).find("Sub\\x.txt") != std::string::npos) removed = row;
  }
  ASSERT_GE(removed, 0);
  NMITEMACTIVATE click{};
  click.hdr = {list, IDC_COMPARE_LIST, static_cast<UINT>(NM_DBLCLK)};
  click.iItem = removed;
  SendMessageW(compare, WM_NOTIFY, IDC_COMPARE_LIST, reinterpret_cast<LPARAM>(&click));
  PumpMessages();
  EXPECT_EQ(MainState().browser->info().path, oldPath_);
  EXPECT_EQ(Location(), "\\\\PC1\\Docs\\Sub\\");
  const auto selected = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  ASSERT_GE(selected, 0);
  EXPECT_EQ(MainState().fileList->CellText(selected, 0), "x");

  // Only the changed entries, once Added and Removed are cleared.
  for (const int box : {IDC_COMPARE_ADDED, IDC_COMPARE_REMOVED}) {
    CheckDlgButton(compare, box, BST_UNCHECKED);
    SendMessageW(compare, WM_COMMAND, MAKEWPARAM(box, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(compare, box)));
  }
  std::string changed;
  std::istringstream lines(printed);
  for (std::string line; std::getline(lines, line);) {
    if (line[0] == '~') changed += line + '\n';
  }
  EXPECT_EQ(RowsAsDiffLines(list), changed);

  DestroyWindow(compare);
}

TEST_F(CompareExportTest, ExportWritesTheBytesOfTheCommandLine) {
  const std::pair<ExportFormat, const char*> formats[] = {{ExportFormat::kCsv, "csv"},
                                                          {ExportFormat::kEfu, "efu"},
                                                          {ExportFormat::kJsonLines, "json"},
                                                          {ExportFormat::kHtml, "html"}};
  for (const auto& [format, name] : formats) {
    const std::string target = folder_.path() + "\\export." + name;
    ASSERT_TRUE(ExportWithProgress(window_, newPath_, target, format)) << name;
    std::ifstream file(target, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(written, RunCli({"export", newPath_, "--format", name})) << name;
    EXPECT_FALSE(written.empty()) << name;
  }
}

}  // namespace
}  // namespace mv::gui
