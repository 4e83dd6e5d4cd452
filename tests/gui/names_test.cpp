// Names in any script through the real window: a UTF-8 snapshot's names read back from the
// list view, the location field and the tree exactly, in code-point order; a typed location in
// Cyrillic is found; Open and Copy Path hand on the exact path; a name an ANSI snapshot cannot
// hold finds nothing.
#include "gui_support.h"

namespace mv::gui {
namespace {

// The UTF-8 snapshot form: the ENCODING line directly after DATE CREATED.
std::string Utf8Snapshot(std::string text) {
  const std::size_t created = text.find("DATE CREATED");
  return text.insert(text.find("\r\n", created) + 2, "ENCODING: UTF-8\r\n");
}

class NamesTest : public MainWindowTest {
 protected:
  // A cell as the list view gives it to anyone who asks (it asks the window for the text).
  std::wstring Cell(int row, int column) {
    wchar_t text[260] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text;
  }
  std::vector<std::wstring> ShownNames() {
    std::vector<std::wstring> names;
    const auto rows = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) names.push_back(Cell(row, 0));
    return names;
  }
  std::wstring LocationW() { return WholeWindowTextW(GetDlgItem(window_, IDC_LOCATION)); }
  void EnterLocation(const wchar_t* typed) {
    SetDlgItemTextW(window_, IDC_LOCATION, typed);
    SetFocus(GetDlgItem(window_, IDC_LOCATION));
    Command(IDOK);
  }
};

TEST_F(NamesTest, AUtf8SnapshotShowsAndActsOnEveryName) {
  folder_.Write("WG.PC1.05.12.2026.09.04.05.mirvaul",
                Utf8Snapshot(SnapshotText(
                    "PC1", "WG", "05.12.2026 09:04:07",
                    {{"Документы",
                      {"日本.txt;;f;;1;;1.1.2010", "Привет.docx;;f;;2;;1.1.2010",
                       "report 🚀.pdf;;f;;3;;1.1.2010", "Ελληνικά;;d;;0;;1.1.2010",
                       "ёлка.txt;;f;;4;;1.1.2010", "مرحبا.txt;;f;;5;;1.1.2010",
                       "Папка;;d;;0;;1.1.2010", "Папка\\한국어.txt;;f;;6;;1.1.2010"}}})));
  Open();
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  EXPECT_EQ(ShownNames(), (std::vector<std::wstring>{L"Документы"}));
  MainState().browser->OpenLocation(MainState().fileList->CellText(0, 0));
  EXPECT_EQ(ShownNames(), (std::vector<std::wstring>{L"..", L"Ελληνικά", L"Папка", L"report 🚀",
                                                     L"Привет", L"ёлка", L"مرحبا", L"日本"}));
  EXPECT_EQ(Cell(5, 1), L"txt");
  EXPECT_EQ(LocationW(), L"\\\\PC1\\Документы\\");

  EnterLocation(L"\\\\PC1\\Документы\\Папка");
  EXPECT_EQ(ShownNames(), (std::vector<std::wstring>{L"..", L"한국어"}));
  MainState().fileList->SelectOnly(1);
  Command(IDM_OPEN);
  Command(IDM_COPY_PATH);
  const std::string path = "\\\\PC1\\Документы\\Папка\\한국어.txt";
  EXPECT_EQ(shell_.opened, (std::vector<std::string>{path}));
  EXPECT_EQ(ClipboardText(), path);
}

// A refused file (read in the ANSI code page) leaves the names shown in their own encoding.
TEST_F(NamesTest, ARefusedFileLeavesTheNamesShownAsTheyWere) {
  folder_.Write("WG.PC1.05.12.2026.09.04.05.mirvaul",
                Utf8Snapshot(SnapshotText("PC1", "WG", "05.12.2026 09:04:07",
                                          {{"Документы", {"ёлка.txt;;f;;4;;1.1.2010"}}})));
  folder_.Write("WG.BAD.03.12.2026.12.00.00.mirvaul", "this is not a snapshot\r\n");
  Open();
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  MessageBoxAnswerer answer(window_, IDOK);
  Select({"WG", "BAD", "03.12.2026 12:00:00"});
  ASSERT_TRUE(answer.Finish());
  EXPECT_EQ(ShownNames(), (std::vector<std::wstring>{L"Документы"}));
  EXPECT_EQ(LocationW(), L"\\\\PC1\\");
}

TEST_F(NamesTest, ANameTheAnsiSnapshotCannotHoldFindsNothing) {
  // The ANSI code page is the system's (UTF-8 itself under some Wine locales).
  const std::string cafe = TextFromWide(L"café", NameEncoding::kAnsi);
  folder_.Write(
      "WG.PC1.05.12.2026.09.04.05.mirvaul",
      SnapshotText("PC1", "WG", "05.12.2026 09:04:07",
                   {{"Docs", {cafe + ";;d;;0;;1.1.2010", cafe + "\\x.txt;;f;;1;;1.1.2010"}}}));
  Open();
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  EnterLocation(L"\\\\PC1\\Docs\\café");
  EXPECT_EQ(ShownNames(), (std::vector<std::wstring>{L"..", L"x"}));
  EXPECT_EQ(MainState().browser->listedPath(), "Docs\\" + cafe + "\\");
  MessageBoxAnswerer box(window_, IDOK);
  EnterLocation(L"\\\\PC1\\Docs\\caféЖ");
  ASSERT_TRUE(box.Finish());
  EXPECT_EQ(box.text, "Could not locate '\\\\PC1\\Docs\\caféЖ' path.");
}

}  // namespace
}  // namespace mv::gui
