// Times the Compare window on a snapshots folder of two captures of one computer: from the
// Compare command on the newer one to the list filled with every difference and painted
// (closing the window again is not timed).
// Prints milliseconds and the rows listed; run.sh times mirrorvault-cli diff beside it.
//
//   compare_bench SNAPSHOTS_FOLDER [RUNS]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_timing.h"
#include "res/resource_ids.h"
#include "ui/win32/main_window.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/window_text.h"

namespace {

// Runs what the thread has queued, painting included.
void Settle() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

HWND CompareWindowOf(HWND owner) {
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr;) {
    if (w != owner && GetWindow(w, GW_OWNER) == owner && GetDlgItem(w, IDC_COMPARE_LIST)) return w;
  }
  return nullptr;
}

// The first snapshot item of the tree: the newest of the first computer.
HTREEITEM FirstSnapshotItem(HWND tree) {
  HTREEITEM item = TreeView_GetRoot(tree);
  while (item != nullptr && TreeView_GetChild(tree, item) != nullptr) {
    item = TreeView_GetChild(tree, item);
  }
  return item;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: compare_bench SNAPSHOTS_FOLDER [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  mv::MainWindowSetup setup;
  setup.snapshotsDirectory = argv[1];
  setup.exitApplication = [] {};
  mv::SetMainWindowSetup(std::move(setup));
  HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                   mv::MainWindowProc, 0);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOW);
  Settle();
  HWND tree = mv::MainState().tree;
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FirstSnapshotItem(tree)));
  Settle();

  long long rows = -1;
  std::string summary;
  double best = 1e300;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    SendMessageW(window, WM_COMMAND, IDM_COMPARE, 0);
    HWND compare = CompareWindowOf(window);
    if (compare == nullptr) return 1;
    HWND line = GetDlgItem(compare, IDC_COMPARE_SUMMARY);
    for (;;) {
      WaitMessage();
      Settle();
      summary = mv::WholeWindowText(line);
      if (summary.rfind("Added", 0) == 0 || summary.rfind("Could", 0) == 0) break;
    }
    HWND list = GetDlgItem(compare, IDC_COMPARE_LIST);
    UpdateWindow(list);
    best = std::min(best, mv::bench::MillisecondsSince(start));
    rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    // Not timed: closing is not filling, and under Xvfb without a window manager Wine waits
    // two seconds for the window to be withdrawn.
    DestroyWindow(compare);
    Settle();
  }
  std::printf("compare window: best of %d %.1f ms, %lld rows; %s\n", runs, best, rows,
              summary.c_str());
  DestroyWindow(window);
  return 0;
}
