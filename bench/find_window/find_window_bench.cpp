// Times the Find in All Snapshots window over a snapshots folder: from the press of Find to
// the first hit in the list, and to the progress text saying the search is done (every hit
// listed). Prints milliseconds and the hits; run.sh times mirrorvault-cli find beside it.
//
//   find_window_bench SNAPSHOTS_FOLDER PATTERN [RUNS]
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_timing.h"
#include "platform/file_system.h"
#include "res/resource_ids.h"
#include "ui/win32/find_window.h"
#include "ui/win32/window_text.h"

namespace {

// Runs the thread's messages until done() holds; false after a minute.
template <typename Done>
bool PumpUntil(Done done) {
  const auto start = std::chrono::steady_clock::now();
  while (!done()) {
    // One message at a time: the moment the condition holds is the moment measured.
    MSG message;
    while (!done() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) break;
    if (mv::bench::MillisecondsSince(start) > 60000) return false;
    // Only a message can change the condition: sleep until one comes, rather than poll.
    MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: find_window_bench SNAPSHOTS_FOLDER PATTERN [RUNS]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::wstring pattern = mv::WideFromText(argv[2], mv::NameEncoding::kUtf8);
  const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  mv::FindWindowSetup setup;
  setup.fileSystem = &mv::PlatformFileSystem();
  setup.snapshotsDirectory = [folder] { return folder; };
  HWND window = mv::ShowFindWindow(nullptr, setup);
  if (window == nullptr) return 1;
  HWND list = GetDlgItem(window, IDC_FIND_LIST);
  HWND progress = GetDlgItem(window, IDC_FIND_PROGRESS);
  SetDlgItemTextW(window, IDC_FIND_NAME, pattern.c_str());
  // A user presses Find in a window already drawn: its first drawing is not timed.
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG pending;
  while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&pending);
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    SendMessageW(window, WM_COMMAND, IDC_FIND_START, 0);
    const bool shown = PumpUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0; });
    UpdateWindow(list);
    const double first = mv::bench::MillisecondsSince(start);
    const std::string firstProgress = mv::WholeWindowText(progress);
    const bool done =
        PumpUntil([&] { return mv::WholeWindowText(progress).rfind("Done", 0) == 0; });
    UpdateWindow(list);
    const double all = mv::bench::MillisecondsSince(start);
    if (!shown || !done) {
      std::printf("run %d: no end within a minute: %s\n", run,
                  mv::WholeWindowText(progress).c_str());
      return 1;
    }
    std::printf("run %d: first hit shown %.1f ms (%s), done %.1f ms, %ld hits\n", run, first,
                firstProgress.c_str(), all,
                static_cast<long>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
  }
  // What the process held at most: the 32-bit program's searches must stay within 64 MiB.
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
    std::printf("peak memory: %.1f MiB committed, %.1f MiB working set (%d-bit)\n",
                static_cast<double>(memory.PeakPagefileUsage) / (1 << 20),
                static_cast<double>(memory.PeakWorkingSetSize) / (1 << 20),
                static_cast<int>(8 * sizeof(void*)));
  }
  DestroyWindow(window);
  return 0;
}
