// The programs as a user starts them: Mirrorvault.exe from its first start to Exit, and a
// fault that ends in the crash message. They run as processes of their own in the bench's
// prefix; their windows are found and driven from here.

#include "app/app_paths.h"
#include "app/first_run.h"
#include "app/win32/app_registry.h"
#include "app/win32/profile_settings_file.h"
#include "app/win32/system_paths.h"
#include "gui_support.h"
#include "platform/win32/escaped_exception.h"

namespace mv::gui {
namespace {

// Exit, and the end of the session (log-off, shutdown) as Windows tells it: first the
// question, then the end. Either writes the settings file.
TEST(StartupAndExit, FirstStartAsksThenExitAndTheSessionsEndWriteTheSettings) {
  const std::string documents = DocumentsFolder();
  const std::string config = ConfigFilePathIn(documents);
  CreateDirectoryA(AppFolderIn(documents).c_str(), nullptr);
  ProfileSettingsFile settings(config);
  auto written = [&] {
    return settings.Read("autorun") + "|" + settings.Read("showintray") + "|" +
           settings.Read("snapshot_dir");
  };
  WriteAppRegistryValue(kNotFirstRunValue, "");
  const std::string exe = BesideTests("..\\..\\app\\Mirrorvault.exe");
  for (const bool sessionEnds : {false, true}) {
    DeleteFileA(config.c_str());
    settings.Write("snapshot_dir", "");
    settings.Write("autorun", "5");
    Process app(exe);
    const HWND window = app.WaitForWindow("Mirrorvault");
    ASSERT_NE(window, nullptr);
    if (!sessionEnds) {  // the first start
      MessageBoxAnswerer prompt(window, IDNO);
      ASSERT_TRUE(prompt.Finish());
      EXPECT_EQ(prompt.text, kFirstRunQuestion);
    }
    WaitUntil([&] { return IsWindowVisible(window) != FALSE; });
    // autorun=5 is on: the Run entry names the program, quoted. The file waits for the end.
    EXPECT_EQ(RunEntry(), AutorunCommandFor(exe));
    EXPECT_EQ(written(), "5||");
    EXPECT_EQ(ReadAppRegistryValue(kNotFirstRunValue), "1");

    if (sessionEnds) {
      EXPECT_NE(SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
      PostMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    } else {
      PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    }
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_EQ(written(), "1|0|" + AppFolderIn(documents)) << sessionEnds;
  }
  DeleteFileA(config.c_str());
  SetAutorun(false);
}

// A fault, and a C++ exception that escapes a thread, each with its own code.
TEST(StartupAndExit, FaultsAndEscapedExceptionsEndInTheCrashMessage) {
  const struct {
    const char* arguments;
    DWORD code;
    const char* codeLine;
    const char* lastLine;  // an access violation names the address written to
  } cases[] = {{"", EXCEPTION_ACCESS_VIOLATION, "Code: C0000005\n", "Access violation address: 24"},
               {"throw", kCppExceptionCode, "Code: E06D7363\n", "Access violation address: 0"}};
  for (const auto& crash : cases) {
    Process probe(BesideTests("mv_crash_probe.exe"), crash.arguments);
    const HWND box = probe.WaitForWindow("_Exception_");
    ASSERT_NE(box, nullptr) << crash.arguments;
    const std::string text = WholeWindowText(GetDlgItem(box, 0xFFFF));
    EXPECT_EQ(text.rfind(std::string(crash.codeLine) + "Address: ", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with(std::string("\n") + crash.lastLine)) << text;
    PressButton(box, IDOK);
    EXPECT_EQ(probe.ExitCode(), crash.code);
  }
}

}  // namespace
}  // namespace mv::gui
