// Plays the demo's road through Mirrorvault.exe from outside the program, as a user would:
// starts it, opens Snapshot > Take Snapshot..., waits for the scan, presses "Take
// Snapshots", confirms the end message, closes the dialog and opens the newest snapshot.
// At each step it asks tools/demo/road.sh for a screenshot (SHOTS\<name>.want, holding the
// screen area to keep) and waits for SHOTS\<name>.done.
//   mv_demo_driver.exe MIRRORVAULT_EXE SHOTS_FOLDER
#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <functional>
#include <string>

#include "res/resource_ids.h"
#include "tools/screenshots/screen_area.h"

namespace {

constexpr DWORD kStepTimeoutMs = 60000;
constexpr DWORD kShotTimeoutMs = 60000;
constexpr int kScanAttempts = 5;
// Two groups, their first computers and a share: the tree of a scan half done.
constexpr int kScanItemsShown = 5;

struct Road {
  std::string shots;
  DWORD process = 0;
  HWND main = nullptr;
  HWND dialog = nullptr;
};

void Say(const char* text) {
  std::printf("demo: %s\n", text);
  std::fflush(stdout);
}

[[noreturn]] void Fail(const char* text) {
  std::fprintf(stderr, "demo: %s\n", text);
  std::fflush(stderr);
  ExitProcess(1);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kStepTimeoutMs,
             DWORD pollMs = 20) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(pollMs);
  }
  return true;
}

std::string Text(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct DialogSearch {
  DWORD process;
  HWND owner;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (process != search->process || std::string(cls) != "#32770" || !IsWindowVisible(window)) {
    return TRUE;
  }
  if (search->owner != nullptr && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  if (search->title != nullptr && Text(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible dialog of the program with this title (any, when null) and owner (any, when null).
HWND FindDialog(const Road& road, const char* title, HWND owner) {
  DialogSearch search{road.process, owner, title, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Stops or lets go every thread of the program, so that a passing moment stays on screen.
void Freeze(DWORD process, bool frozen) {
  HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (threads == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
    if (entry.th32OwnerProcessID != process) continue;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
    if (thread == nullptr) continue;
    if (frozen) {
      SuspendThread(thread);
    } else {
      ResumeThread(thread);
    }
    CloseHandle(thread);
  }
  CloseHandle(threads);
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Asks for a screenshot and waits until it is taken. It keeps window, or else every window of
// the program (the main window with the dialogs and message boxes over it).
void Shot(const Road& road, const std::string& name, HWND window = nullptr) {
  RECT area{};
  if (window != nullptr) {
    GetWindowRect(window, &area);
  } else {
    area = mv::shots::CaptionedWindowsOf(road.process);
  }
  const std::string want = road.shots + "\\" + name + ".want";
  const std::string done = road.shots + "\\" + name + ".done";
  DeleteFileA(done.c_str());
  if (!mv::shots::WriteWhole(want, mv::shots::AreaText(area))) Fail("no screenshot could be asked");
  if (!WaitFor([&] { return FileExists(done); }, kShotTimeoutMs)) Fail("no screenshot was taken");
  DeleteFileA(done.c_str());
}

// Makes window the active one, as the user's click would have.
void Activate(HWND window) {
  SetForegroundWindow(window);
  Sleep(150);
}

HWND Button(const Road& road, int id) {
  return GetDlgItem(road.dialog, id);
}

bool Scanning(const Road& road) {
  return Text(Button(road, IDCANCEL)) == "Stop";
}

bool Idle(const Road& road) {
  return Text(Button(road, IDCANCEL)) == "Cancel" &&
         IsWindowEnabled(Button(road, IDC_TAKE_SNAPSHOTS));
}

int TreeCount(HWND tree) {
  return static_cast<int>(SendMessageA(tree, TVM_GETCOUNT, 0, 0));
}

void Command(HWND window, int command) {
  PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

// Catches the scan on its way: once groups, computers and a first share are in the tree,
// opened, the program is held still for the screenshot. A scan that ends first is started
// again.
void ShootScan(Road& road) {
  HWND tree = Button(road, IDC_NETWORK_TREE);
  for (int attempt = 0; attempt < kScanAttempts; ++attempt) {
    if (!WaitFor([&] { return Scanning(road); }, kStepTimeoutMs, 1)) Fail("the scan did not start");
    while (Scanning(road)) {
      if (TreeCount(tree) >= kScanItemsShown) {
        SendMessageA(road.dialog, WM_COMMAND, IDM_NET_EXPAND_ALL, 0);
        Activate(road.dialog);  // also lets the tree paint what it holds
        Freeze(road.process, true);
        if (Scanning(road)) {
          Shot(road, "02-take-snapshots-scanning", road.dialog);
          Shot(road, "02-take-snapshots-scanning-window");
          Freeze(road.process, false);
          return;
        }
        Freeze(road.process, false);  // it ended meanwhile
        break;
      }
      Sleep(1);
    }
    if (!WaitFor([&] { return Idle(road); })) Fail("the scan did not end");
    Command(road.dialog, IDM_SCAN_NETWORK);
  }
  Fail("the scan always ended before it could be shown");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mv_demo_driver MIRRORVAULT_EXE SHOTS_FOLDER\n");
    return 2;
  }
  Road road;
  road.shots = argv[2];
  std::string commandLine = std::string("\"") + argv[1] + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    Fail("Mirrorvault.exe did not start");
  }
  road.process = started.dwProcessId;

  if (!WaitFor([&] { return (road.main = FindDialog(road, "Mirrorvault", nullptr)) != nullptr; })) {
    Fail("the main window did not open");
  }
  mv::shots::PlaceMainWindow(road.main);
  Sleep(200);
  Say("the main window is open");
  Activate(road.main);
  Shot(road, "01-main-window");

  Command(road.main, IDM_TAKE_SNAPSHOT);
  if (!WaitFor([&] {
        return (road.dialog = FindDialog(road, "Take Snapshots", road.main)) != nullptr;
      })) {
    Fail("Snapshot > Take Snapshot... opened no dialog");
  }
  Say("Snapshot > Take Snapshot... opened the dialog; it scans the network");
  ShootScan(road);
  if (!WaitFor([&] { return Idle(road); })) Fail("the scan did not end");
  SendMessageA(road.dialog, WM_COMMAND, IDM_NET_EXPAND_ALL, 0);
  Sleep(300);
  Say("the scan found the sample network, everything ticked");
  Activate(road.dialog);
  Shot(road, "03-take-snapshots-idle", road.dialog);

  PostMessageA(road.dialog, WM_COMMAND, MAKEWPARAM(IDC_TAKE_SNAPSHOTS, BN_CLICKED),
               reinterpret_cast<LPARAM>(Button(road, IDC_TAKE_SNAPSHOTS)));
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = FindDialog(road, "Mirrorvault", road.dialog)) != nullptr; })) {
    Fail("the capture showed no end message");
  }
  Sleep(300);
  char message[512] = {};
  GetDlgItemTextA(box, 0xFFFF, message, sizeof message);
  std::printf("demo: the capture ended: \"%s\"\n", message);
  Shot(road, "04-snapshots-created");
  PostMessageA(box, WM_COMMAND, IDOK, 0);

  if (!WaitFor([&] { return Idle(road); })) Fail("the capture did not end");
  Command(road.dialog, IDCANCEL);
  if (!WaitFor([&] { return !IsWindow(road.dialog); })) Fail("the dialog did not close");

  HWND tree = GetDlgItem(road.main, IDC_SNAPSHOT_TREE);
  SendMessageA(road.main, WM_COMMAND, IDM_EXPAND_ALL, 0);
  auto next = [&](HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
  };
  HTREEITEM newest = next(next(next(nullptr, TVGN_ROOT), TVGN_CHILD), TVGN_CHILD);
  if (newest == nullptr) Fail("no snapshot in the main window's tree");
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(newest));
  Sleep(500);
  Say("the new snapshots are in the main window; the first is open");
  Activate(road.main);
  Shot(road, "05-newest-snapshot");

  Command(road.main, IDM_EXIT);
  WaitForSingleObject(started.hProcess, kStepTimeoutMs);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return 0;
}
