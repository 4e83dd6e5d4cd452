// The application shell inside the real main window: the first-run prompt, the Settings
// dialog with the folder browser, the Run entry and the tray icon, the update check against a
// local HTTP server, and the About box.
#include <shlobj.h>

#include "app/app_registry.h"
#include "app/system_paths.h"
#include "app/wininet_fetch.h"
#include "core/first_run.h"
#include "core/update_check.h"
#include "core/web_pages.h"
#include "main_window_fixture.h"
#include "ui/win32_notice_port.h"

namespace mv::gui {
namespace {

// The first-run marker is put back as the bench keeps it, whatever a test left.
class AppShellTest : public MainWindowTest {
 protected:
  void TearDown() override {
    MainWindowTest::TearDown();
    SetRegistryText(kAppRegistryKey, kNotFirstRunValue, "1");
    SetRegistryText(kRunKey, kRunValueName, std::nullopt);
  }
  std::string Field(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
  bool Ticked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  // Browse..., then in the folder browser pick folder (empty: press Cancel) and wait for
  // the dialog to take the answer.
  void Browse(HWND settings, const std::string& folder) {
    OwnedDialogDriver browser(settings, [&](HWND dialog) {
      if (!folder.empty()) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
      }
      PressButton(dialog, folder.empty() ? IDCANCEL : IDOK);
    });
    PressButton(settings, IDC_BROWSE);
    ASSERT_TRUE(browser.Finish());
    Sleep(300);
  }
  // Opens the Settings dialog from the menu and lets act run it.
  void RunSettings(const std::function<void(HWND)>& act) {
    OwnedDialogDriver driver(window_, act);
    Command(IDM_SETTINGS);
    ASSERT_TRUE(driver.Finish());
  }
};

TEST_F(AppShellTest, FirstRunAsksOnceForAnyMarkerButOne) {
  struct Case {
    std::optional<std::string> marker;
    bool asks;
    int answer;
  };
  for (const Case& c : {Case{"0", true, IDYES}, Case{"yes", true, IDNO}, Case{"1", false, 0}}) {
    SetRegistryText(kAppRegistryKey, kNotFirstRunValue, c.marker);
    std::atomic<int> dialogs{0};
    Open([&](MainWindowSetup& setup) {
      setup.takeSnapshotsOnFirstRun = [&](HWND owner) { dialogs += owner == GetMainWindow(); };
    });
    MessageBoxAnswerer prompt(window_, c.answer);
    EXPECT_EQ(c.asks ? prompt.Finish() : prompt.Stop(), c.asks) << *c.marker;
    if (c.asks) {
      EXPECT_EQ(prompt.text(), kFirstRunQuestion);
      EXPECT_EQ(prompt.caption(), "Mirrorvault");
    }
    // The box's owner is re-activated across threads before the prompt goes on: slow here.
    for (int i = 0; i < 250 && dialogs.load() == 0 && c.answer == IDYES; ++i) PumpMessages(20);
    EXPECT_EQ(dialogs.load(), c.answer == IDYES ? 1 : 0) << *c.marker;
    EXPECT_EQ(RegistryText(kAppRegistryKey, kNotFirstRunValue), "1");
    DestroyWindow(window_);
    window_ = nullptr;
  }
}

TEST_F(AppShellTest, SettingsTakeEffectOnOkAndCancelChangesNothing) {
  // The folder browser starts at the desktop; a folder on it is one step away.
  char desktop[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
  ScratchFolder other(desktop);
  other.Write("LAB.SRV.01.11.2026.08.00.00.mirvaul",
              SnapshotText("SRV", "LAB", "01.11.2026 08:00:00", {{"C$", {}}}));
  Open();
  EXPECT_TRUE(TreeLines(tree_).empty());

  RunSettings([&](HWND dialog) {
    EXPECT_EQ(WindowText(dialog), "Settings");
    EXPECT_EQ(Field(dialog, IDC_SNAPSHOTS_DIRECTORY), folder_.path());
    EXPECT_FALSE(Ticked(dialog, IDC_AUTORUN));
    EXPECT_FALSE(Ticked(dialog, IDC_SHOW_IN_TRAY));
    Browse(dialog, "");
    EXPECT_EQ(Field(dialog, IDC_SNAPSHOTS_DIRECTORY), folder_.path());
    Browse(dialog, other.path());
    EXPECT_EQ(Field(dialog, IDC_SNAPSHOTS_DIRECTORY), other.path());
    SendDlgItemMessageA(dialog, IDC_AUTORUN, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog, IDC_SHOW_IN_TRAY, BM_SETCHECK, BST_CHECKED, 0);
    PressButton(dialog, IDOK);
  });
  // At once: the tree lists the new folder, the Run entry starts this program, quoted.
  EXPECT_EQ(TreeLines(tree_),
            (std::vector<std::string>{"LAB", "  SRV", "    01.11.2026 08:00:00"}));
  EXPECT_EQ(RegistryText(kRunKey, kRunValueName), "\"" + ExecutablePath() + "\"");

  // The tray icon is on: the close box hides, a left-button release on the icon shows.
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(window_));
  SendMessageA(window_, WM_MV_TRAY, 0, WM_RBUTTONUP);
  EXPECT_FALSE(IsWindowVisible(window_));
  SendMessageA(window_, WM_MV_TRAY, 0, WM_LBUTTONUP);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(exits_, 0);

  // Cancel after changing everything: nothing changes.
  RunSettings([&](HWND dialog) {
    EXPECT_TRUE(Ticked(dialog, IDC_AUTORUN));
    Browse(dialog, folder_.path());
    SendDlgItemMessageA(dialog, IDC_AUTORUN, BM_SETCHECK, BST_UNCHECKED, 0);
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(TreeLines(tree_).size(), 3u);
  EXPECT_TRUE(RegistryText(kRunKey, kRunValueName).has_value());

  // Both off with OK: the Run entry goes at once, and the close box ends the program again.
  RunSettings([&](HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_AUTORUN, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageA(dialog, IDC_SHOW_IN_TRAY, BM_SETCHECK, BST_UNCHECKED, 0);
    PressButton(dialog, IDOK);
  });
  EXPECT_FALSE(RegistryText(kRunKey, kRunValueName).has_value());
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(exits_, 1);
}

// The python3 of the host, started through Wine, serving canned replies on 127.0.0.1.
class LocalUpdateServer {
 public:
  LocalUpdateServer() {
    const std::string portFile = "/tmp/mv-update-server-" + std::to_string(GetCurrentProcessId());
    std::string command =
        "Z:\\usr\\bin\\python3 " MV_GUI_TEST_SOURCE_DIR "/update_server.py " + portFile;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
    const std::string windowsPortFile = "Z:" + portFile;
    for (int i = 0; i < 200 && port_.empty(); ++i, Sleep(50)) {
      char text[16] = {};
      HANDLE file = CreateFileA(windowsPortFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
      DWORD read = 0;
      if (file != INVALID_HANDLE_VALUE && ReadFile(file, text, 15, &read, nullptr)) port_ = text;
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    DeleteFileA(windowsPortFile.c_str());
  }
  ~LocalUpdateServer() { FetchFirstBytes(Address("quit"), 1); }
  bool Running() const { return !port_.empty(); }
  std::string Address(const std::string& reply) const {
    return "http://127.0.0.1:" + port_ + "/" + reply;
  }

 private:
  std::string port_;
};

TEST_F(AppShellTest, UpdateCheckAsksOnlyForANewerVersionAndIsSilentOnFailures) {
  LocalUpdateServer server;
  ASSERT_TRUE(server.Running());
  Open();
  Win32NoticePort notices(window_);
  // "nul": 3 before NUL bytes; "long": 5000 digits, too large to hold; "padded": the number
  // comes after the 4095 bytes that are read; "error": a 500 page that begins with digits.
  const std::pair<std::string, bool> cases[] = {{"one", false},   {"zero", false},  {"two", true},
                                                {"spaced", true}, {"error", false}, {"long", true},
                                                {"nul", true},    {"padded", false}};
  for (const auto& [reply, asks] : cases) {
    MessageBoxAnswerer answer(window_, IDNO);
    UpdateCheck(server.Address(reply), FetchFirstBytes, notices, shell_);
    EXPECT_EQ(answer.Stop(), asks) << reply;
    if (asks) {
      EXPECT_EQ(answer.text(), kUpdateQuestion) << reply;
    }
  }
  MessageBoxAnswerer none(window_, IDNO);
  UpdateCheck("http://127.0.0.1:1", FetchFirstBytes, notices, shell_);  // nothing listens
  EXPECT_FALSE(none.Stop());
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(AppShellTest, UpdateCheckStartedByTheWindowOpensTheWebSiteOnYes) {
  LocalUpdateServer server;
  ASSERT_TRUE(server.Running());
  Open([&](MainWindowSetup& setup) { setup.updateServer = server.Address("two"); });
  MessageBoxAnswerer answer(window_, IDYES);
  ASSERT_TRUE(answer.Finish());
  EXPECT_EQ(answer.caption(), "Mirrorvault");
  for (int i = 0; i < 100 && shell_.opened.empty(); ++i) PumpMessages(20);
  EXPECT_EQ(shell_.opened, std::vector<std::string>{kMakerWebRoot});
}

TEST_F(AppShellTest, AboutBoxFollowsTheBannerAndOpensTheHoveredLink) {
  Open();
  OwnedDialogDriver about(window_, [&](HWND dialog) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    EXPECT_EQ(frame.right - frame.left, 465);  // the 460-pixel banner and 5
    auto pointAt = [&](HWND control) {
      RECT area{};
      GetWindowRect(control, &area);
      SetCursorPos(area.left + 4, (area.top + area.bottom) / 2);
      Sleep(100);  // timer ticks find the pointer
      return SendMessageA(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog),
                          MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) != 0;
    };
    for (int link : {IDC_LINK_WEB, IDC_LINK_EMAIL, IDC_LINK_SUPPORT}) {
      EXPECT_TRUE(pointAt(GetDlgItem(dialog, link))) << link;
      SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    }
    EXPECT_FALSE(pointAt(GetDlgItem(dialog, IDC_BANNER)));
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, 0);  // outside the links: nothing
    EXPECT_TRUE(IsWindowVisible(dialog));
    PressButton(dialog, IDOK);
  });
  Command(IDM_ABOUT);
  ASSERT_TRUE(about.Finish());
  EXPECT_EQ(shell_.opened,
            (std::vector<std::string>{kMakerWebRoot, "mailto:" + std::string(kSupportEmail),
                                      kSupportPage}));
}

}  // namespace
}  // namespace mv::gui
