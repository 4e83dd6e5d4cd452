// Opens the real main window over the snapshots folder the program itself would use (its
// default in the Documents folder, or what config.ini names) and puts it into one scene for
// tools/screenshots.sh: the window as a user would leave it after a few clicks. Once the
// scene stands it writes the screen area of the window and of the dialog over it to
// AREA_FILE, and it ends by itself after a while.
//   mv_screenshot_driver.exe SCENE AREA_FILE
//     (SCENE: library, folder, names, properties, search, settings, about, find, compare,
//     export, space, schedules, growth)
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/settings.h"
#include "app/win32/profile_settings_file.h"
#include "app/win32/system_paths.h"
#include "app/win32/window_shell.h"
#include "capture/schedule_service.h"
#include "res/resource_ids.h"
#include "tools/screenshots/screen_area.h"
#include "ui/win32/find_window.h"
#include "ui/win32/main_window.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/schedules_window.h"
#include "ui/win32/window_text.h"

namespace {

constexpr UINT kAnnounceAfterMs = 1500;
// The save dialog lists its folder with the shell's icons first: it stands later.
constexpr UINT kAnnounceSaveDialogAfterMs = 4000;
constexpr UINT kQuitAfterMs = 8000;

std::string g_areaFile;  // written once the scene stands

void CALLBACK AnnounceReady(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  mv::shots::WriteWhole(g_areaFile,
                        mv::shots::AreaText(mv::shots::CaptionedWindowsOf(GetCurrentProcessId())));
}

void CALLBACK QuitNow(HWND, UINT, UINT_PTR, DWORD) {
  ExitProcess(0);
}

std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) {
    args.push_back(mv::TextFromWide(wide[i], mv::NameEncoding::kUtf8));
  }
  LocalFree(wide);
  return args;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The first snapshot item: first group, first computer, newest snapshot.
HTREEITEM FirstSnapshot(HWND tree) {
  return Next(tree, Next(tree, Next(tree, nullptr, TVGN_ROOT), TVGN_CHILD), TVGN_CHILD);
}

int RowNamed(HWND list, const std::string& name) {
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    if (mv::WideFromText(name, mv::NameEncoding::kUtf8) == text) return row;
  }
  return -1;
}

void SelectRow(HWND list, int row) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Three schedules with a fortnight of nightly runs, one of them failed, beside the snapshots;
// the runner is not started over them, so the window shows them as written.
void ShowSchedules(HWND window, const std::string& folder) {
  mv::ScheduleFiles files = mv::ScheduleFilesAt(mv::ScheduleFilePath(folder, "shot-schedules.ini"));
  const mv::LocalTime now = mv::PlatformClock().Now();
  const char* whens[] = {"daily 02:00", "weekdays mon,tue,wed,thu,fri 12:30",
                         "every 6h from 00:15"};
  const char* names[] = {"Nightly", "Lunch break", "Build servers"};
  for (int i = 0; i < 3; ++i) {
    mv::Schedule schedule;
    schedule.name = names[i];
    mv::ParseScheduleWhen(whens[i], schedule.when);
    if (i == 0) schedule.groups = {"OFFICE"};
    if (i == 1) schedule.shares = {"PC1\\Docs", "PC2\\Public"};
    if (i == 2) schedule.computers = {"BUILD01", "BUILD02"};
    schedule.retention.keepDaily = 14;
    files.schedules.push_back(schedule);
    mv::ScheduleRuns& runs = mv::RunsOf(files.runs, schedule.name);
    for (int day = 14; day >= 1; --day) {
      mv::ScheduleRunRecord run;
      run.started = {now.year, now.month, 1 + (now.day + 27 - day) % 28, 2 + i * 4, 0, 0};
      run.ended = run.started;
      run.ended.minute = 3 + day % 5;
      run.ok = !(i == 0 && day == 1);
      run.outcome = run.ok ? std::to_string(2 + i) + " snapshots, 1 removed by retention"
                           : "2 snapshots; SERVER: not found on the network";
      mv::AddScheduleRun(runs, run);
    }
  }
  mv::SaveSchedules(mv::PlatformFileSystem(), files);
  mv::SaveScheduleRuns(mv::PlatformFileSystem(), files);
  mv::UseSchedulesFile(files.schedulesPath, nullptr);
  HWND schedules = mv::ShowSchedulesWindow(window);
  RECT frame{};
  GetWindowRect(window, &frame);
  SetWindowPos(schedules, nullptr, frame.left + 60, frame.top + 80, 820, 420, SWP_NOZORDER);
}

void PlayScene(HWND window, const std::string& scene) {
  HWND tree = GetDlgItem(window, IDC_SNAPSHOT_TREE);
  HWND list = GetDlgItem(window, IDC_FILE_LIST);
  mv::shots::PlaceMainWindow(window);
  SendMessageA(window, WM_COMMAND, IDM_EXPAND_ALL, 0);
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstSnapshot(tree)));
  // The dialogs run modally inside the message loop below.
  if (scene == "properties") {
    PostMessageA(window, WM_COMMAND, IDM_SNAPSHOT_PROPERTIES, 0);
  } else if (scene == "settings" || scene == "about") {
    SelectRow(list, RowNamed(list, "Projects"));
    PostMessageA(window, WM_COMMAND, scene == "settings" ? IDM_SETTINGS : IDM_ABOUT, 0);
  } else if (scene == "compare" || scene == "export") {
    // The Compare window beside the main window; the save dialog of Export... over it.
    PostMessageA(window, WM_COMMAND, scene == "compare" ? IDM_COMPARE : IDM_EXPORT, 0);
  } else if (scene == "space") {
    // The Space window of the first share beside the main window, its map drawn.
    mv::MainState().browser->OpenLocation("Projects");
    SendMessageA(window, WM_COMMAND, IDM_SHOW_SPACE, 0);
  } else if (scene == "growth") {
    // The file server's growth over its weekly captures beside the main window.
    SendMessageA(window, WM_COMMAND, IDM_SHOW_GROWTH, 0);
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", L"Growth")) != nullptr;) {
      RECT frame{};
      GetWindowRect(window, &frame);
      SetWindowPos(w, nullptr, frame.left + 50, frame.top + 60, 860, 520, SWP_NOZORDER);
    }
  } else if (scene == "schedules") {
    ShowSchedules(window, mv::MainState().setup.snapshotsDirectory);
  } else if (scene == "search") {
    mv::MainWindowState& s = mv::MainState();
    s.search.Search(*s.browser, *s.fileList, *s.notices, "*.css");
    SetFocus(list);
  } else if (scene == "find") {
    // The Find in All Snapshots window over the main window, its search done.
    SendMessageA(window, WM_COMMAND, IDM_FIND_IN_SNAPSHOTS, 0);
    HWND find = mv::OpenFindWindow();
    RECT frame{};
    GetWindowRect(window, &frame);
    SetWindowPos(find, nullptr, frame.left + 60, frame.top + 90, 760, 330, SWP_NOZORDER);
    SetDlgItemTextW(find, IDC_FIND_NAME, L"budget");
    SendMessageW(find, WM_COMMAND, IDC_FIND_START, 0);
  } else if (scene == "folder") {
    mv::MainState().browser->OpenLocation("Projects");
    mv::MainState().browser->OpenLocation("Website");
    SelectRow(list, RowNamed(list, "index"));
    SetFocus(list);
  } else if (scene == "names") {  // a UTF-8 snapshot (sample_library.py --names)
    mv::MainState().browser->OpenLocation("Projects");
    mv::MainState().browser->OpenLocation("Переводы");
    SelectRow(list, RowNamed(list, "Отчёт за квартал"));
    SetFocus(list);
  } else {
    SelectRow(list, RowNamed(list, "Projects"));
    SetFocus(tree);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::vector<std::string> args = Arguments();
  if (args.size() < 3) return 2;
  const std::string scene = args[1];
  g_areaFile = args[2];

  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&init);
  // The settings as the program reads them at start-up; the driver never writes them.
  const std::string documents = mv::DocumentsFolder();
  mv::MainWindowSetup setup;
  mv::ConnectAppShell(setup);
  static_cast<mv::Settings&>(setup) =
      mv::LoadSettings(mv::ProfileSettingsFile(mv::ConfigFilePathIn(documents)), documents);
  setup.showInTray = setup.showInTray || scene == "settings";  // one box ticked in Settings
  setup.exitApplication = [] { PostQuitMessage(0); };
  setup.keepIndexes = false;  // the sample library stays as written
  mv::SetMainWindowSetup(std::move(setup));
  HWND window =
      CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, mv::MainWindowProc, 0);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOW);
  PlayScene(window, scene);
  UpdateWindow(window);
  // Timer procedures run inside whichever loop is pumping, a modal dialog's included.
  SetTimer(nullptr, 0, scene == "export" ? kAnnounceSaveDialogAfterMs : kAnnounceAfterMs,
           AnnounceReady);
  SetTimer(nullptr, 0, kQuitAfterMs, QuitNow);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return 0;
}
