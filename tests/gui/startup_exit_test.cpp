// The programs as a user starts them: Mirrorvault.exe from its first start to Exit, and a
// fault that ends in the crash message. They run as processes of their own in the bench's
// prefix; their windows are found and driven from here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/app_registry.h"
#include "app/system_paths.h"
#include "core/app_paths.h"
#include "core/first_run.h"
#include "gui_support.h"
#include "res/resource_ids.h"

namespace mv::gui {
namespace {

// The keys of the settings file's section, sorted.
std::vector<std::string> SettingsLines(const std::string& file) {
  char section[4096] = {};
  GetPrivateProfileSectionA("main", section, sizeof section, file.c_str());
  std::vector<std::string> lines;
  for (const char* line = section; *line != '\0'; line += std::strlen(line) + 1) {
    lines.emplace_back(line);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(StartupAndExit, FirstStartAsksThenExitWritesTheSettings) {
  const std::string documents = DocumentsFolder();
  const std::string config = ConfigFilePathIn(documents);
  CreateDirectoryA(AppFolderIn(documents).c_str(), nullptr);
  WritePrivateProfileStringA("main", "snapshot_dir", "", config.c_str());
  WritePrivateProfileStringA("main", "autorun", "5", config.c_str());
  SetRegistryText(kAppRegistryKey, kNotFirstRunValue, std::nullopt);

  const std::string exe = BesideTests("..\\..\\app\\Mirrorvault.exe");
  Process app(exe);
  const HWND window = app.WaitForWindow("Mirrorvault");
  ASSERT_NE(window, nullptr);
  MessageBoxAnswerer prompt(window, IDNO);
  ASSERT_TRUE(prompt.Finish());
  EXPECT_EQ(prompt.text(), kFirstRunQuestion);
  WaitUntil([&] { return IsWindowVisible(window) != FALSE; });
  // autorun=5 is on: the Run entry names the program, quoted. The file waits for the exit.
  EXPECT_EQ(RegistryText(kRunKey, kRunValueName), AutorunCommandFor(exe));
  EXPECT_EQ(SettingsLines(config), (std::vector<std::string>{"autorun=5", "snapshot_dir="}));
  EXPECT_EQ(RegistryText(kAppRegistryKey, kNotFirstRunValue), "1");

  PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
  EXPECT_EQ(app.ExitCode(), 0u);
  EXPECT_EQ(SettingsLines(config),
            (std::vector<std::string>{"autorun=1", "showintray=0",
                                      "snapshot_dir=" + AppFolderIn(documents)}));
  DeleteFileA(config.c_str());
  SetRegistryText(kRunKey, kRunValueName, std::nullopt);
}

TEST(StartupAndExit, AccessViolationEndsInTheCrashMessage) {
  Process probe(BesideTests("mv_crash_probe.exe"));
  const HWND box = probe.WaitForWindow("_Exception_");
  ASSERT_NE(box, nullptr);
  const std::string text = WindowText(GetDlgItem(box, 0xFFFF));
  EXPECT_EQ(text.rfind("Code: C0000005\nAddress: ", 0), 0u) << text;
  const std::string tail = "\nAccess violation address: 24";  // the address written to
  EXPECT_TRUE(text.size() > tail.size() && text.ends_with(tail)) << text;
  PressButton(box, IDOK);
  EXPECT_EQ(probe.ExitCode(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

}  // namespace
}  // namespace mv::gui
