// The programs as a user starts them: Mirrorvault.exe from its first start to Exit, and a
// fault that ends in the crash message. They run as processes of their own in the bench's
// prefix; their windows are found and driven from here.

#include "app/app_paths.h"
#include "app/first_run.h"
#include "app/win32/app_registry.h"
#include "app/win32/profile_settings_file.h"
#include "app/win32/system_paths.h"
#include "gui_support.h"

namespace mv::gui {
namespace {

TEST(StartupAndExit, FirstStartAsksThenExitWritesTheSettings) {
  const std::string documents = DocumentsFolder();
  const std::string config = ConfigFilePathIn(documents);
  CreateDirectoryA(AppFolderIn(documents).c_str(), nullptr);
  ProfileSettingsFile settings(config);
  settings.Write("snapshot_dir", "");
  settings.Write("autorun", "5");
  auto written = [&] {
    return settings.Read("autorun") + "|" + settings.Read("showintray") + "|" +
           settings.Read("snapshot_dir");
  };
  WriteAppRegistryValue(kNotFirstRunValue, "");

  const std::string exe = BesideTests("..\\..\\app\\Mirrorvault.exe");
  Process app(exe);
  const HWND window = app.WaitForWindow("Mirrorvault");
  ASSERT_NE(window, nullptr);
  MessageBoxAnswerer prompt(window, IDNO);
  ASSERT_TRUE(prompt.Finish());
  EXPECT_EQ(prompt.text, kFirstRunQuestion);
  WaitUntil([&] { return IsWindowVisible(window) != FALSE; });
  // autorun=5 is on: the Run entry names the program, quoted. The file waits for the exit.
  EXPECT_EQ(RunEntry(), AutorunCommandFor(exe));
  EXPECT_EQ(written(), "5||");
  EXPECT_EQ(ReadAppRegistryValue(kNotFirstRunValue), "1");

  PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
  EXPECT_EQ(app.ExitCode(), 0u);
  EXPECT_EQ(written(), "1|0|" + AppFolderIn(documents));
  DeleteFileA(config.c_str());
  SetAutorun(false);
}

TEST(StartupAndExit, AccessViolationEndsInTheCrashMessage) {
  Process probe(BesideTests("mv_crash_probe.exe"));
  const HWND box = probe.WaitForWindow("_Exception_");
  ASSERT_NE(box, nullptr);
  const std::string text = WholeWindowText(GetDlgItem(box, 0xFFFF));
  EXPECT_EQ(text.rfind("Code: C0000005\nAddress: ", 0), 0u) << text;
  EXPECT_TRUE(text.ends_with("\nAccess violation address: 24")) << text;  // the address written to
  PressButton(box, IDOK);
  EXPECT_EQ(probe.ExitCode(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

}  // namespace
}  // namespace mv::gui
