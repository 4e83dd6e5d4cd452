// Row actions through the real window: a double click and Enter in the file list, a typed
// location, the Snapshot Properties dialog, Copy Path on the clipboard and a search that
// selects its match; and the shell port's object-properties entry.
#include <algorithm>

#include "gui_support.h"
#include "ui/win32/win32_shell_port.h"

namespace mv::gui {
namespace {

class RowActionsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    path_ = folder_.Write(
        "WG.PC1.05.12.2026.09.04.05.mirvaul",
        SnapshotText("PC1", "WG", "05.12.2026 09:04:07",
                     {{"Docs",
                       {"letters;;d;;0;;1.1.2010", "a.txt;;f;;1;;1.1.2010", "b.txt;;f;;2;;1.1.2010",
                        "c.txt;;f;;3;;1.1.2010", "report.doc;;f;;4;;1.1.2010",
                        "letters\\note.txt;;f;;5;;1.1.2010", "letters\\old;;d;;0;;1.1.2010",
                        "letters\\old\\x.txt;;f;;6;;1.1.2010"}},
                      {"Music",
                       {"Albums;;d;;0;;1.1.2010", "song.mp3;;f;;7;;1.1.2010", "--;;d;;0;;1.1.2010",
                        "Albums\\one.mp3;;f;;8;;1.1.2010", "Albums\\two.mp3;;f;;9;;1.1.2010",
                        "Albums\\six.mp3;;f;;10;;1.1.2010", "--\\in.txt;;f;;11;;1.1.2010"}}}));
    Open();
    Select({"WG", "PC1", "05.12.2026 09:04:05"});
  }
  // Selects and focuses exactly this row, as a click would.
  void Click(int row) { MainState().fileList->SelectOnly(row); }
  // The one selected row, which must be focused as well; "" otherwise.
  std::string Chosen() {
    const auto row = SendMessageA(list_, LVM_GETNEXTITEM, -1, LVNI_SELECTED | LVNI_FOCUSED);
    if (row < 0 || SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0) != 1) return "";
    return MainState().fileList->CellText(static_cast<int>(row), 0);
  }

  std::string path_;
};

TEST_F(RowActionsTest, DoubleClickAndATypedLocationEnterADirectoryAndEnterOpensAFile) {
  Click(0);  // Docs
  NMITEMACTIVATE click{};
  click.hdr = {list_, IDC_FILE_LIST, static_cast<UINT>(NM_DBLCLK)};
  click.iItem = -1;  // below the last row: the focused row counts
  Notify(click);
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "letters", "a", "b", "c", "report"}));
  EXPECT_EQ(Location(), "\\\\PC1\\Docs\\");

  Click(5);  // report
  SetFocus(list_);
  Command(IDOK);  // Enter
  EXPECT_EQ(shell_.opened, (std::vector<std::string>{"\\\\PC1\\Docs\\report.doc"}));

  SetDlgItemTextA(window_, IDC_LOCATION, "\\\\pc1\\\\DOCS\\letters");
  SetFocus(GetDlgItem(window_, IDC_LOCATION));
  Command(IDOK);
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "old", "note"}));
  EXPECT_EQ(Location(), "\\\\pc1\\\\DOCS\\letters");  // kept as typed
}

// Keys count as they stood for the message: Ctrl that goes down only after Enter was sent
// (or went up before) does not make it Explore. The folder "--" is entered like any other.
// Ctrl+S, as the menus show, opens the search, through the filter the dialog loops call.
TEST_F(RowActionsTest, EnterReadsKeysAsOfItsMessageEntersAnyFolderAndCtrlSSearches) {
  MainState().browser->OpenLocation("Music");
  const std::vector<std::string> music = Names();
  Click(static_cast<int>(std::find(music.begin(), music.end(), "--") - music.begin()));
  SetFocus(list_);
  INPUT ctrl[2] = {};
  for (INPUT& key : ctrl) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_CONTROL;
  }
  ctrl[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(1, &ctrl[0], sizeof(INPUT)), 1u);  // the keyboard has Ctrl down...
  Command(IDOK);  // ...but the Enter being handled came before it
  ASSERT_EQ(SendInput(1, &ctrl[1], sizeof(INPUT)), 1u);
  PumpMessages();
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "in"}));
  EXPECT_EQ(Location(), "\\\\PC1\\Music\\--\\");

  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  MessageBoxAnswerer search(window_, IDCANCEL);
  MSG ctrlS{list_, WM_KEYDOWN, 'S', 0x001F0001, 0, {}};
  EXPECT_NE(CallMsgFilterA(&ctrlS, MSGF_DIALOGBOX), FALSE);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  ASSERT_TRUE(search.Finish());
  EXPECT_EQ(search.caption, "Search files");
}

TEST_F(RowActionsTest, SnapshotPropertiesShowTheLoadedSnapshot) {
  std::vector<std::string> texts;
  LRESULT fileLines = 0;
  AnswerCommand(IDM_SNAPSHOT_PROPERTIES, "Snapshot Properties", IDOK, [&](HWND dialog) {
    for (int id = IDC_PROPERTY_GROUP; id <= IDC_PROPERTY_TOTAL; ++id) {
      texts.push_back(WholeWindowText(GetDlgItem(dialog, id)));
    }
    texts.push_back(WholeWindowText(GetDlgItem(dialog, IDC_PROPERTY_FILE)));
    fileLines = SendMessageA(GetDlgItem(dialog, IDC_PROPERTY_FILE), EM_GETLINECOUNT, 0, 0);
  });
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Group: WG", "Computer: PC1", "Date Created: 05.12.2026 09:04:07",
                       "Shares: 2", "Files: 11", "Directories: 4", "Total: 15", "File: " + path_}));
  EXPECT_GT(fileLines, 1);  // the path wraps instead of widening the box
}

TEST_F(RowActionsTest, CopyPathPutsTheSelectedRowsOnTheClipboard) {
  MainState().browser->OpenLocation("Docs");
  Click(1);                                                       // letters
  ListView_SetItemState(list_, 3, LVIS_SELECTED, LVIS_SELECTED);  // and "b"
  Command(IDM_COPY_PATH);
  EXPECT_EQ(ClipboardText(), "\\\\PC1\\Docs\\letters\r\n\\\\PC1\\Docs\\b.txt");
}

TEST_F(RowActionsTest, SearchSelectsItsMatchAndOffersTheNameAgain) {
  auto search = [&](const char* typed) {
    std::string offered;
    AnswerCommand(IDM_SEARCH, "Search files", IDOK, [&](HWND dialog) {
      offered = WholeWindowText(GetDlgItem(dialog, IDC_SEARCH_NAME));
      SetDlgItemTextA(dialog, IDC_SEARCH_NAME, typed);
    });
    return offered;
  };
  EXPECT_EQ(search("*.MP3"), "");
  EXPECT_EQ(Location(), "\\\\PC1\\Music\\");
  EXPECT_EQ(Chosen(), "song");
  EXPECT_EQ(search("*.MP3"), "*.MP3");
  EXPECT_EQ(Location(), "\\\\PC1\\Music\\Albums\\");
  EXPECT_EQ(Chosen(), "one");
  EXPECT_EQ(GetFocus(), list_);
}

TEST(Win32ShellPort, FindsTheObjectPropertiesEntry) {
  EXPECT_TRUE(Win32ShellPort().hasObjectProperties());
}

}  // namespace
}  // namespace mv::gui
