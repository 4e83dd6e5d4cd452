// The programs as a user starts them: Mirrorvault.exe from its first start to Exit, and a
// fault that ends in the crash message. They run as processes of their own in the bench's
// prefix; their windows are found and driven from here.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_registry.h"
#include "app/system_paths.h"
#include "core/app_paths.h"
#include "core/first_run.h"
#include "gui_support.h"
#include "res/resource_ids.h"

namespace mv::gui {
namespace {

// A program built beside the tests (path relative to this test's folder), started as a
// process of its own.
class Program {
 public:
  explicit Program(const std::string& relativePath) {
    const std::string exe = ExecutablePath();
    char full[MAX_PATH] = {};
    GetFullPathNameA((exe.substr(0, exe.find_last_of('\\') + 1) + relativePath).c_str(), MAX_PATH,
                     full, nullptr);
    path_ = full;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + path_ + "\"";
    if (CreateProcessA(path_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process_)) {
      CloseHandle(process_.hThread);
    }
  }
  ~Program() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hProcess);
  }
  // The process's top-level window with this caption, visible or not, once it exists.
  HWND WaitForWindow(const std::string& caption) const {
    for (int i = 0; i < 300; ++i, Sleep(50)) {
      Search search{process_.dwProcessId, caption, nullptr};
      EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) return search.found;
    }
    return nullptr;
  }
  // The exit code, once the process has ended within a few seconds; else STILL_ACTIVE.
  DWORD ExitCode() const {
    WaitForSingleObject(process_.hProcess, 10000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  const std::string& path() const { return path_; }

 private:
  struct Search {
    DWORD process;
    std::string caption;
    HWND found;
  };
  static BOOL CALLBACK Match(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || WindowText(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
  }
  std::string path_;
  PROCESS_INFORMATION process_{};
};

std::string ReadWholeFile(const std::string& path) {
  std::string text;
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
  CloseHandle(file);
  return text;
}

TEST(StartupAndExit, FirstStartAsksThenExitWritesTheSettings) {
  const std::string documents = DocumentsFolder();
  const std::string config = ConfigFilePathIn(documents);
  CreateDirectoryA(AppFolderIn(documents).c_str(), nullptr);
  const std::string written = "[main]\r\nsnapshot_dir=\r\nautorun=5\r\n";
  {
    HANDLE file = CreateFileA(config.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(file, written.data(), static_cast<DWORD>(written.size()), &done, nullptr);
    CloseHandle(file);
  }
  SetRegistryText(kAppRegistryKey, kNotFirstRunValue, std::nullopt);

  Program app("..\\..\\app\\Mirrorvault.exe");
  const HWND window = app.WaitForWindow("Mirrorvault");
  ASSERT_NE(window, nullptr);
  MessageBoxAnswerer prompt(window, IDNO);
  ASSERT_TRUE(prompt.Finish());
  EXPECT_EQ(prompt.text(), kFirstRunQuestion);
  for (int i = 0; i < 100 && !IsWindowVisible(window); ++i) Sleep(50);
  EXPECT_TRUE(IsWindowVisible(window));
  // autorun=5 is on: the Run entry names the program, quoted. The file waits for the exit.
  EXPECT_EQ(RegistryText(kRunKey, kRunValueName), AutorunCommandFor(app.path()));
  EXPECT_EQ(ReadWholeFile(config), written);
  EXPECT_EQ(RegistryText(kAppRegistryKey, kNotFirstRunValue), "1");

  PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
  EXPECT_EQ(app.ExitCode(), 0u);
  char section[1024] = {};
  GetPrivateProfileSectionA("main", section, sizeof section, config.c_str());
  std::vector<std::string> keys;
  for (const char* key = section; *key != '\0'; key += strlen(key) + 1) keys.emplace_back(key);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"autorun=1", "showintray=0",
                                            "snapshot_dir=" + AppFolderIn(documents)}));
  DeleteFileA(config.c_str());
  SetRegistryText(kRunKey, kRunValueName, std::nullopt);
}

TEST(StartupAndExit, AccessViolationEndsInTheCrashMessage) {
  Program probe("mv_crash_probe.exe");
  const HWND box = probe.WaitForWindow("_Exception_");
  ASSERT_NE(box, nullptr);
  char text[256] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  const std::string message = text;
  EXPECT_EQ(message.rfind("Code: C0000005\nAddress: ", 0), 0u) << message;
  const std::string tail = "\nAccess violation address: 24";
  EXPECT_EQ(message.substr(message.size() - std::min(message.size(), tail.size())), tail);
  PressButton(box, IDOK);
  EXPECT_EQ(probe.ExitCode(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

}  // namespace
}  // namespace mv::gui
