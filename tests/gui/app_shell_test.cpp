// The application shell inside the real main window: the first-run prompt, the Settings
// dialog with the folder browser, the Run entry and the tray icon, the update check against a
// local HTTP server, and the About box.
#include <shlobj.h>

#include "app/first_run.h"
#include "app/update_check.h"
#include "app/web_pages.h"
#include "app/win32/app_registry.h"
#include "app/win32/profile_settings_file.h"
#include "app/win32/system_paths.h"
#include "app/win32/wininet_fetch.h"
#include "gui_support.h"
#include "ui/win32/win32_notice_port.h"

#include <shellapi.h>  // after windows.h

namespace mv::gui {
namespace {

// Puts the first-run marker and the Run entry back as the bench keeps them.
class AppShellTest : public MainWindowTest {
 protected:
  void TearDown() override {
    MainWindowTest::TearDown();
    WriteAppRegistryValue(kNotFirstRunValue, kNotFirstRunMarker);
    SetAutorun(false);
  }
};

// "Browse...", then in the folder browser pick folder and OK, or Cancel when folder is empty.
void Browse(HWND settings, const std::string& folder) {
  MessageBoxAnswerer browser(settings, folder.empty() ? IDCANCEL : IDOK, [&](HWND dialog) {
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
  });
  PressButton(settings, IDC_BROWSE);
  ASSERT_TRUE(browser.Finish());
  Sleep(300);  // the dialog takes the answer
}

TEST_F(AppShellTest, FirstRunAsksForAnyMarkerButOneAndYesOpensTheTakeSnapshotsDialog) {
  WriteAppRegistryValue(kNotFirstRunValue, "yes");
  std::atomic<int> dialogs{0};
  Open([&](MainWindowSetup& setup) {
    setup.takeSnapshotsOnFirstRun = [&](HWND owner) { dialogs += owner == GetMainWindow(); };
  });
  MessageBoxAnswerer prompt(window_, IDYES);
  ASSERT_TRUE(prompt.Finish());
  EXPECT_EQ(prompt.text, kFirstRunQuestion);
  // The box's owner is re-activated across threads before the prompt goes on: slow here.
  WaitUntil([&] { return dialogs.load() != 0; });
  EXPECT_EQ(dialogs.load(), 1);
  EXPECT_EQ(ReadAppRegistryValue(kNotFirstRunValue), "1");
}

TEST_F(AppShellTest, SettingsTakeEffectOnOkAndCancelChangesNothing) {
  // The folder browser starts at the desktop; a folder on it is one step away.
  char desktop[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
  ScratchFolder other(desktop);
  other.Write("LAB.SRV.01.11.2026.08.00.00.mirvaul",
              SnapshotText("SRV", "LAB", "01.11.2026 08:00:00", {{"C$", {}}}));
  Open();
  AnswerCommand(IDM_SETTINGS, "Settings", IDOK, [&](HWND dialog) {
    EXPECT_EQ(WholeWindowText(GetDlgItem(dialog, IDC_SNAPSHOTS_DIRECTORY)), folder_.path());
    Browse(dialog, "");
    EXPECT_EQ(WholeWindowText(GetDlgItem(dialog, IDC_SNAPSHOTS_DIRECTORY)), folder_.path());
    Browse(dialog, other.path());
    EXPECT_EQ(WholeWindowText(GetDlgItem(dialog, IDC_SNAPSHOTS_DIRECTORY)), other.path());
    CheckDlgButton(dialog, IDC_AUTORUN, BST_CHECKED);
    CheckDlgButton(dialog, IDC_SHOW_IN_TRAY, BST_CHECKED);
  });
  // At once: the tree lists the new folder, the Run entry starts this program, quoted.
  const std::vector<std::string> lab = {"LAB", "  SRV", "    01.11.2026 08:00:00"};
  EXPECT_EQ(TreeLines(tree_), lab);
  EXPECT_EQ(RunEntry(), "\"" + ExecutablePath() + "\"");

  // With the tray icon on the close box hides; a left-button release on the icon shows.
  SendMessageA(window_, WM_CLOSE, 0, 0);
  SendMessageA(window_, WM_MV_TRAY, 0, WM_RBUTTONUP);
  EXPECT_FALSE(IsWindowVisible(window_));
  SendMessageA(window_, WM_MV_TRAY, 0, WM_LBUTTONUP);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(exits_, 0);

  AnswerCommand(IDM_SETTINGS, "Settings", IDCANCEL, [&](HWND dialog) {
    Browse(dialog, folder_.path());
    CheckDlgButton(dialog, IDC_AUTORUN, BST_UNCHECKED);
  });
  EXPECT_EQ(TreeLines(tree_), lab);
  EXPECT_NE(RunEntry(), "");

  AnswerCommand(IDM_SETTINGS, "Settings", IDOK, [&](HWND dialog) {
    CheckDlgButton(dialog, IDC_AUTORUN, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SHOW_IN_TRAY, BST_UNCHECKED);
  });
  EXPECT_EQ(RunEntry(), "");
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(exits_, 1);
}

// A path outside the ANSI code page reaches the Run entry and the program's values whole.
TEST_F(AppShellTest, RegistryValuesKeepEveryCharacterOfAPath) {
  const std::string exe = "C:\\Programme\\J\xC3\xBCrgen\\\xD0\x96\\Mirrorvault.exe";
  SetAutorunFor(exe, true);
  wchar_t data[512] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                         L"Mirror Vault", RRF_RT_REG_SZ, nullptr, data, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(data), L"\"C:\\Programme\\J\u00FCrgen\\\u0416\\Mirrorvault.exe\"");
  WriteAppRegistryValue(kNotFirstRunValue, exe);
  EXPECT_EQ(ReadAppRegistryValue(kNotFirstRunValue), exe);
}

// Whether the taskbar shows the window's icon: only a shown icon can be changed.
bool TrayIconThere(HWND window) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = window;
  return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

// Closing hides the window only while its tray icon is there; Explorer's broadcast puts the
// icon back; the end of the session ends the program through the exit routine.
TEST_F(AppShellTest, TheTrayIconComesBackAndTheEndOfTheSessionExits) {
  bool trayReady = false;
  Open([&](MainWindowSetup& setup) {
    setup.showInTray = true;
    setup.appShell.showTrayIcon = [&, show = setup.appShell.showTrayIcon](HWND window) {
      return trayReady && show(window);
    };
  });
  SendMessageA(window_, WM_CLOSE, 0, 0);  // no taskbar to show the icon: the window closes
  EXPECT_EQ(exits_, 1);

  trayReady = true;
  NOTIFYICONDATAA gone{};  // Explorer starts anew and knows no icon
  gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
  gone.hWnd = window_;
  Shell_NotifyIconA(NIM_DELETE, &gone);
  ASSERT_FALSE(TrayIconThere(window_));
  SendMessageA(window_, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(TrayIconThere(window_));
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(window_));
  EXPECT_EQ(exits_, 1);

  EXPECT_NE(SendMessageA(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
  SendMessageA(window_, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);  // another program refused
  EXPECT_EQ(exits_, 1);
  SendMessageA(window_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(exits_, 2);
  Shell_NotifyIconA(NIM_DELETE, &gone);
}

// The host's python3, started through Wine, serving canned replies on 127.0.0.1.
class LocalUpdateServer {
 public:
  LocalUpdateServer() {
    const ProfileSettingsFile file("Z:" + portFile_);
    WaitUntil([&] { return !(port_ = file.Read("port")).empty(); }, 10);
    DeleteFileA(("Z:" + portFile_).c_str());
  }
  ~LocalUpdateServer() { FetchFirstBytes(Address("quit"), 1); }
  std::string Address(const std::string& reply) const {
    return port_.empty() ? "" : "http://127.0.0.1:" + port_ + "/" + reply;
  }

 private:
  std::string portFile_ = "/tmp/mv-update-server-" + std::to_string(GetCurrentProcessId());
  Process python_{"Z:\\usr\\bin\\python3", MV_GUI_TEST_SOURCE_DIR "/update_server.py " + portFile_};
  std::string port_;
};

TEST_F(AppShellTest, UpdateCheckAsksOnlyForANewerVersionAndIsSilentOnFailures) {
  LocalUpdateServer server;
  ASSERT_FALSE(server.Address("").empty());
  Open();
  Win32NoticePort notices(window_);
  // "nul": 3 before NUL bytes; "long": 5000 digits, too large to hold; "padded": the number
  // comes after the 4095 bytes read; "error": a 500 page that begins with digits; "none":
  // nothing listens.
  const std::pair<std::string, bool> cases[] = {
      {"one", false}, {"zero", false}, {"two", true},     {"spaced", true}, {"error", false},
      {"long", true}, {"nul", true},   {"padded", false}, {"none", false}};
  for (const auto& [reply, asks] : cases) {
    MessageBoxAnswerer answer(window_, IDNO);
    const std::string address = reply == "none" ? "http://127.0.0.1:1" : server.Address(reply);
    UpdateCheck(address, FetchFirstBytes, notices, shell_);
    EXPECT_EQ(answer.Stop(), asks) << reply;
    EXPECT_EQ(answer.text, asks ? kUpdateQuestion : "") << reply;
  }
  EXPECT_TRUE(shell_.opened.empty());

  // The window's own check, on its thread: Yes opens the web site.
  DestroyWindow(window_);
  Open([&](MainWindowSetup& setup) { setup.updateServer = server.Address("two"); });
  MessageBoxAnswerer yes(window_, IDYES);
  ASSERT_TRUE(yes.Finish());
  WaitUntil([&] { return !shell_.opened.empty(); });
  EXPECT_EQ(shell_.opened, std::vector<std::string>{kMakerWebRoot});
}

TEST_F(AppShellTest, AboutBoxFollowsTheBannerAndOpensTheHoveredLink) {
  Open();
  AnswerCommand(IDM_ABOUT, "About Mirrorvault", IDOK, [&](HWND dialog) {
    // Points at a control, lets the timer find the pointer, asks for the pointer shape, clicks.
    auto clickOn = [&](int control) {
      RECT area{};
      GetWindowRect(GetDlgItem(dialog, control), &area);
      SetCursorPos(area.left + 4, (area.top + area.bottom) / 2);
      Sleep(100);
      const bool hand = SendMessageA(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog),
                                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) != 0;
      SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      return hand;
    };
    for (int link : {IDC_LINK_WEB, IDC_LINK_EMAIL, IDC_LINK_SUPPORT}) EXPECT_TRUE(clickOn(link));
    EXPECT_FALSE(clickOn(IDC_BANNER));
    EXPECT_TRUE(IsWindowVisible(dialog));
  });
  const std::vector<std::string> opened = {kMakerWebRoot, "mailto:" + std::string(kSupportEmail),
                                           kSupportPage};
  EXPECT_EQ(shell_.opened, opened);
}

}  // namespace
}  // namespace mv::gui
